// Fonts and colours: Fonts And Colors, the background, spine font and spine colour choosers,
// and Apply from inside a chooser.

#include "render/dialogs/fonts_colors_dialog.h"
#include "render/styles.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {

namespace {

ChooserMemory chooserMemory(App& app) {
    return {app.settings.customColors, app.settings.position(WindowName::Color),
            app.settings.position(WindowName::Font)};
}

// Marks which chooser is open for exactly as long as it is, so that Apply knows what changed.
class OpenChooser {
public:
    OpenChooser(App& app, int kind) : app_(app) { app_.shell.openChooser = kind; }
    ~OpenChooser() { app_.shell.openChooser = CHOOSER_NONE; }
    OpenChooser(const OpenChooser&) = delete;
    OpenChooser& operator=(const OpenChooser&) = delete;

private:
    App& app_;
};

// The chooser's Apply goes through the window's Apply command, which repaints at once.
std::function<void()> applyThroughWindow(MainWindow& window) {
    return [&window] { window.sendCommand(CMD_APPLY); };
}

void chooseLabelColor(App& app, MainWindow& window, COLORREF VAROINFO::*color) {
    VAROINFO& label = app.currentLabel();
    {
        OpenChooser open(app, CHOOSER_COLOR);
        ChooseElementColor(&window, label.*color, chooserMemory(app), applyThroughWindow(window));
    }
    label.layoutValid = 0;
    window.invalidateLabelArea();
}

} // namespace

void cmdFontsAndColors(App& app, MainWindow& window, int) {
    // The dialog applies its changes itself; the window measures and repaints after each.
    VAROINFO& label = app.currentLabel();
    FontsAndColors(&window, label, chooserMemory(app), app.settings.position(WindowName::Ext), [&] {
        measureLabelFonts(label);
        window.invalidateLabelArea();
    });
    measureLabelFonts(label);
    label.layoutValid = 0;
    window.invalidateLabelArea();
}

void cmdBodyBackColor(App& app, MainWindow& window, int) {
    chooseLabelColor(app, window, &VAROINFO::bodyBackColor);
}

void cmdSpineFont(App& app, MainWindow& window, int) {
    VAROINFO& label = app.currentLabel();
    {
        OpenChooser open(app, CHOOSER_SPINE_FONT);
        ChooseElementFont(&window, label.spineFont, label.spineColor, chooserMemory(app),
                          applyThroughWindow(window));
    }
    // Cancel may have put back a font an Apply had measured.
    measureLabelFonts(label);
    label.layoutValid = 0;
    window.invalidateLabelArea();
}

void cmdSpineColor(App& app, MainWindow& window, int) {
    chooseLabelColor(app, window, &VAROINFO::spineColor);
}

void cmdSpineBackColor(App& app, MainWindow& window, int) {
    chooseLabelColor(app, window, &VAROINFO::spineBackColor);
}

void cmdApply(App& app, MainWindow& window, int) {
    switch (app.shell.openChooser) {
    case CHOOSER_STRING_FONT:
        // Re-sizes the selected string when it sizes itself, and repaints.
        applyStringChooser(app, window);
        return;
    case CHOOSER_FILES_FONT:
    case CHOOSER_FOLDERS_FONT:
    case CHOOSER_COMMENT_FONT:
    case CHOOSER_SPINE_FONT:
    case CHOOSER_EXTENSION_FONT:
        measureLabelFonts(app.currentLabel());
        break;
    default:
        break;
    }
    app.currentLabel().layoutValid = 0;
    window.invalidateLabelArea();
}

} // namespace pelmora
