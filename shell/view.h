#pragma once
// Which label and page the window shows, the zoom toggle, the window scale and the keyboard
// and menu navigation between labels and pages. MainWindow::setCurrentLabel, updateTitle and
// applyWindowScale are implemented in view.cpp as well.

#include "platform/core/wintypes.h"
#include "render/label_format.h"

#include <optional>
#include <string>

namespace pelmora {

struct App;
class MainWindow;

struct LabelPage {
    int index = 0;
    int position = 1;
    bool operator==(const LabelPage&) const = default;
};

// Where a navigation command (CMD_MOVE_*, CMD_PAGE_UP/DOWN, CMD_PAGE_ONE..FOUR) goes from
// label `index`, page `position`; nullopt when it does nothing.
std::optional<LabelPage> NavigationTarget(LabelFormat format, int zoomed, int index, int position,
                                          int command);

// Runs a navigation command: drops the selection, makes the target current and repaints when
// zoomed. Returns false for ids that are no navigation command.
bool NavigateView(App& app, MainWindow& window, int command);

// Command CMD_ZOOM: nothing for ONE_LABEL, else toggles between one face and the overview.
void ToggleZoom(App& app, MainWindow& window);

// The window title for the document name, format, zoom, label and page.
std::string WindowTitle(const std::string& documentName, LabelFormat format, int zoomed, int index,
                        int position);

// The window scale of a scaling command (CMD_WINDOW_SCALE_*), 0 for other ids.
double WindowScaleOfCommand(int command);

// The outline of the current face in the overview, label units with the face offset: from
// (labelLeft, labelTop) over half the face size.
RECT CurrentFaceFrame(App& app);

} // namespace pelmora
