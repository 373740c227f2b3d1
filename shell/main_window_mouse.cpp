// The main window's mouse: choosing a label or a face, selecting, dragging and resizing placed
// objects, and the right-button menus.

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_types.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "render/styles.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "shell/app.h"
#include "shell/dispatch.h"
#include "shell/main_window.h"
#include "shell/object_hit.h"
#include "shell/unsaved_changes.h"
#include "shell/view.h"

#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pelmora {

namespace {

std::string formatInches(const char* format, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string positionText(const PlacedObject& o) {
    return formatInches("Position: %0.2f\", %0.2f\"", o.left / 100.0, -o.top / 100.0);
}

std::string sizeText(const PlacedObject& o) {
    return formatInches("Size: %0.2f\" x %0.2f\"", (o.right - o.left) / 100.0,
                        (o.top - o.bottom) / 100.0);
}

std::string geometryText(const PlacedObject& o) {
    return positionText(o) + "     " + sizeText(o);
}

// The pointer relative to the label's placed face, doubled in the half-size overview.
POINT faceRelative(const VAROINFO& label, POINT p, int zoomed) {
    POINT f{p.x - label.labelLeft, p.y - label.labelTop};
    if (zoomed == 0) {
        f.x *= 2;
        f.y *= 2;
    }
    return f;
}

bool inRect(const RECT& r, POINT p) {
    return InRange2D(r.left, r.top, r.right, r.bottom, p.x, p.y) != 0;
}

// The object's outline on screen: halved in the overview and moved onto its face.
RECT objectFrame(const VAROINFO& label, const PlacedObject& object, int zoomed) {
    RECT r{object.left, object.top, object.right, object.bottom};
    if (zoomed == 0) {
        ScaleRect(r, 0.5);
    }
    return RECT{r.left + label.labelLeft, r.top + label.labelTop, r.right + label.labelLeft,
                r.bottom + label.labelTop};
}

bool pagedFormat(LabelFormat format) {
    return format == QUAD_LABEL || isTwoLabelFormat(format);
}

} // namespace

// --- Mouse -----------------------------------------------------------------------------------

void MainWindow::resolveLabelUnderPointer(POINT p, bool rightButton, int& index, int& position) {
    const LabelFormat format = app_.view.format;
    index = app_.labels.currentLabelIndex;
    position = app_.view.position;
    if (format == ONE_LABEL) {
        index = 0;
        return;
    }
    if (app_.view.zoomed == 1) {
        return;
    }
    const int column = p.x - app_.view.viewOriginX >= kFaceWidth / 2 ? 1 : 0;
    switch (format) {
    case QUAD_LABEL: {
        VAROINFO& probe = app_.labels.labels[1];
        PlaceFace(0, 3, 1, probe);
        const int cx = probe.labelLeft + probe.labelWidth / 2;
        const int cy = probe.labelTop + probe.labelHeight / 2;
        const bool left = p.x <= cx;
        const bool top = p.y >= cy;
        position = top ? (left ? 3 : 2) : (left ? 4 : 1);
        return;
    }
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT: {
        const bool around = format == TWO_FOLD_AROUND;
        index = column;
        VAROINFO& label = app_.labels.labels[static_cast<std::size_t>(index)];
        if (!rightButton) {
            const int upper = around ? 2 : 1;
            PlaceFace(0, upper, index, label);
            position = p.y > label.labelTop ? 3 - upper : upper;
        } else {
            const int probe = around ? 1 : 2;
            PlaceFace(0, probe, index, label);
            const int lower = around ? 2 : 1;
            const int chosen = p.y < label.labelTop + label.labelHeight / 2 ? lower : 3 - lower;
            if (chosen != app_.view.position) {
                SelectPlacedObject(app_, *this, -1);
            }
            position = chosen;
        }
        return;
    }
    case FOUR_LABELS: {
        const int row = app_.view.viewOriginY - p.y >= -kFrontFaceHeight / 2 ? 1 : 0;
        index = 2 * row + column;
        position = 1;
        return;
    }
    default:
        return;
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!labelArea_.contains(pos) || !app_.shell.initialised) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        onLeftDown(pos, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        onRightDown(pos);
    }
}

void MainWindow::onLeftDown(QPoint pos, Qt::KeyboardModifiers modifiers) {
    const POINT p = windowToLabel(pos);
    const LabelFormat format = app_.view.format;
    const int zoomed = app_.view.zoomed;
    {
        VAROINFO& label = app_.currentLabel();
        const int position = app_.view.position;
        PlaceFace(zoomed, position, app_.labels.currentLabelIndex, label);
        const POINT f = faceRelative(label, p, zoomed);
        const bool onObject = HitTestObjects(label, position, f.x, f.y) >= 0;
        const bool onBody = inRect(GetTextRect(position), f);
        const bool onSpine = position == 1 && inRect(kSpineRect, f);
        if (!onObject && !onBody && !onSpine && pagedFormat(format) && zoomed == 1) {
            // A click beside the zoomed face turns the page.
            SelectPlacedObject(app_, *this, -1);
            int next;
            if (isTwoLabelFormat(format)) {
                next = position == 1 ? 2 : 1;
            } else if (position == 1) {
                next = 2;
            } else if (p.y > (label.labelTop + label.labelHeight) / 2) {
                next = std::min(position + 1, 4);
            } else {
                next = std::max(position - 1, 1);
            }
            setCurrentLabel(app_.labels.currentLabelIndex, next);
            invalidateLabelArea(true);
            return;
        }
    }

    int index = 0;
    int position = 1;
    resolveLabelUnderPointer(p, false, index, position);
    setCurrentLabel(index, position);
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, app_.view.position, app_.labels.currentLabelIndex, label);
    const POINT f = faceRelative(label, p, zoomed);
    SelectPlacedObject(app_, *this, HitTestObjects(label, app_.view.position, f.x, f.y));
    setStatusText("Ready");
    if (app_.shell.selectedKind == SELECTED_NONE || label.objects.empty()) {
        return;
    }

