#include "shell/unsaved_changes.h"

#include "platform/ui/dialogs.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// The commands that leave every label as it is. Listing these rather than the editing ones
// means a command added later counts as an edit until it is put here: at worst the program
// asks once too often, never once too few.
constexpr int kNonEditingCommands[] = {
    // Documents: they ask first and set the state themselves.
    CMD_NEW,
    CMD_OPEN,
    CMD_RECENT_1,
    CMD_RECENT_2,
    CMD_RECENT_3,
    CMD_RECENT_4,
    CMD_RECENT_5,
    CMD_SAVE,
    CMD_SAVE_AS,
    CMD_CMDLINE_LABEL,
    CMD_CMDLINE_TEMPLATE,
    CMD_CMDLINE_PRINT,
    CMD_CLEAR_ALL_LABELS,
    CMD_FIND_IN_LABELS,
    CMD_EXIT,
    // Mark the document themselves when they changed the label.
    CMD_READ_DISK,
    CMD_READ_TEMPLATE,
    // How the next disk is read.
    CMD_SELECT_DRIVE,
    CMD_LEVELS_ROOT,
    CMD_LEVELS_1,
    CMD_LEVELS_2,
    CMD_LEVELS_3,
    CMD_LEVELS_4,
    CMD_LEVELS_ALL,
    CMD_SCAN_DIRECTORIES_ONLY,
    CMD_DIRINFO_KILOBYTES,
    CMD_DIRINFO_FILES,
    CMD_DIRINFO_NONE,
    CMD_SCAN_ARCHIVES,
    CMD_EXCLUDE_INCLUDE,
    CMD_USE_TEMPLATE_FILES,
    CMD_WRITE_TEMPLATE,
    // The view: format, zoom, window scale, label and page.
    CMD_FORMAT_ONE,
    CMD_FORMAT_QUAD,
    CMD_FORMAT_TWO_FOLD_OUT,
    CMD_FORMAT_TWO_FOLD_AROUND,
    CMD_FORMAT_FOUR,
    CMD_ZOOM,
    CMD_WINDOW_SCALE_50,
    CMD_WINDOW_SCALE_75,
    CMD_WINDOW_SCALE_100,
    CMD_WINDOW_SCALE_125,
    CMD_WINDOW_SCALE_150,
    CMD_PAGE_ONE,
    CMD_PAGE_TWO,
    CMD_PAGE_THREE,
    CMD_PAGE_FOUR,
    CMD_MOVE_RIGHT,
    CMD_MOVE_LEFT,
    CMD_MOVE_UP,
    CMD_MOVE_DOWN,
    CMD_PAGE_UP,
    CMD_PAGE_DOWN,
    // Enter only posts the command it stands for, which is judged on its own.
    CMD_ENTER,
    // Printing and program-wide settings (the logo's initials belong to the program, not to a
    // label file).
    CMD_PRINTER_SETUP,
    CMD_PRINT,
    CMD_PRINT_PREVIEW,
    CMD_CUSTOMIZE_INITIALS,
    // Help.
    CMD_HELP_CONTENTS,
    CMD_HELP_SEARCH,
    CMD_CHECK_NEW_VERSION,
    CMD_WEB_SITE,
    CMD_HIDE_ALL_HINTS,
    CMD_SHOW_ALL_HINTS,
    CMD_ABOUT,
};

// Commands that edit all four labels rather than the current one.
constexpr int kAllLabelCommands[] = {CMD_DUPLICATE_FORMAT, CMD_RESET_DEFAULTS};

// Button indexes of the question.
constexpr int kSaveButton = 0;
constexpr int kDiscardButton = 1;

// The labels whose changes `scope` throws away, in label order.
std::vector<int> changedLabels(const App& app, DiscardScope scope) {
    std::vector<int> changed;
    for (int i = 0; i < static_cast<int>(app.documents.size()); ++i) {
        const bool inScope = scope == DiscardScope::AllLabels || i == app.labels.currentLabelIndex;
        if (inScope && app.documents[static_cast<std::size_t>(i)].changed) {
            changed.push_back(i);
        }
    }
    return changed;
}

std::string questionText(const App& app, const std::vector<int>& changed) {
    const auto nameOf = [&](int index) {
        return app.documents[static_cast<std::size_t>(index)].documentName;
    };
    if (changed.size() == 1) {
        return "Save changes to " + nameOf(changed[0]) + "?";
    }
    std::string text = "Save changes to " + std::to_string(changed.size()) + " labels?\n";
    for (int index : changed) {
        text += "\nLabel " + std::to_string(index + 1) + ": " + nameOf(index);
    }
    return text;
}

} // namespace

void markLabelChanged(App& app, MainWindow& window, int index) {
    app.documents[static_cast<std::size_t>(index)].changed = true;
    window.updateTitle();
}

void markDocumentChanged(App& app, MainWindow& window) {
    markLabelChanged(app, window, app.labels.currentLabelIndex);
}

void markDocumentUnchanged(App& app, MainWindow& window) {
    app.document().changed = false;
    window.updateTitle();
}

bool commandEditsLabels(int id) {
    return std::find(std::begin(kNonEditingCommands), std::end(kNonEditingCommands), id) ==
           std::end(kNonEditingCommands);
}

void markEditedLabels(App& app, MainWindow& window, int id, int indexBefore) {
    if (!commandEditsLabels(id)) {
        return;
    }
    if (std::find(std::begin(kAllLabelCommands), std::end(kAllLabelCommands), id) !=
        std::end(kAllLabelCommands)) {
        // A label without catalog, objects or file gets only a format taken from the current
        // label or the defaults: nothing a question about it would save. Asking about such
        // hidden, empty labels at every exit would teach the user to discard.
        for (int i = 0; i < static_cast<int>(app.documents.size()); ++i) {
            const VAROINFO& label = app.labels.labels[static_cast<std::size_t>(i)];
            const bool holdsWork =
                !label.entries.empty() || !label.objects.empty() ||
                !app.documents[static_cast<std::size_t>(i)].currentFilePath.empty();
            if (holdsWork || i == indexBefore) {
                markLabelChanged(app, window, i);
            }
        }
        return;
    }
    markLabelChanged(app, window, indexBefore);
    markDocumentChanged(app, window);
}

bool confirmDiscardChanges(App& app, MainWindow& window, DiscardScope scope) {
    const std::vector<int> changed = changedLabels(app, scope);
    if (changed.empty()) {
        return true;
    }
    const int choice = ui::askChoice(&window, questionText(app, changed), std::string(kProgramName),
                                     {"&Save", "&Discard", "Cancel"});
    switch (choice) {
    case kSaveButton:
        // Each label to its own file, asking for a name where it has none. A cancelled name
        // or a failed write stops there: the action does not go on, and the labels not yet
        // saved keep their changes and their mark.
        for (int index : changed) {
            if (!saveDocument(app, window, index)) {
                return false;
            }
        }
        return true;
    case kDiscardButton:
        return true;
    default:
        return false;
    }
}

} // namespace pelmora
