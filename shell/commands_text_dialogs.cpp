// The small text dialogs: Exclude/Include, Comment Entry, the spine text, the spine initials
// and About.

#include "catalog/dialogs/comment_dialog.h"
#include "catalog/dialogs/exclude_dialog.h"
#include "catalog/dialogs/spine_text_dialog.h"
#include "render/label_format.h"
#include "shell/about_dialog.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/initials_dialog.h"
#include "shell/main_window.h"
#include "storage/settings_store.h"

namespace pelmora {

void cmdExcludeInclude(App& app, MainWindow& window, int) {
    if (EditExcludeList(&window, app.catalog, app.settings.position(WindowName::Exclude)) == 1) {
        scanPrompt(app, window, kHintRescan, "Exclude/Include List Modified",
                   "The exclude/include list has changed.  Do you want to re-scan the disk?");
    }
    window.invalidateLabelArea();
}

void cmdEditComment(App& app, MainWindow& window, int) {
    EditComment(&window, app.currentLabel(), app.settings.position(WindowName::Comment));
    window.invalidateLabelArea();
}

void cmdEditSpineText(App& app, MainWindow& window, int) {
    // The title numbers the label only where the format has more than one.
    const bool numbered = labelsInFormat(app.view.format) > 1;
    EditSpineText(&window, app.currentLabel(), numbered, app.settings.position(WindowName::Label));
    window.invalidateLabelArea();
}

void cmdCustomizeInitials(App& app, MainWindow& window, int) {
    CustomizeInitials(&window, app.paint, app.settings.position(WindowName::Initials),
                      SettingsPath());
    window.invalidateLabelArea();
}

void cmdAbout(App& app, MainWindow& window, int) {
    ShowAbout(&window, kWebSiteUrl, openUrl, app.settings.position(WindowName::About));
}

} // namespace pelmora
