#include "shell/view.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/object_hit.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <cstdio>

namespace pelmora {

namespace {

constexpr const char* kProgramTitle = "Pelmora";

bool isUp(int command) {
    return command == CMD_MOVE_UP || command == CMD_PAGE_UP;
}
bool isDown(int command) {
    return command == CMD_MOVE_DOWN || command == CMD_PAGE_DOWN;
}

std::optional<LabelPage> quadTarget(int zoomed, int p, int command) {
    auto page = [](int q) { return std::optional<LabelPage>(LabelPage{0, q}); };
    switch (command) {
    case CMD_PAGE_ONE:
    case CMD_PAGE_TWO:
    case CMD_PAGE_THREE:
    case CMD_PAGE_FOUR: {
        int wanted = command == CMD_PAGE_ONE     ? 1
                     : command == CMD_PAGE_TWO   ? 2
                     : command == CMD_PAGE_THREE ? 3
                                                 : 4;
        return wanted != p ? page(wanted) : std::nullopt;
    }
    default:
        break;
    }
    if (zoomed) {
        // Zoomed, the pages are a stack: Right and Up go one page up, Left and Down one down.
        if (command == CMD_MOVE_RIGHT || isUp(command)) {
            return p < 4 ? page(p + 1) : std::nullopt;
        }
        if (command == CMD_MOVE_LEFT || isDown(command)) {
            return p >= 2 ? page(p - 1) : std::nullopt;
        }
        return std::nullopt;
    }
    // The overview block: 3 2 above, 4 1 below.
    int target = 0;
    if (command == CMD_MOVE_RIGHT) {
        target = p == 3 ? 2 : p == 4 ? 1 : 0;
    } else if (command == CMD_MOVE_LEFT) {
        target = p == 2 ? 3 : p == 1 ? 4 : 0;
    } else if (isUp(command)) {
        target = p == 1 ? 2 : p == 4 ? 3 : 0;
    } else if (isDown(command)) {
        target = p == 2 ? 1 : p == 3 ? 4 : 0;
    }
    return target != 0 ? page(target) : std::nullopt;
}

std::optional<LabelPage> twoLabelTarget(LabelFormat format, int zoomed, int i, int p, int command) {
    if (command == CMD_MOVE_RIGHT) {
        return i != 1 ? std::optional<LabelPage>(LabelPage{1, p}) : std::nullopt;
    }
    if (command == CMD_MOVE_LEFT) {
        return i != 0 ? std::optional<LabelPage>(LabelPage{0, p}) : std::nullopt;
    }
    bool up = isUp(command) || command == CMD_PAGE_TWO;
    bool down = isDown(command) || command == CMD_PAGE_ONE;
    if (!up && !down) {
        return std::nullopt;
    }
    int wanted;
    if (zoomed) {
        wanted = up ? 2 : 1;
    } else {
        // In the overview page 1 is on top for fold-around, page 2 for fold-out.
        int upper = format == TWO_FOLD_AROUND ? 1 : 2;
        wanted = up ? upper : 3 - upper;
    }
    return wanted != p ? std::optional<LabelPage>(LabelPage{i, wanted}) : std::nullopt;
}

std::optional<LabelPage> fourLabelTarget(int zoomed, int i, int command) {
    bool up = isUp(command) || command == CMD_PAGE_TWO;
    bool down = isDown(command) || command == CMD_PAGE_ONE;
    if (zoomed) {
        if (command == CMD_MOVE_RIGHT || down) {
            return i < 3 ? std::optional<LabelPage>(LabelPage{i + 1, 1}) : std::nullopt;
        }
        if (command == CMD_MOVE_LEFT || up) {
            return i >= 1 ? std::optional<LabelPage>(LabelPage{i - 1, 1}) : std::nullopt;
        }
        return std::nullopt;
    }
    // The overview grid: 0 1 above, 2 3 below.
    if (command == CMD_MOVE_RIGHT) {
        return LabelPage{i | 1, 1};
    }
    if (command == CMD_MOVE_LEFT) {
        return LabelPage{i & ~1, 1};
    }
    if (up) {
        return LabelPage{i & ~2, 1};
    }
    if (down) {
        return LabelPage{i | 2, 1};
    }
    return std::nullopt;
}

bool isNavigationCommand(int command) {
    switch (command) {
    case CMD_MOVE_RIGHT:
    case CMD_MOVE_LEFT:
    case CMD_MOVE_UP:
    case CMD_MOVE_DOWN:
    case CMD_PAGE_UP:
    case CMD_PAGE_DOWN:
    case CMD_PAGE_ONE:
    case CMD_PAGE_TWO:
    case CMD_PAGE_THREE:
    case CMD_PAGE_FOUR:
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<LabelPage> NavigationTarget(LabelFormat format, int zoomed, int index, int position,
                                          int command) {
    switch (format) {
    case QUAD_LABEL:
        return quadTarget(zoomed, position, command);
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        return twoLabelTarget(format, zoomed, index, position, command);
    case FOUR_LABELS:
        return fourLabelTarget(zoomed, index, command);
    default:
        return std::nullopt;
    }
}

bool NavigateView(App& app, MainWindow& window, int command) {
    if (!isNavigationCommand(command)) {
        return false;
    }
    auto target = NavigationTarget(app.view.format, app.view.zoomed, app.labels.currentLabelIndex,
                                   app.view.position, command);
    if (!target) {
        return true;
    }
    SelectPlacedObject(app, window, -1);
    window.setCurrentLabel(target->index, target->position);
    if (app.view.zoomed == 1) {
        window.invalidateLabelArea(true);
    }
    return true;
}

void ToggleZoom(App& app, MainWindow& window) {
    if (app.view.format == ONE_LABEL) {
        return;
    }
    app.view.zoomed = 1 - app.view.zoomed;
    window.setCurrentLabel(app.labels.currentLabelIndex, app.view.position);
    window.invalidateLabelArea(true);
}

std::string WindowTitle(const std::string& documentName, LabelFormat format, int zoomed, int index,
                        int position) {
    std::string name = documentName;
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) {
        name = name.substr(slash + 1);
    }
    std::string title = name + " - " + kProgramTitle;
    if (zoomed == 1) {
        if (format == QUAD_LABEL) {
            title += " - Page " + std::to_string(position);
        } else if (format != ONE_LABEL) {
            title += " - Label " + std::to_string(index + 1);
        }
    }
    return title;
}

double WindowScaleOfCommand(int command) {
    switch (command) {
    case CMD_WINDOW_SCALE_50:
        return 0.5;
    case CMD_WINDOW_SCALE_75:
        return 0.75;
    case CMD_WINDOW_SCALE_100:
        return 1.0;
    case CMD_WINDOW_SCALE_125:
        return 1.25;
    case CMD_WINDOW_SCALE_150:
        return 1.5;
    default:
        return 0.0;
    }
}

RECT CurrentFaceFrame(App& app) {
    VAROINFO& label = app.currentLabel();
    PlaceFace(0, app.view.position, app.labels.currentLabelIndex, label);
    return RECT{label.labelLeft, label.labelTop, label.labelLeft + label.labelWidth / 2,
                label.labelTop + label.labelHeight / 2};
}

void MainWindow::setCurrentLabel(int index, int position) {
    App& app = app_;
    const bool overview = app.view.zoomed == 0;
    if (overview && (index != app.labels.currentLabelIndex || position != app.view.position)) {
        SelectPlacedObject(app, *this, -1);
        // The old frame goes back to the face border, the new one is drawn dashed.
        invalidateLabelRect(CurrentFaceFrame(app));
    }
    app.labels.currentLabelIndex = clampLabelIndex(app.view.format, index);
    app.view.position = position;
    if (overview) {
        invalidateLabelRect(CurrentFaceFrame(app));
    }
    updateTitle();
    updateMenuState();
}

void MainWindow::updateTitle() {
    // "*" after the name while the current label holds unsaved changes.
    const DocumentState& document = app_.document();
    const std::string name = document.documentName + (document.changed ? "*" : "");
    setWindowTitle(
        QString::fromStdString(WindowTitle(name, app_.view.format, app_.view.zoomed,
                                           app_.labels.currentLabelIndex, app_.view.position)));
}

void MainWindow::applyWindowScale() {
    applyWindowScale(app_.view.windowScale);
}

void MainWindow::applyWindowScale(double scale) {
    app_.view.windowScale = scale;
    app_.view.windowScaleChanged = true;
    app_.view.viewOriginY = kViewOriginTop;
    auto display = gdi::createInformationContext(gdi::displayCaps());
    SIZE base = WindowBaseSizePixels(*display);
    baseSize_ = QSize(base.cx, base.cy);
    CreateBars();
}

} // namespace pelmora
