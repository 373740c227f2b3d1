#include "resources/menus.h"

#include "resources/command_ids.h"

#include <utility>

namespace pelmora {

namespace {

MenuItem command(std::string text, int id, std::string shortcut = {}) {
    MenuItem item;
    item.text = std::move(text);
    item.id = id;
    item.shortcut = std::move(shortcut);
    return item;
}

// An item the window ticks from the program state.
MenuItem option(std::string text, int id, std::string shortcut = {}) {
    MenuItem item = command(std::move(text), id, std::move(shortcut));
    item.checkable = true;
    return item;
}

MenuItem separator() {
    MenuItem item;
    item.separator = true;
    return item;
}

MenuItem submenu(std::string text, std::vector<MenuItem> children) {
    MenuItem item;
    item.text = std::move(text);
    item.children = std::move(children);
    return item;
}

void append(std::vector<MenuItem>& items, std::vector<MenuItem> more) {
    for (MenuItem& item : more) {
        items.push_back(std::move(item));
    }
}

MenuItem labelFormatMenu() {
    return submenu("Label &Format", {
                                        option("&One", CMD_FORMAT_ONE),
                                        option("One, &Quad-Length", CMD_FORMAT_QUAD),
                                        separator(),
                                        option("&Two, Fold Out", CMD_FORMAT_TWO_FOLD_OUT),
                                        option("Two, Fold &Around", CMD_FORMAT_TWO_FOLD_AROUND),
                                        separator(),
                                        option("&Four", CMD_FORMAT_FOUR),
                                    });
}

MenuItem fileMenu() {
    return submenu("&File",
                   {
                       command("&New", CMD_NEW, "Ctrl+N"),
                       command("&Open...", CMD_OPEN, "Ctrl+O"),
                       submenu("Op&en Recent File",
                               {
                                   command("Recent 1", CMD_RECENT_1),
                                   command("Recent 2", CMD_RECENT_2),
                                   command("Recent 3", CMD_RECENT_3),
                                   command("Recent 4", CMD_RECENT_4),
                                   command("Recent 5", CMD_RECENT_5),
                               }),
                       command("&Save", CMD_SAVE, "Ctrl+S"),
                       command("Save &As...", CMD_SAVE_AS, "Ctrl+A"),
                       command("Find in La&bels...", CMD_FIND_IN_LABELS),
                       separator(),
                       command("Select %s &Drive", CMD_SELECT_DRIVE),
                       labelFormatMenu(),
                       submenu("Directory Le&vels",
                               {
                                   option("&Root", CMD_LEVELS_ROOT),
                                   option("&1 Level", CMD_LEVELS_1),
                                   option("&2 Levels", CMD_LEVELS_2),
                                   option("&3 Levels", CMD_LEVELS_3),
                                   option("&4 Levels", CMD_LEVELS_4),
                                   option("&All Levels", CMD_LEVELS_ALL),
                                   separator(),
                                   option("Scan &Directories Only", CMD_SCAN_DIRECTORIES_ONLY),
                                   separator(),
                                   option("Directory Size In &Kilobytes", CMD_DIRINFO_KILOBYTES),
                                   option("Directory Size in &Files", CMD_DIRINFO_FILES),
                                   option("&No Directory Info", CMD_DIRINFO_NONE),
                               }),
                       option("Scan Arc&hives", CMD_SCAN_ARCHIVES),
                       command("Excl&ude/Include Files...", CMD_EXCLUDE_INCLUDE),
                       separator(),
                       option("Use Template F&iles", CMD_USE_TEMPLATE_FILES),
                       command("Read Te&mplate File", CMD_READ_TEMPLATE),
                       command("Write Temp&late File", CMD_WRITE_TEMPLATE),
                       separator(),
                       command("&Clear All Labels", CMD_CLEAR_ALL_LABELS),
                       command("&Reset To Defaults", CMD_RESET_DEFAULTS),
                       separator(),
                       command("Prin&ter Setup...", CMD_PRINTER_SETUP),
                       command("&Print...", CMD_PRINT, "Ctrl+P"),
                       // Every letter of its name is already a File-menu mnemonic.
                       command("Print Preview...", CMD_PRINT_PREVIEW),
                       separator(),
                       submenu("&Window Scaling",
                               {
                                   option("&50%", CMD_WINDOW_SCALE_50),
                                   option("&75%", CMD_WINDOW_SCALE_75),
                                   option("&100%", CMD_WINDOW_SCALE_100),
                                   option("1&25%", CMD_WINDOW_SCALE_125),
                                   option("15&0%", CMD_WINDOW_SCALE_150),
                               }),
                       separator(),
                       command("E&xit", CMD_EXIT, "Ctrl+X"),
                   });
}

// The Body menu; the popup adds the two insert commands below "&Read %s Disk".
MenuItem bodyMenu(bool popup) {
    std::vector<MenuItem> items{
        option("Display File Siz&es", CMD_SHOW_SIZES),
        option("Display E&xtensions", CMD_SHOW_EXTENSIONS),
        option("Display Co&mment", CMD_SHOW_COMMENT),
        submenu("&Columns",
                {
                    option("&No Columns", CMD_COLUMNS_NONE),
                    option("&1 Column", CMD_COLUMNS_1),
                    option("&2 Columns", CMD_COLUMNS_2),
                    option("&3 Columns", CMD_COLUMNS_3),
                    option("&4 Columns", CMD_COLUMNS_4),
                    option("&5 Columns", CMD_COLUMNS_5),
                    separator(),
                    option("&Lined", CMD_LINED),
                }),
        submenu("&Sorting",
                {
                    option("&Name", CMD_SORT_NAME),
                    option("&Extension", CMD_SORT_EXTENSION),
                    option("&Size", CMD_SORT_SIZE),
                    separator(),
                    option("&Ascending", CMD_SORT_ASCENDING),
                    option("&Descending", CMD_SORT_DESCENDING),
                }),
        command("Set Fon&ts and Colors", CMD_FONTS_AND_COLORS),
        command("&Background Color", CMD_BODY_BACK_COLOR),
        separator(),
        command("&Read %s Disk", CMD_READ_DISK, "Enter"),
        separator(),
    };
    // After "&Background Color", before the separator that ends the group.
    items.insert(items.end() - 3, command("Fit the Catalo&g", CMD_FIT_CATALOG));
    if (popup) {
        items.push_back(command("Insert &Image", CMD_INSERT_IMAGE));
        items.push_back(command("Insert Stri&ng", CMD_INSERT_STRING));
        items.push_back(separator());
    }
    append(items, {
                      command("Edit &Files and Folders", CMD_EDIT_FILES),
                      command("Edit &Label Comment", CMD_EDIT_COMMENT),
                      command("C&hoose Subdirectories", CMD_CHOOSE_SUBDIRECTORIES),
                      separator(),
                      command("Cle&ar Label", CMD_CLEAR_LABEL),
                      command("&Duplicate Format", CMD_DUPLICATE_FORMAT),
                      separator(),
                      option("&Zoom", CMD_ZOOM, "Ctrl+Z"),
                  });
    return submenu(popup ? "" : "&Body", std::move(items));
}

// The Spine menu; the popup adds the two insert commands below "&Background Color".
MenuItem spineMenu(bool popup) {
    std::vector<MenuItem> items{
        command("&Edit Spine Text", CMD_EDIT_SPINE_TEXT),
        command("Spine &Font", CMD_SPINE_FONT),
        command("Spine Font &Color", CMD_SPINE_COLOR),
        submenu("&Alignment",
                {
                    option("&Left", CMD_SPINE_ALIGN_LEFT),
                    option("&Center", CMD_SPINE_ALIGN_CENTER),
                    option("&Right", CMD_SPINE_ALIGN_RIGHT),
                }),
        command("&Background Color", CMD_SPINE_BACK_COLOR),
        separator(),
    };
    if (popup) {
        items.push_back(command("Insert &Image", CMD_INSERT_IMAGE));
        items.push_back(command("Insert &String", CMD_INSERT_STRING));
        items.push_back(separator());
    }
    append(items, {
                      option("&Display Logo", CMD_SHOW_LOGO),
                      option("C&olor Logo", CMD_COLOR_LOGO),
                      separator(),
                      command("C&ustomize Initials...", CMD_CUSTOMIZE_INITIALS),
                  });
    return submenu(popup ? "" : "&Spine", std::move(items));
}

// The items the Image and String menus share: the layer choice and the centring.
std::vector<MenuItem> layerItems() {
    return {
        option("&Above Label", CMD_LAYER_ABOVE),
        option("&On Label", CMD_LAYER_ON),
        option("&Below Label", CMD_LAYER_BELOW),
    };
}

std::vector<MenuItem> centreItems() {
    return {
        command("Center &Horizontally", CMD_CENTER_HORIZONTALLY),
        command("Center &Vertically", CMD_CENTER_VERTICALLY),
    };
}

// The Image menu; the popup has no "&Insert Image" and no separator below it.
MenuItem imageMenu(bool popup) {
    std::vector<MenuItem> items;
    if (!popup) {
        items.push_back(command("&Insert Image", CMD_INSERT_IMAGE));
        items.push_back(separator());
    }
    items.push_back(command("&Copy", CMD_COPY_OBJECT));
    items.push_back(command("&Delete", CMD_DELETE_IMAGE));
    items.push_back(separator());
    append(items, layerItems());
    items.push_back(separator());
    append(items, centreItems());
    items.push_back(separator());
    items.push_back(command("&Make Background", CMD_MAKE_BACKGROUND));
    items.push_back(separator());
    items.push_back(submenu("&Scale", {
                                          command("25%", CMD_IMAGE_SCALE_25),
                                          command("&50%", CMD_IMAGE_SCALE_50),
                                          command("&100%", CMD_IMAGE_SCALE_100),
                                          command("15&0%", CMD_IMAGE_SCALE_150),
                                          command("&200%", CMD_IMAGE_SCALE_200),
                                          command("&True Scale", CMD_IMAGE_TRUE_SCALE),
                                          separator(),
                                          command("Size To &Body", CMD_IMAGE_SIZE_TO_BODY),
                                          command("Size To &Label", CMD_IMAGE_SIZE_TO_LABEL),
                                          command("&Maximum Aspect", CMD_IMAGE_MAXIMUM_ASPECT),
                                      }));
    return submenu(popup ? "" : "&Image", std::move(items));
}

// The String menu; the popup has no "&Insert String" and no separator below it, and its modify
// item ends in "...".
MenuItem stringMenu(bool popup) {
    std::vector<MenuItem> items;
    if (!popup) {
        items.push_back(command("&Insert String", CMD_INSERT_STRING));
        items.push_back(separator());
    }
    items.push_back(command("&Copy", CMD_COPY_OBJECT));
    items.push_back(command("&Delete", CMD_DELETE_STRING));
    items.push_back(separator());
    items.push_back(command(popup ? "&Modify Text..." : "&Modify Text", CMD_MODIFY_TEXT));
    items.push_back(command("&Font...", CMD_STRING_FONT));
    items.push_back(command("Foreground C&olor...", CMD_STRING_COLOR));
    items.push_back(
        submenu("Bac&kground Color", {
                                         option("&Solid Color...", CMD_STRING_BACK_SOLID),
                                         option("&Transparent", CMD_STRING_BACK_TRANSPARENT),
                                     }));
    items.push_back(option("A&utomatically Size", CMD_STRING_AUTO_SIZE));
    items.push_back(submenu("O&rientation", {
                                                option("&0 deg", CMD_ORIENTATION_0),
                                                option("&90 deg", CMD_ORIENTATION_90),
                                                option("&180 deg", CMD_ORIENTATION_180),
                                                option("&270 deg", CMD_ORIENTATION_270),
                                            }));
    items.push_back(submenu("Alignmen&t", {
                                              option("&Left", CMD_STRING_ALIGN_LEFT),
                                              option("&Center", CMD_STRING_ALIGN_HCENTER),
                                              option("&Right", CMD_STRING_ALIGN_RIGHT),
                                              separator(),
                                              option("&Top", CMD_STRING_ALIGN_TOP),
                                              option("C&enter", CMD_STRING_ALIGN_VCENTER),
                                              option("&Bottom", CMD_STRING_ALIGN_BOTTOM),
                                          }));
    items.push_back(separator());
    append(items, layerItems());
    items.push_back(separator());
    append(items, centreItems());
    return submenu(popup ? "" : "S&tring", std::move(items));
}

MenuItem helpMenu() {
    return submenu("&Help", {
                                command("&Contents", CMD_HELP_CONTENTS, "F1"),
                                command("&Search...", CMD_HELP_SEARCH),
                                separator(),
                                command("Check for &New Version", CMD_CHECK_NEW_VERSION),
                                command("Go To &Web Site...", CMD_WEB_SITE),
                                separator(),
                                submenu("Help &Dialogs",
                                        {
                                            command("&Hide All Dialogs", CMD_HIDE_ALL_HINTS),
                                            command("&Show All Dialogs", CMD_SHOW_ALL_HINTS),
                                        }),
                                separator(),
                                command("&About %s...", CMD_ABOUT),
                            });
}

MenuItem pagesPopup(int pageCount) {
    std::vector<MenuItem> items{
        option("Page &One", CMD_PAGE_ONE),
        option("Page &Two", CMD_PAGE_TWO),
    };
    if (pageCount == 4) {
        items.push_back(option("Page T&hree", CMD_PAGE_THREE));
        items.push_back(option("Page &Four", CMD_PAGE_FOUR));
    }
    return submenu("", std::move(items));
}

} // namespace

std::string MenuItem::displayText() const {
    return shortcut.empty() ? text : text + '\t' + shortcut;
}

std::optional<MenuItem> menuResource(int resource) {
    switch (resource) {
    case kMenuHelp:
        return helpMenu();
    case kMenuImage:
        return imageMenu(false);
    case kMenuString:
        return stringMenu(false);
    case kMenuBody:
        return bodyMenu(false);
    case kMenuSpine:
        return spineMenu(false);
    case kMenuFile:
        return fileMenu();
    case kMenuLabelFormat:
        return labelFormatMenu();
    case kPopupBody:
        return bodyMenu(true);
    case kPopupSpine:
        return spineMenu(true);
    case kPopupTwoPages:
        return pagesPopup(2);
    case kPopupImage:
        return imageMenu(true);
    case kPopupString:
        return stringMenu(true);
    case kPopupFourPages:
        return pagesPopup(4);
    default:
        return std::nullopt;
    }
}

std::vector<MenuItem> menuBar() {
    std::vector<MenuItem> bar;
    for (int resource : {kMenuFile, kMenuBody, kMenuSpine, kMenuImage, kMenuString, kMenuHelp}) {
        MenuItem menu = *menuResource(resource);
        insertNames(menu);
        bar.push_back(std::move(menu));
    }
    return bar;
}

MenuItem popupMenu(int resource) {
    switch (resource) {
    case kPopupBody:
    case kPopupSpine:
    case kPopupTwoPages:
    case kPopupImage:
    case kPopupString:
    case kPopupFourPages: {
        MenuItem popup = *menuResource(resource);
        insertNames(popup);
        return popup;
    }
    default:
        return {};
    }
}

std::string insertName(std::string_view text, std::string_view name) {
    std::string result(text);
    if (std::size_t at = result.find("%s"); at != std::string::npos) {
        result.replace(at, 2, name);
    }
    return result;
}

void insertNames(MenuItem& menu, std::string_view diskType, std::string_view programName) {
    menu.text = insertName(menu.text, menu.id == CMD_ABOUT ? programName : diskType);
    for (MenuItem& child : menu.children) {
        insertNames(child, diskType, programName);
    }
}

const MenuItem* findItem(const MenuItem& menu, int id) {
    for (const MenuItem& child : menu.children) {
        if (!child.separator && !child.isSubmenu() && child.id == id) {
            return &child;
        }
        if (const MenuItem* found = findItem(child, id)) {
            return found;
        }
    }
    return nullptr;
}

MenuItem* findItem(MenuItem& menu, int id) {
    return const_cast<MenuItem*>(findItem(std::as_const(menu), id));
}

std::vector<int> commandIds(const MenuItem& menu) {
    std::vector<int> ids;
    for (const MenuItem& child : menu.children) {
        if (child.separator) {
            continue;
        }
        if (child.isSubmenu()) {
            for (int id : commandIds(child)) {
                ids.push_back(id);
            }
        } else {
            ids.push_back(child.id);
        }
    }
    return ids;
}

} // namespace pelmora
