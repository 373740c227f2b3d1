// Fonts and colours: Fonts And Colors, the background, spine font and spine colour choosers,
// and Apply from inside a chooser.

#include "render/styles.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {

void cmdFontsAndColors(App&, MainWindow&, int) {}

void cmdBodyBackColor(App&, MainWindow&, int) {}

void cmdSpineFont(App&, MainWindow&, int) {}

void cmdSpineColor(App&, MainWindow&, int) {}

void cmdSpineBackColor(App&, MainWindow&, int) {}

void cmdApply(App& app, MainWindow& window, int) {
    // The spine font chooser's Apply re-measures the label's line heights; the string
    // chooser's re-sizing is wired with the String Entry dialog.
    if (app.shell.openChooser == CHOOSER_SPINE_FONT) {
        measureLabelFonts(app.currentLabel());
    }
    window.invalidateLabelArea();
}

} // namespace pelmora
