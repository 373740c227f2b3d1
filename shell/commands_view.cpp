// Zoom, window scaling and moving between labels and pages. Where each move goes is the
// view's business (shell/view.h); these handlers only connect the commands to it.

#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/view.h"

namespace pelmora {

void cmdZoom(App& app, MainWindow& window, int) {
    ToggleZoom(app, window);
}

void cmdWindowScale(App& app, MainWindow& window, int id) {
    const double scale = WindowScaleOfCommand(id);
    if (scale <= 0.0) {
        return;
    }
    app.view.windowScale = scale;
    app.view.windowScaleChanged = true; // the logo fonts are made again
    window.applyWindowScale();
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdNavigate(App& app, MainWindow& window, int id) {
    NavigateView(app, window, id);
}

} // namespace pelmora
