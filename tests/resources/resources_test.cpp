// The menus, accelerators, string table and toolbar checked against each other, and the
// embedded images loaded as the program loads them.

#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/toolbar.h"

#include <QColor>
#include <QImage>
#include <QKeySequence>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// Every menu the program shows: the six menus of the bar and the six popups.
std::vector<MenuItem> shownMenus() {
    std::vector<MenuItem> menus = menuBar();
    for (int popup :
         {kPopupBody, kPopupSpine, kPopupImage, kPopupString, kPopupTwoPages, kPopupFourPages}) {
        menus.push_back(popupMenu(popup));
    }
    return menus;
}

// Calls `visit` for every item below `menu`, sub-menus included, with the chain of titles.
void walk(const MenuItem& menu, const std::string& where,
          const std::function<void(const MenuItem&, const std::string&)>& visit) {
    for (const MenuItem& item : menu.children) {
        visit(item, where);
        if (item.isSubmenu()) {
            walk(item, where + " > " + item.text, visit);
        }
    }
}

bool isPageItem(int id) {
    return id == CMD_PAGE_ONE || id == CMD_PAGE_TWO || id == CMD_PAGE_THREE || id == CMD_PAGE_FOUR;
}

std::multiset<int> idSet(const MenuItem& menu) {
    std::vector<int> ids = commandIds(menu);
    return {ids.begin(), ids.end()};
}

TEST(CommandIdsTest, ListIsAscendingAndInRange) {
    EXPECT_TRUE(std::is_sorted(kCommandIds.begin(), kCommandIds.end(), std::less_equal<int>()))
        << "ids must be strictly ascending (no repeats)";
    for (int id : kCommandIds) {
        EXPECT_TRUE((id >= kFirstCommandId && id <= kLastCommandId) ||
                    (id >= kFirstExtraCommandId && id <= kLastExtraCommandId))
            << id;
    }
    EXPECT_TRUE(isCommandId(CMD_STARTUP));
    EXPECT_TRUE(isCommandId(CMD_APPLY));
    EXPECT_FALSE(isCommandId(40002));
}

TEST(MenusTest, BarHoldsTheSixMenusInOrder) {
    std::vector<std::string> titles;
    for (const MenuItem& menu : menuBar()) {
        titles.push_back(menu.text);
    }
    EXPECT_EQ(titles,
              (std::vector<std::string>{"&File", "&Body", "&Spine", "&Image", "S&tring", "&Help"}));
}

TEST(MenusTest, EveryItemIsAKnownCommandWithItsHint) {
    for (const MenuItem& menu : shownMenus()) {
        walk(menu, menu.text, [](const MenuItem& item, const std::string& where) {
            if (item.separator || item.isSubmenu()) {
                return;
            }
            SCOPED_TRACE(where + " > " + item.text);
            EXPECT_TRUE(isCommandId(item.id)) << item.id;
            if (isPageItem(item.id)) {
                EXPECT_EQ(menuHint(item.id), "");
            } else {
                EXPECT_FALSE(menuHint(item.id).empty()) << item.id;
            }
        });
    }
}

TEST(MenusTest, SeparatorsOnlyBetweenItems) {
    const auto check = [](const MenuItem& menu, const std::string& where) {
        SCOPED_TRACE(where);
        ASSERT_FALSE(menu.children.empty());
        EXPECT_FALSE(menu.children.front().separator);
        EXPECT_FALSE(menu.children.back().separator);
        for (std::size_t i = 1; i < menu.children.size(); ++i) {
            EXPECT_FALSE(menu.children[i - 1].separator && menu.children[i].separator)
                << "two separators at " << i;
        }
    };
    for (const MenuItem& menu : shownMenus()) {
        check(menu, menu.text);
        walk(menu, menu.text, [&](const MenuItem& item, const std::string& where) {
            if (item.isSubmenu()) {
                EXPECT_FALSE(item.text.empty()) << where;
                check(item, where + " > " + item.text);
            }
        });
    }
}