    PlacedObject& object = label.objects[0];
    setStatusText(geometryText(object));
    DragState& drag = app_.shell.drag;
    const int handle = HitTestHandles(label, zoomed, f.x, f.y);
    drag.startLabel = p;
    if (handle < 0 || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) {
        drag.mode = DRAG_MOVE;
        drag.grabOffsetLabel = {object.left - f.x, object.top - f.y};
    } else {
        drag.mode = DRAG_RESIZE;
        drag.handle = handle;
        drag.grabOffsetLabel = HandleOffset(
            RECT{object.left, object.top, object.right, object.bottom}, f.x, f.y, handle);
    }
    PlaceFace(zoomed, object.page, app_.labels.currentLabelIndex, label);
    drag.frameLabel = objectFrame(label, object, zoomed);
    invalidateLabelRect(drag.frameLabel);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (app_.shell.drag.mode != DRAG_NONE) {
        onDragMove(event->position().toPoint());
        return;
    }
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::onDragMove(QPoint pos) {
    VAROINFO& label = app_.currentLabel();
    if (label.objects.empty()) {
        app_.shell.drag.mode = DRAG_NONE;
        return;
    }
    DragState& drag = app_.shell.drag;
    PlacedObject& object = label.objects[0];
    const int zoomed = app_.view.zoomed;
    const POINT p = windowToLabel(pos);
    PlaceFace(zoomed, object.page, app_.labels.currentLabelIndex, label);
    POINT f = faceRelative(label, p, zoomed);
    f.x += drag.grabOffsetLabel.x;
    f.y += drag.grabOffsetLabel.y;

    invalidateLabelRect(drag.frameLabel);
    if (drag.mode == DRAG_MOVE) {
        const int width = object.right - object.left;
        const int height = object.bottom - object.top; // negative: y is up
        int left = std::max(f.x, 0);
        int top = std::min(f.y, 0);
        if (left + width > label.labelWidth) {
            left = label.labelWidth - width;
        }
        if (top + height < label.labelHeight) {
            top = label.labelHeight - height;
        }
        object.left = left;
        object.top = top;
        object.right = left + width;
        object.bottom = top + height;
        setStatusText(positionText(object));
    } else {
        ResizeByHandle(drag.handle, object, f.x, f.y, label.labelWidth, label.labelHeight);
        setStatusText(sizeText(object));
    }
    drag.frameLabel = objectFrame(label, object, zoomed);
    invalidateLabelRect(drag.frameLabel);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && app_.shell.drag.mode != DRAG_NONE) {
        onLeftUp(event->position().toPoint());
        return;
    }
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::onLeftUp(QPoint pos) {
    DragState& drag = app_.shell.drag;
    const POINT p = windowToLabel(pos);
    if (p.x == drag.startLabel.x && p.y == drag.startLabel.y) {
        // Nothing moved: only the outline is refreshed.
        drag.mode = DRAG_NONE;
        invalidateLabelRect(drag.frameLabel);
    } else {
        onDragMove(pos);
        drag.mode = DRAG_NONE;
        markDocumentChanged(app_, *this);
        invalidateLabelArea(true);
    }
    const VAROINFO& label = app_.currentLabel();
    if (!label.objects.empty()) {
        setStatusText(geometryText(label.objects[0]));
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !labelArea_.contains(pos) || !app_.shell.initialised) {
        QMainWindow::mouseDoubleClickEvent(event);
        return;
    }
    onDoubleClick(pos, event->modifiers());
}

void MainWindow::onDoubleClick(QPoint pos, Qt::KeyboardModifiers modifiers) {
    enum class Place { Object, Body, Spine, Nothing };
    const POINT p = windowToLabel(pos);
    const int zoomed = app_.view.zoomed;
    const int position = app_.view.position;
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, position, app_.labels.currentLabelIndex, label);
    const POINT f = faceRelative(label, p, zoomed);
    const RECT body = GetTextRect(position);
    Place place = Place::Body;
    if (HitTestObjects(label, position, f.x, f.y) >= 0) {
        place = Place::Object;
    } else if (inRect(body, f)) {
        place = Place::Body;
    } else if (position == 1 && inRect(kSpineRect, f)) {
        place = Place::Spine;
    } else if (pagedFormat(app_.view.format) && zoomed == 1) {
        place = Place::Nothing;
    }

