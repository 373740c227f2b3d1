// The Spine menu: the spine text's alignment and the disk logo. The text, its font and the
// colours open dialogs and choosers of their own.

#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {

void cmdSpineAlign(App& app, MainWindow& window, int id) {
    app.currentLabel().spineAlign = id - CMD_SPINE_ALIGN_LEFT; // left 0, centre 1, right 2
    window.invalidateLabelArea();
}

void cmdShowLogo(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    label.showLogo = label.showLogo != 0 ? 0 : 1;
    window.invalidateLabelArea();
}

void cmdColorLogo(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    label.colorLogo = label.colorLogo != 0 ? 0 : 1;
    window.invalidateLabelArea();
}

} // namespace pelmora