TEST(MenusTest, IdsRepeatOnlyWhereTheSameCommandIsOfferedTwice) {
    std::map<int, int> menusPerId;
    for (const MenuItem& menu : menuBar()) {
        const std::multiset<int> ids = idSet(menu);
        for (int id : std::set<int>(ids.begin(), ids.end())) {
            EXPECT_EQ(ids.count(id), 1u) << menu.text << " repeats " << id;
            ++menusPerId[id];
        }
    }
    for (const MenuItem& popup : shownMenus()) {
        const std::multiset<int> ids = idSet(popup);
        EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size()) << popup.text;
    }
    // New is also the Body menu's Clear Label; the Image and String menus share copy, layer and
    // centring.
    std::set<int> shared;
    for (const auto& [id, count] : menusPerId) {
        if (count > 1) {
            shared.insert(id);
        }
    }
    EXPECT_EQ(shared,
              (std::set<int>{CMD_NEW, CMD_CENTER_HORIZONTALLY, CMD_CENTER_VERTICALLY, CMD_LAYER_ON,
                             CMD_LAYER_ABOVE, CMD_LAYER_BELOW, CMD_COPY_OBJECT}));
}

TEST(MenusTest, NamesAreInsertedForThePlaceholders) {
    const MenuItem rawFile = *menuResource(kMenuFile);
    EXPECT_EQ(findItem(rawFile, CMD_SELECT_DRIVE)->text, "Select %s &Drive");

    const std::vector<MenuItem> bar = menuBar();
    EXPECT_EQ(findItem(bar[0], CMD_SELECT_DRIVE)->text, "Select LS-120 &Drive");
    EXPECT_EQ(findItem(bar[1], CMD_READ_DISK)->text, "&Read LS-120 Disk");
    EXPECT_EQ(findItem(bar[5], CMD_ABOUT)->text, "&About Pelmora...");
    EXPECT_EQ(findItem(popupMenu(kPopupBody), CMD_READ_DISK)->text, "&Read LS-120 Disk");

    for (const MenuItem& menu : shownMenus()) {
        walk(menu, menu.text, [](const MenuItem& item, const std::string& where) {
            EXPECT_EQ(item.text.find("%s"), std::string::npos) << where << " > " << item.text;
        });
    }
    EXPECT_EQ(insertName("&Zoom", "LS-120"), "&Zoom");
}

TEST(MenusTest, EachTextHasAtMostOneMnemonic) {
    for (const MenuItem& menu : shownMenus()) {
        walk(menu, menu.text, [](const MenuItem& item, const std::string& where) {
            int marks = 0;
            for (std::size_t i = 0; i < item.text.size(); ++i) {
                if (item.text[i] != '&') {
                    continue;
                }
                if (i + 1 < item.text.size() && item.text[i + 1] == '&') {
                    ++i; // a literal "&"
                    continue;
                }
                ++marks;
                EXPECT_LT(i + 1, item.text.size()) << "mnemonic marks nothing: " << item.text;
            }
            EXPECT_LE(marks, 1) << where << " > " << item.text;
        });
    }
}

TEST(MenusTest, ShownShortcutsAreWhatTheAcceleratorsDeliver) {
    int shortcuts = 0;
    for (const MenuItem& menu : shownMenus()) {
        walk(menu, menu.text, [&](const MenuItem& item, const std::string& where) {
            if (item.shortcut.empty()) {
                return;
            }
            ++shortcuts;
            SCOPED_TRACE(where + " > " + item.text);
            const QKeySequence sequence = QKeySequence::fromString(
                QString::fromStdString(item.shortcut), QKeySequence::PortableText);
            ASSERT_EQ(sequence.count(), 1) << item.shortcut;
            const QKeyCombination combination = sequence[0];
            // Enter reaches Read Disk through the Enter command, which reads the disk when
            // nothing is selected.
            const int expected = item.id == CMD_READ_DISK ? CMD_ENTER : item.id;
            EXPECT_EQ(translateAccelerator(combination.key(), combination.keyboardModifiers()),
                      expected);
        });
    }
    EXPECT_GE(shortcuts, 10);
    EXPECT_EQ(findItem(menuBar()[0], CMD_NEW)->displayText(), "&New\tCtrl+N");
}

