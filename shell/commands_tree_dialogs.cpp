// The dialogs that work on a label's catalog tree: Subdirectory Selection and the Files and
// Folders Editor.

#include "catalog/dialogs/files_editor_dialog.h"
#include "catalog/dialogs/subdirectory_dialog.h"
#include "platform/core/message.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {

void cmdChooseSubdirectories(App& app, MainWindow& window, int) {
    bool anyFolder = false;
    for (const FileEntry& entry : app.currentLabel().entries) {
        if (entry.hasChild != 0 && entry.child) {
            anyFolder = true;
            break;
        }
    }
    if (!anyFolder) {
        reportMessage(mainWindowHandle(), "There are no directories to choose from!",
                      "Directory Problem...", MB_OK | MB_ICONERROR);
        window.invalidateLabelArea();
        return;
    }
    // OK or Cancel: the open flags stay as the user left them and the label's layout is marked
    // stale either way; the counts do not change.
    ChooseSubdirectories(&window, app.currentLabel(), app.settings.position(WindowName::Subdir));
    window.invalidateLabelArea();
}

void cmdEditFiles(App& app, MainWindow& window, int) {
    // OK: the label has taken the edited tree, its layout is marked stale and fileCount and
    // folderCount are counted anew. Cancel leaves the label as it was.
    if (EditFilesAndFolders(&window, app.currentLabel(), app.settings.position(WindowName::Subdir),
                            app.settings.position(WindowName::ChangeFile)) == 1) {
        window.invalidateLabelArea();
    }
}

} // namespace pelmora