    if ((modifiers & Qt::ShiftModifier) || place == Place::Spine) {
        postCommand(CMD_EDIT_SPINE_TEXT);
        return;
    }
    if (place == Place::Object) {
        if (app_.shell.selectedKind == SELECTED_STRING) {
            postCommand(CMD_MODIFY_TEXT);
        }
        return;
    }
    if (place == Place::Nothing) {
        return;
    }
    // Just above the body's bottom edge is the comment line.
    const int bottomEdge = zoomed == 0 ? body.bottom / 2 : body.bottom;
    const int above = (p.y - label.labelTop) - bottomEdge;
    const int band = zoomed == 0 ? 15 : 25;
    if (label.showComment != 0 && position == 1 && above > 0 && above < band) {
        postCommand(CMD_EDIT_COMMENT);
    } else {
        postCommand(CMD_READ_DISK);
    }
}

void MainWindow::onRightDown(QPoint pos) {
    if (app_.shell.drag.mode != DRAG_NONE) {
        return;
    }
    const POINT p = windowToLabel(pos);
    int index = 0;
    int position = 1;
    resolveLabelUnderPointer(p, true, index, position);
    setCurrentLabel(index, position);
    const int zoomed = app_.view.zoomed;
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, app_.view.position, app_.labels.currentLabelIndex, label);

    CheckPopupItems();
    checkCommand(CMD_PAGE_ONE, app_.view.position == 1);
    checkCommand(CMD_PAGE_TWO, app_.view.position == 2);
    checkCommand(CMD_PAGE_THREE, app_.view.position == 3);
    checkCommand(CMD_PAGE_FOUR, app_.view.position == 4);

    const QPoint global = mapToGlobal(pos);
    const POINT f = faceRelative(label, p, zoomed);
    const int hit = HitTestObjects(label, app_.view.position, f.x, f.y);
    if (hit >= 0) {
        SelectPlacedObject(app_, *this, hit);
        const PlacedObject& object = label.objects[0];
        checkCommand(CMD_LAYER_ABOVE, object.layer == LAYER_ABOVE);
        checkCommand(CMD_LAYER_ON, object.layer == LAYER_ON);
        checkCommand(CMD_LAYER_BELOW, object.layer == LAYER_BELOW);
        if (object.kind == OBJECT_STRING) {
            CheckStringItems();
            ShowPopup(kPopupString, global);
        } else {
            ShowPopup(kPopupImage, global);
        }
        return;
    }
    const LabelFormat format = app_.view.format;
    int popupResource = kPopupBody;
    if (inRect(GetTextRect(app_.view.position), f)) {
        popupResource = kPopupBody;
    } else if (app_.view.position == 1 && inRect(kSpineRect, f)) {
        popupResource = kPopupSpine;
    } else if (format == QUAD_LABEL && zoomed == 1) {
        popupResource = kPopupFourPages;
    } else if (isTwoLabelFormat(format) && zoomed == 1) {
        popupResource = kPopupTwoPages;
    }
    ShowPopup(popupResource, global);
}

} // namespace pelmora