TEST(MenusTest, PopupsOfferWhatTheirMenusOffer) {
    auto with = [](const MenuItem& menu, std::initializer_list<int> more) {
        std::multiset<int> ids = idSet(menu);
        ids.insert(more.begin(), more.end());
        return ids;
    };
    EXPECT_EQ(idSet(popupMenu(kPopupBody)),
              with(*menuResource(kMenuBody), {CMD_INSERT_IMAGE, CMD_INSERT_STRING}));
    EXPECT_EQ(idSet(popupMenu(kPopupSpine)),
              with(*menuResource(kMenuSpine), {CMD_INSERT_IMAGE, CMD_INSERT_STRING}));
    EXPECT_EQ(with(popupMenu(kPopupImage), {CMD_INSERT_IMAGE}), idSet(*menuResource(kMenuImage)));
    EXPECT_EQ(with(popupMenu(kPopupString), {CMD_INSERT_STRING}),
              idSet(*menuResource(kMenuString)));
    EXPECT_EQ(findItem(popupMenu(kPopupString), CMD_MODIFY_TEXT)->text, "&Modify Text...");
    EXPECT_EQ(findItem(*menuResource(kMenuString), CMD_MODIFY_TEXT)->text, "&Modify Text");
    EXPECT_EQ(commandIds(popupMenu(kPopupTwoPages)), (std::vector<int>{40203, 40204}));
    EXPECT_EQ(commandIds(popupMenu(kPopupFourPages)),
              (std::vector<int>{40203, 40204, 40230, 40231}));

    // The insert commands follow Read Disk in the body popup, each group set off.
    const MenuItem body = popupMenu(kPopupBody);
    auto read = std::find_if(body.children.begin(), body.children.end(),
                             [](const MenuItem& item) { return item.id == CMD_READ_DISK; });
    ASSERT_LE(read + 4, body.children.end());
    EXPECT_TRUE(read[1].separator);
    EXPECT_EQ(read[2].id, CMD_INSERT_IMAGE);
    EXPECT_EQ(read[3].id, CMD_INSERT_STRING);
    EXPECT_TRUE(read[4].separator);
}

TEST(MenusTest, LookupsOfUnknownThings) {
    EXPECT_FALSE(menuResource(126).has_value()); // the internal test menu is never shown
    EXPECT_TRUE(popupMenu(kMenuFile).children.empty());
    const MenuItem file = menuBar()[0];
    ASSERT_NE(findItem(file, CMD_DIRINFO_NONE), nullptr); // two levels down
    EXPECT_EQ(findItem(file, CMD_DIRINFO_NONE)->text, "&No Directory Info");
    EXPECT_EQ(findItem(file, CMD_ZOOM), nullptr);
    EXPECT_EQ(findItem(file, 0), nullptr);
}

TEST(AcceleratorsTest, NoTwoEntriesShareAKey) {
    std::set<std::pair<int, int>> keys;
    for (const Accelerator& entry : acceleratorTable()) {
        EXPECT_TRUE(isCommandId(entry.command)) << entry.command;
        EXPECT_TRUE(keys.insert({entry.key, entry.modifiers.toInt()}).second)
            << keySequence(entry).toString().toStdString();
        EXPECT_FALSE(keySequence(entry).isEmpty());
    }
}

TEST(AcceleratorsTest, KeysReachTheirCommands) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int command;
    } cases[] = {
        {Qt::Key_N, ctrl, CMD_NEW},
        {Qt::Key_N, none, 0},
        {Qt::Key_S, ctrl | shift, 0},
        {Qt::Key_X, ctrl | Qt::AltModifier, 0},
        {Qt::Key_Z, none, CMD_ZOOM},
        {Qt::Key_Z, ctrl, CMD_ZOOM},
        {Qt::Key_Z, shift, 0},
        {Qt::Key_Plus, shift, CMD_MORE_COLUMNS}, // Shift+= on a US keyboard
        {Qt::Key_Plus, keypad, CMD_MORE_COLUMNS},
        {Qt::Key_Plus, ctrl, 0},
        {Qt::Key_Minus, keypad, CMD_FEWER_COLUMNS},
        {Qt::Key_Return, none, CMD_ENTER},
        {Qt::Key_Enter, keypad, CMD_ENTER},
        {Qt::Key_Left, keypad, CMD_MOVE_LEFT},
        {Qt::Key_PageDown, none, CMD_PAGE_DOWN},
        {Qt::Key_Home, none, CMD_PAGE_ONE},
        {Qt::Key_Delete, none, CMD_DELETE_SELECTED},
        {Qt::Key_F1, none, CMD_HELP_CONTENTS},
        {Qt::Key_F1, shift, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(translateAccelerator(c.key, c.modifiers), c.command)
            << QKeySequence(QKeyCombination(c.modifiers, Qt::Key(c.key))).toString().toStdString();
    }
}

TEST(StringsTest, HintsFitTheStatusBarAndBelongToShownItems) {
    std::set<int> shown;
    for (const MenuItem& menu : shownMenus()) {
        for (int id : commandIds(menu)) {
            shown.insert(id);
        }
    }
    for (const CommandText& hint : menuHints()) {
        EXPECT_FALSE(hint.text.empty()) << hint.id;
        EXPECT_LE(hint.text.size(), kMaxHintLength) << hint.id;
        EXPECT_TRUE(shown.count(hint.id)) << "hint for an item no menu shows: " << hint.id;
    }
    EXPECT_EQ(menuHint(CMD_MAKE_BACKGROUND), "Make this image a backround for this page");
    EXPECT_EQ(menuHint(CMD_ENTER), "");
}

