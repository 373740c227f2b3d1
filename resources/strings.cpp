#include "resources/strings.h"

#include "resources/command_ids.h"

#include <algorithm>
#include <array>

namespace pelmora {

namespace {

constexpr std::array kMenuHints{
    CommandText{CMD_SELECT_DRIVE, "Choose the drive letter you wish to catalog"},
    CommandText{CMD_EXIT, "Leave this program"},
    CommandText{CMD_NEW, "Clear all text and images from this label"},
    CommandText{CMD_ABOUT, "More info about this program"},
    CommandText{CMD_COLUMNS_1, "Single column of files"},
    CommandText{CMD_COLUMNS_2, "Two columns of files"},
    CommandText{CMD_COLUMNS_3, "Three columns of files"},
    CommandText{CMD_COLUMNS_4, "Four columns of files"},
    CommandText{CMD_FORMAT_ONE, "Create a single label"},
    CommandText{CMD_FORMAT_FOUR, "Create four single length labels"},
    CommandText{CMD_COLUMNS_NONE, "No files displayed on label"},
    CommandText{CMD_PRINT, "Print the label(s)"},
    CommandText{CMD_SHOW_SIZES, "Show the size of files on the label"},
    CommandText{CMD_SORT_NAME, "Sort by file name"},
    CommandText{CMD_SORT_EXTENSION, "Sort by file extension"},
    CommandText{CMD_SORT_SIZE, "Sort by file size"},
    CommandText{CMD_SORT_ASCENDING, "Sort in ascending order"},
    CommandText{CMD_SORT_DESCENDING, "Sort in descending order"},
    CommandText{CMD_EDIT_FILES, "Modify the file list"},
    CommandText{CMD_READ_DISK, "Read a disk into the current label"},
    CommandText{CMD_DUPLICATE_FORMAT, "Copy fonts and colors from this label to all others"},
    CommandText{CMD_SPINE_FONT, "Choose a font for the spine"},
    CommandText{CMD_SPINE_COLOR, "Choose the color of the spine's text"},
    CommandText{CMD_COLOR_LOGO, "Colorize the logo"},
    CommandText{CMD_EDIT_SPINE_TEXT, "Modify the text on the spine"},
    CommandText{CMD_CLEAR_ALL_LABELS, "Clear all text and images from all labels"},
    CommandText{CMD_ZOOM, "Zoom in or out"},
    CommandText{CMD_RESET_DEFAULTS, "Reset font and color to sane defaults"},
    CommandText{CMD_CHOOSE_SUBDIRECTORIES, "Select which subdirectories to show"},
    CommandText{CMD_OPEN, "Load a pre-created label into the current label"},
    CommandText{CMD_SAVE_AS, "Save the current label to a file"},
    CommandText{CMD_EDIT_COMMENT, "Change the one-line comment"},
    CommandText{CMD_INSERT_IMAGE, "Insert an image (BMP or JPG) into the current label"},
    CommandText{CMD_CENTER_HORIZONTALLY, "Center horizontally within body"},
    CommandText{CMD_CENTER_VERTICALLY, "Center vertically within body"},
    CommandText{CMD_LEVELS_ROOT, "Scan only the root directory"},
    CommandText{CMD_LEVELS_1, "Scan the first level of subdirectories"},
    CommandText{CMD_LEVELS_2, "Scan two levels of subdirectory"},
    CommandText{CMD_LEVELS_3, "Scan three levels of subdirectory"},
    CommandText{CMD_LEVELS_4, "Scan four levels of subdirectory"},
    CommandText{CMD_LEVELS_ALL, "Scan ALL subdirectory levels, may take some time"},
    CommandText{CMD_USE_TEMPLATE_FILES,
                "Automagically format your labels using template files stored on the disk"},
    CommandText{CMD_WRITE_TEMPLATE, "Write the current formatting settings to a template file"},
    CommandText{CMD_READ_TEMPLATE,
                "Read template from the current disk and apply the formatting specified within "
                "it"},
    CommandText{CMD_LAYER_ON, "Display on the label, text does not flow around"},
    CommandText{CMD_LAYER_ABOVE, "Display above the label, text flows around"},
    CommandText{CMD_LAYER_BELOW, "Display under the label, text does not flow around"},
    CommandText{CMD_SHOW_EXTENSIONS, "Show file extensions on the label"},
    CommandText{CMD_SHOW_COMMENT, "Show the one-line comment on the label"},
    CommandText{CMD_IMAGE_SCALE_25, "Scale to 25% of original size"},
    CommandText{CMD_IMAGE_SCALE_50, "Scale to 50% of original size"},
    CommandText{CMD_IMAGE_SCALE_100, "Scale to 100% of original size"},
    CommandText{CMD_IMAGE_SCALE_150, "Scale to 150% of original size"},
    CommandText{CMD_IMAGE_SCALE_200, "Scale to 200% of original size"},
    CommandText{CMD_IMAGE_SIZE_TO_BODY, "Size image to label's body (not spine)"},
    CommandText{CMD_IMAGE_SIZE_TO_LABEL, "Make image as big as the entire label"},
    CommandText{CMD_FONTS_AND_COLORS, "Set the fonts and colors for files, directories, and more"},
    CommandText{CMD_INSERT_STRING, "Insert a string into the current label"},
    CommandText{CMD_STRING_FONT, "Change the string's font"},
    CommandText{CMD_STRING_COLOR, "Change the string's text color"},
    CommandText{CMD_MODIFY_TEXT, "Modify the text, font, color, and orientation of the string"},
    CommandText{CMD_STRING_BACK_SOLID, "Change the string's background color"},
    CommandText{CMD_STRING_AUTO_SIZE, "Size the string's outline automatically"},
    CommandText{CMD_ORIENTATION_0, "No rotation"},
    CommandText{CMD_ORIENTATION_90, "Rotate 90 degrees clockwise"},
    CommandText{CMD_ORIENTATION_180, "Rotate 180 degrees clockwise"},
    CommandText{CMD_ORIENTATION_270, "Rotate 270 degrees clockwise"},
    CommandText{CMD_COPY_OBJECT, "Duplicate the current image or string"},
    CommandText{CMD_DELETE_IMAGE, "Remove the current image"},
    CommandText{CMD_DELETE_STRING, "Delete the current string"},
    CommandText{CMD_FORMAT_TWO_FOLD_AROUND,
                "Create two, double-length, labels, with spines in the middle"},
    CommandText{CMD_FORMAT_TWO_FOLD_OUT,
                "Create two, double-length, labels, with spines on the bottom"},
    CommandText{CMD_STRING_BACK_TRANSPARENT, "Text's background is transparent"},
    CommandText{CMD_SHOW_LOGO, "Show the disk logo on the spine"},
    CommandText{CMD_COLUMNS_5, "Five columns of files"},
    CommandText{CMD_SCAN_DIRECTORIES_ONLY,
                "Only read in the names of directories, not files, from disk"},
    CommandText{CMD_LINED, "Print lines under the files"},
    CommandText{CMD_IMAGE_MAXIMUM_ASPECT,
                "Scale image as big as possible while preserving aspect ratio"},
    CommandText{CMD_WINDOW_SCALE_100, "Make window full size"},
    CommandText{CMD_WINDOW_SCALE_75, "Scale window to 75% of full size"},
    CommandText{CMD_WINDOW_SCALE_50, "Scale window to 50% full size"},
    CommandText{CMD_WINDOW_SCALE_125, "Scale window to 125% of full size"},
    CommandText{CMD_WINDOW_SCALE_150, "Scale window to 150% of full size"},
    CommandText{CMD_SPINE_BACK_COLOR, "Set spine background color"},
    CommandText{CMD_BODY_BACK_COLOR, "Set label body background color"},
    CommandText{CMD_PRINTER_SETUP, "Select a printer, position label, etc."},
    CommandText{CMD_FORMAT_QUAD, "Create a single, 4x size label"},
    CommandText{CMD_SPINE_ALIGN_LEFT, "Align spine to left edge of label"},
    CommandText{CMD_SPINE_ALIGN_CENTER, "Center spine in label"},
    CommandText{CMD_SPINE_ALIGN_RIGHT, "Align spine to right edge of label"},
    CommandText{CMD_CUSTOMIZE_INITIALS, "Change the initials and number of the spine's disk logo"},
    CommandText{CMD_STRING_ALIGN_LEFT, "Align text to the left edge"},
    CommandText{CMD_STRING_ALIGN_HCENTER, "Center text horizontally"},
    CommandText{CMD_STRING_ALIGN_RIGHT, "Align text to the right edge"},
    CommandText{CMD_STRING_ALIGN_TOP, "Align text to the top edge"},
    CommandText{CMD_STRING_ALIGN_VCENTER, "Center text vertically"},
    CommandText{CMD_STRING_ALIGN_BOTTOM, "Align the text to the bottom edge"},
    CommandText{CMD_SAVE, "Save label to disk under last filename"},
    CommandText{CMD_CHECK_NEW_VERSION, "Check for a new revision (requires internet connection)."},
    CommandText{CMD_HELP_CONTENTS, "Display the help file's table of contents"},
    CommandText{CMD_SCAN_ARCHIVES, "Scan inside archives (.ZIP and .ARJ)"},
    CommandText{CMD_IMAGE_TRUE_SCALE, "Make image exact size recorded in source file"},
    CommandText{CMD_EXCLUDE_INCLUDE, "Select file types to hide or show"},
    CommandText{CMD_HELP_SEARCH, "Search the help file"},
    CommandText{CMD_HIDE_ALL_HINTS, "Don't ever show the prompt dialogs"},
    CommandText{CMD_SHOW_ALL_HINTS, "Show all the information dialogs, useful for new users"},
    CommandText{CMD_RECENT_1, "Open previously accessed file"},
    CommandText{CMD_RECENT_2, "Open previously accessed file"},
    CommandText{CMD_RECENT_3, "Open previously accessed file"},
    CommandText{CMD_RECENT_4, "Open previously accessed file"},
    CommandText{CMD_RECENT_5, "Open previously accessed file"},
    CommandText{CMD_DIRINFO_KILOBYTES, "Display file sizes for directory comment"},
    CommandText{CMD_DIRINFO_FILES, "Display number of sub-files for directory comment"},
    CommandText{CMD_DIRINFO_NONE, "Display [dir] for directory comment"},
    CommandText{CMD_WEB_SITE, "Visit the program's home page (requires internet connection)."},
    CommandText{CMD_MAKE_BACKGROUND, "Make this image a backround for this page"},
    CommandText{CMD_PRINT_PREVIEW, "See the printed sheet before printing it"},
    CommandText{CMD_FIND_IN_LABELS, "Find a file on any disk cataloged in a label file"},
    CommandText{CMD_FIT_CATALOG,
                "Make the file and folder fonts small enough for every line to fit"},
};

constexpr std::array kTooltips{
    CommandText{CMD_NEW, "Clear Label"},
    CommandText{CMD_ABOUT, "About This Program"},
    CommandText{CMD_PRINT, "Print Label(s)"},
    CommandText{CMD_SHOW_SIZES, "Display File Sizes"},
    CommandText{CMD_EDIT_FILES, "Edit Files and Directories"},
    CommandText{CMD_READ_DISK, "Read Disk"},
    CommandText{CMD_CLEAR_ALL_LABELS, "Clear All Label(s)"},
    CommandText{CMD_MORE_COLUMNS, "Increase Columns"},
    CommandText{CMD_FEWER_COLUMNS, "Reduce Columns"},
    CommandText{CMD_ZOOM, "Zoom In/Out"},
    CommandText{CMD_CHOOSE_SUBDIRECTORIES, "Select Subdirectories To Display"},
    CommandText{CMD_INSERT_IMAGE, "Insert Bitmap Image"},
    CommandText{CMD_WRITE_TEMPLATE, "Write Template To Drive"},
    CommandText{CMD_SHOW_EXTENSIONS, "Display File Extensions"},
    CommandText{CMD_FONTS_AND_COLORS, "Customize Fonts and Colors"},
    CommandText{CMD_INSERT_STRING, "Insert String"},
    CommandText{CMD_SAVE, "Save Label To Disk"},
};

constexpr std::string_view kZoomTooltipOneLabel = "Zoom In/Out (disabled when only one label)";

template <std::size_t N> constexpr bool ascendingIds(const std::array<CommandText, N>& table) {
    for (std::size_t i = 1; i < N; ++i) {
        if (table[i - 1].id >= table[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(ascendingIds(kMenuHints), "lookups search the hints by id");
static_assert(ascendingIds(kTooltips), "lookups search the tooltips by id");

std::string_view lookup(std::span<const CommandText> table, int id) {
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const CommandText& entry, int key) { return entry.id < key; });
    return it != table.end() && it->id == id ? it->text : std::string_view{};
}

} // namespace

std::string_view menuHint(int commandId) {
    return lookup(kMenuHints, commandId);
}

std::string_view tooltipText(int commandId, bool oneLabelFormat) {
    if (commandId == CMD_ZOOM && oneLabelFormat) {
        return kZoomTooltipOneLabel;
    }
    return lookup(kTooltips, commandId);
}

std::span<const CommandText> menuHints() {
    return kMenuHints;
}

std::span<const CommandText> tooltips() {
    return kTooltips;
}

} // namespace pelmora
