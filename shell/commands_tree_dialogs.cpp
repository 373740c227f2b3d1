// The dialogs that work on a label's catalog tree: Subdirectory Selection and the Files and
// Folders Editor.

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
    // The Subdirectory Selection dialog is wired when it exists.
    window.invalidateLabelArea();
}

void cmdEditFiles(App&, MainWindow&, int) {}

} // namespace pelmora