TEST(StringsTest, TooltipsFollowTheFormat) {
    EXPECT_EQ(tooltipText(CMD_ZOOM, false), "Zoom In/Out");
    EXPECT_EQ(tooltipText(CMD_ZOOM, true), "Zoom In/Out (disabled when only one label)");
    EXPECT_EQ(tooltipText(CMD_PRINT, true), "Print Label(s)");
    EXPECT_EQ(tooltipText(CMD_EXIT), "");
    for (const CommandText& tip : tooltips()) {
        EXPECT_TRUE(isCommandId(tip.id)) << tip.id;
    }
}

TEST(ToolbarTest, ButtonsUseEachImageOnceAndReachableCommands) {
    const std::span<const ToolbarEntry> entries = toolbarEntries();
    ASSERT_EQ(entries.size(), 22u);
    EXPECT_TRUE(entries.front().isSeparator());

    std::set<int> reachable;
    for (const MenuItem& menu : menuBar()) {
        for (int id : commandIds(menu)) {
            reachable.insert(id);
        }
    }
    for (const Accelerator& entry : acceleratorTable()) {
        reachable.insert(entry.command);
    }

    std::vector<int> images;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ToolbarEntry& entry = entries[i];
        if (entry.isSeparator()) {
            EXPECT_FALSE(i > 0 && entries[i - 1].isSeparator()) << "two separators at " << i;
            continue;
        }
        SCOPED_TRACE(std::string(entry.name));
        images.push_back(entry.image);
        EXPECT_TRUE(isCommandId(entry.command));
        EXPECT_TRUE(reachable.count(entry.command)) << "only on the toolbar: " << entry.command;
        EXPECT_FALSE(entry.tooltip().empty());
        if (entry.style == ButtonStyle::Check) {
            // A button that stays pressed shows the same setting the menu ticks.
            const MenuItem* item = nullptr;
            const std::vector<MenuItem> bar = menuBar(); // the item found points into it
            for (const MenuItem& menu : bar) {
                item = item ? item : findItem(menu, entry.command);
            }
            ASSERT_NE(item, nullptr);
            EXPECT_TRUE(item->checkable);
        }
    }
    std::sort(images.begin(), images.end());
    std::vector<int> expected(kToolbarImageCount);
    for (int i = 0; i < kToolbarImageCount; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(images, expected);
    EXPECT_EQ(entries[8].tooltip(true), "Zoom In/Out (disabled when only one label)");
}

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        }
    }
    return count;
}

TEST(ToolbarTest, StripHoldsFourteenDistinctPictures) {
    const QImage strip = toolbarStrip();
    ASSERT_FALSE(strip.isNull()) << "the strip is not embedded";
    EXPECT_EQ(strip.size(), QSize(kToolbarImageCount * kToolbarImageSize, kToolbarImageSize));
    EXPECT_TRUE(strip.hasAlphaChannel());
    std::vector<QImage> cells;
    for (int i = 0; i < kToolbarImageCount; ++i) {
        cells.push_back(toolbarImage(i));
        EXPECT_EQ(cells.back().size(), QSize(kToolbarImageSize, kToolbarImageSize));
        EXPECT_GE(opaquePixels(cells.back()), 40) << "picture " << i << " is nearly empty";
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(cells[j], cells[i]) << "pictures " << j << " and " << i << " are the same";
        }
    }
    EXPECT_TRUE(toolbarImage(kToolbarImageCount).isNull());
    EXPECT_TRUE(toolbarImage(-1).isNull());
}

TEST(ToolbarTest, IconsLoadAtEverySize) {
    for (IconKind kind : {IconKind::Program, IconKind::LabelFile, IconKind::TemplateFile}) {
        for (int size : kIconSizes) {
            SCOPED_TRACE(iconPath(kind, size).toStdString());
            const QImage image = iconImage(kind, size);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(size, size));
            EXPECT_TRUE(image.hasAlphaChannel());
            EXPECT_GE(opaquePixels(image), size * size / 3);
        }
    }
    EXPECT_NE(iconImage(IconKind::LabelFile, 32), iconImage(IconKind::TemplateFile, 32));
    EXPECT_TRUE(iconPath(IconKind::Program, 24).isEmpty());
    EXPECT_TRUE(iconImage(IconKind::Program, 24).isNull());
}

} // namespace
} // namespace pelmora
