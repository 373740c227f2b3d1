// The command table: every command id of the menus, toolbar, accelerators, popups and posted
// gestures, and the handler that runs it. Ids without a row are not commands of this program.

#include "shell/dispatch.h"

#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/unsaved_changes.h"
#include "storage/label_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace pelmora {
namespace {

struct CommandRow {
    int id;
    CommandHandler handler;
};

constexpr CommandRow kRows[] = {
    // File menu
    {CMD_NEW, cmdNew},
    {CMD_OPEN, cmdOpen},
    {CMD_RECENT_1, cmdRecentFile},
    {CMD_RECENT_2, cmdRecentFile},
    {CMD_RECENT_3, cmdRecentFile},
    {CMD_RECENT_4, cmdRecentFile},
    {CMD_RECENT_5, cmdRecentFile},
    {CMD_SAVE, cmdSave},
    {CMD_SAVE_AS, cmdSaveAs},
    {CMD_SELECT_DRIVE, cmdSelectDrive},
    {CMD_FORMAT_ONE, cmdLabelFormat},
    {CMD_FORMAT_QUAD, cmdLabelFormat},
    {CMD_FORMAT_TWO_FOLD_OUT, cmdLabelFormat},
    {CMD_FORMAT_TWO_FOLD_AROUND, cmdLabelFormat},
    {CMD_FORMAT_FOUR, cmdLabelFormat},
    {CMD_LEVELS_ROOT, cmdDirectoryLevels},
    {CMD_LEVELS_1, cmdDirectoryLevels},
    {CMD_LEVELS_2, cmdDirectoryLevels},
    {CMD_LEVELS_3, cmdDirectoryLevels},
    {CMD_LEVELS_4, cmdDirectoryLevels},
    {CMD_LEVELS_ALL, cmdDirectoryLevels},
    {CMD_SCAN_DIRECTORIES_ONLY, cmdDirectoriesOnly},
    {CMD_DIRINFO_KILOBYTES, cmdDirectoryInfo},
    {CMD_DIRINFO_FILES, cmdDirectoryInfo},
    {CMD_DIRINFO_NONE, cmdDirectoryInfo},
    {CMD_SCAN_ARCHIVES, cmdScanArchives},
    {CMD_EXCLUDE_INCLUDE, cmdExcludeInclude},
    {CMD_USE_TEMPLATE_FILES, cmdUseTemplateFiles},
    {CMD_READ_TEMPLATE, cmdReadTemplate},
    {CMD_WRITE_TEMPLATE, cmdWriteTemplate},
    {CMD_CLEAR_ALL_LABELS, cmdClearAllLabels},
    {CMD_RESET_DEFAULTS, cmdResetDefaults},
    {CMD_PRINTER_SETUP, cmdPrinterSetup},
    {CMD_PRINT, cmdPrint},
    {CMD_PRINT_PREVIEW, cmdPrintPreview},
    {CMD_FIND_IN_LABELS, cmdFindInLabels},
    {CMD_FIT_CATALOG, cmdFitCatalog},
    {CMD_WINDOW_SCALE_50, cmdWindowScale},
    {CMD_WINDOW_SCALE_75, cmdWindowScale},
    {CMD_WINDOW_SCALE_100, cmdWindowScale},
    {CMD_WINDOW_SCALE_125, cmdWindowScale},
    {CMD_WINDOW_SCALE_150, cmdWindowScale},
    {CMD_EXIT, cmdExit},

    // Body menu
    {CMD_SHOW_SIZES, cmdDisplayToggle},
    {CMD_SHOW_EXTENSIONS, cmdDisplayToggle},
    {CMD_SHOW_COMMENT, cmdDisplayToggle},
    {CMD_COLUMNS_NONE, cmdColumns},
    {CMD_COLUMNS_1, cmdColumns},
    {CMD_COLUMNS_2, cmdColumns},
    {CMD_COLUMNS_3, cmdColumns},
    {CMD_COLUMNS_4, cmdColumns},
    {CMD_COLUMNS_5, cmdColumns},
    {CMD_MORE_COLUMNS, cmdMoreColumns},
    {CMD_FEWER_COLUMNS, cmdFewerColumns},
    {CMD_LINED, cmdLined},
    {CMD_SORT_NAME, cmdSortKey},
    {CMD_SORT_EXTENSION, cmdSortKey},
    {CMD_SORT_SIZE, cmdSortKey},
    {CMD_SORT_ASCENDING, cmdSortDirection},
    {CMD_SORT_DESCENDING, cmdSortDirection},
    {CMD_FONTS_AND_COLORS, cmdFontsAndColors},
    {CMD_BODY_BACK_COLOR, cmdBodyBackColor},
    {CMD_READ_DISK, cmdReadDisk},
    {CMD_INSERT_IMAGE, cmdInsertImage},
    {CMD_INSERT_STRING, cmdInsertString},
    {CMD_EDIT_FILES, cmdEditFiles},
    {CMD_EDIT_COMMENT, cmdEditComment},
    {CMD_CHOOSE_SUBDIRECTORIES, cmdChooseSubdirectories},
    {CMD_DUPLICATE_FORMAT, cmdDuplicateFormat},
    {CMD_ZOOM, cmdZoom},

    // Spine menu
    {CMD_EDIT_SPINE_TEXT, cmdEditSpineText},
    {CMD_SPINE_FONT, cmdSpineFont},
    {CMD_SPINE_COLOR, cmdSpineColor},
    {CMD_SPINE_ALIGN_LEFT, cmdSpineAlign},
    {CMD_SPINE_ALIGN_CENTER, cmdSpineAlign},
    {CMD_SPINE_ALIGN_RIGHT, cmdSpineAlign},
    {CMD_SPINE_BACK_COLOR, cmdSpineBackColor},
    {CMD_SHOW_LOGO, cmdShowLogo},
    {CMD_COLOR_LOGO, cmdColorLogo},
    {CMD_CUSTOMIZE_INITIALS, cmdCustomizeInitials},

    // Image and String menus
    {CMD_COPY_OBJECT, cmdCopyObject},
    {CMD_DELETE_IMAGE, cmdDeleteObject},
    {CMD_DELETE_STRING, cmdDeleteObject},
    {CMD_DELETE_SELECTED, cmdDeleteObject},
    {CMD_LAYER_ABOVE, cmdLayer},
    {CMD_LAYER_ON, cmdLayer},
    {CMD_LAYER_BELOW, cmdLayer},
    {CMD_CENTER_HORIZONTALLY, cmdCenterHorizontally},
    {CMD_CENTER_VERTICALLY, cmdCenterVertically},
    {CMD_MAKE_BACKGROUND, cmdMakeBackground},
    {CMD_IMAGE_SCALE_25, cmdImageScale},
    {CMD_IMAGE_SCALE_50, cmdImageScale},
    {CMD_IMAGE_SCALE_100, cmdImageScale},
    {CMD_IMAGE_SCALE_150, cmdImageScale},
    {CMD_IMAGE_SCALE_200, cmdImageScale},
    {CMD_IMAGE_TRUE_SCALE, cmdImageScale},
    {CMD_IMAGE_SIZE_TO_BODY, cmdImageScale},
    {CMD_IMAGE_SIZE_TO_LABEL, cmdImageScale},
    {CMD_IMAGE_MAXIMUM_ASPECT, cmdImageScale},
    {CMD_MODIFY_TEXT, cmdStringEdit},
    {CMD_STRING_FONT, cmdStringEdit},
    {CMD_STRING_COLOR, cmdStringEdit},
    {CMD_STRING_BACK_SOLID, cmdStringEdit},
    {CMD_STRING_BACK_TRANSPARENT, cmdStringEdit},
    {CMD_STRING_AUTO_SIZE, cmdStringEdit},
    {CMD_ORIENTATION_0, cmdStringEdit},
    {CMD_ORIENTATION_90, cmdStringEdit},
    {CMD_ORIENTATION_180, cmdStringEdit},
    {CMD_ORIENTATION_270, cmdStringEdit},
    {CMD_STRING_ALIGN_LEFT, cmdStringEdit},
    {CMD_STRING_ALIGN_HCENTER, cmdStringEdit},
    {CMD_STRING_ALIGN_RIGHT, cmdStringEdit},
    {CMD_STRING_ALIGN_TOP, cmdStringEdit},
    {CMD_STRING_ALIGN_VCENTER, cmdStringEdit},
    {CMD_STRING_ALIGN_BOTTOM, cmdStringEdit},

    // Help menu
    {CMD_HELP_CONTENTS, cmdHelpContents},
    {CMD_HELP_SEARCH, cmdHelpSearch},
    {CMD_CHECK_NEW_VERSION, cmdCheckNewVersion},
    {CMD_WEB_SITE, cmdWebSite},
    {CMD_HIDE_ALL_HINTS, cmdHideAllHints},
    {CMD_SHOW_ALL_HINTS, cmdShowAllHints},
    {CMD_ABOUT, cmdAbout},

    // Pages and navigation keys
    {CMD_PAGE_ONE, cmdNavigate},
    {CMD_PAGE_TWO, cmdNavigate},
    {CMD_PAGE_THREE, cmdNavigate},
    {CMD_PAGE_FOUR, cmdNavigate},
    {CMD_MOVE_RIGHT, cmdNavigate},
    {CMD_MOVE_LEFT, cmdNavigate},
    {CMD_MOVE_UP, cmdNavigate},
    {CMD_MOVE_DOWN, cmdNavigate},
    {CMD_PAGE_UP, cmdNavigate},
    {CMD_PAGE_DOWN, cmdNavigate},

    // Keys and internal commands. The start-up step (CMD_STARTUP) belongs to the main window,
    // which runs it itself.
    {CMD_ENTER, cmdEnter},
    {CMD_APPLY, cmdApply},
    {CMD_CMDLINE_LABEL, cmdCommandLineLabel},
    {CMD_CMDLINE_TEMPLATE, cmdCommandLineTemplate},
    {CMD_CMDLINE_PRINT, cmdCommandLinePrint},
};

constexpr std::size_t kTableSize = kLastExtraCommandId - kFirstCommandId + 1;

// id - kFirstCommandId -> handler.
constexpr std::array<CommandHandler, kTableSize> kTable = [] {
    std::array<CommandHandler, kTableSize> table{};
    for (const CommandRow& row : kRows) {
        table[static_cast<std::size_t>(row.id - kFirstCommandId)] = row.handler;
    }
    return table;
}();

// Commands that edit through a dialog the user may cancel (or leave unchanged).
constexpr int kDialogEdits[] = {
    CMD_FONTS_AND_COLORS, CMD_BODY_BACK_COLOR, CMD_INSERT_IMAGE,          CMD_INSERT_STRING,
    CMD_EDIT_FILES,       CMD_EDIT_COMMENT,    CMD_CHOOSE_SUBDIRECTORIES, CMD_EDIT_SPINE_TEXT,
    CMD_SPINE_FONT,       CMD_SPINE_COLOR,     CMD_SPINE_BACK_COLOR,      CMD_MODIFY_TEXT,
    CMD_STRING_FONT,      CMD_STRING_COLOR,
};

bool editsThroughADialog(int id) {
    return std::find(std::begin(kDialogEdits), std::end(kDialogEdits), id) !=
           std::end(kDialogEdits);
}

// Everything a label file keeps of the four labels, to tell whether a dialog changed any.
std::string labelsContent(const App& app) {
    std::string content;
    for (const VAROINFO& label : app.labels.labels) {
        content += encodeLabelFile(label);
    }
    return content;
}

CommandObserver& observer() {
    static CommandObserver instance;
    return instance;
}

} // namespace

CommandHandler commandHandler(int id) {
    const bool original = id >= kFirstCommandId && id <= kLastCommandId;
    const bool extra = id >= kFirstExtraCommandId && id <= kLastExtraCommandId;
    if (!original && !extra) {
        return nullptr;
    }
    return kTable[static_cast<std::size_t>(id - kFirstCommandId)];
}

CommandObserver setCommandObserver(CommandObserver next) {
    return std::exchange(observer(), std::move(next));
}

bool DispatchCommand(App& app, MainWindow& window, int id) {
    if (observer()) {
        observer()(id);
    }
    CommandHandler handler = commandHandler(id);
    if (handler == nullptr) {
        return false;
    }
    // Only a change marks a label: a dialog that was cancelled, or closed with what it showed,
    // leaves the title without "*".
    const int indexBefore = app.labels.currentLabelIndex;
    std::optional<std::string> before;
    if (commandEditsLabels(id) && editsThroughADialog(id)) {
        before = labelsContent(app);
    }
    handler(app, window, id);
    if (!before || *before != labelsContent(app)) {
        markEditedLabels(app, window, id, indexBefore);
    }
    return true;
}

} // namespace pelmora
