#include "shell/object_hit.h"

#include "catalog/object_list.h"
#include "render/geometry.h"
#include "shell/app.h"
#include "shell/main_window.h"

#include <algorithm>

namespace pelmora {

namespace {

// The object's outline on screen, grown by 3 so that the handles are covered, in label units
// with the face offset.
RECT screenOutline(App& app, const PlacedObject& object) {
    RECT rect{object.left, object.top, object.right, object.bottom};
    if (app.view.zoomed == 0) {
        ScaleRect(rect, 0.5);
    }
    GrowRect(rect, 3);
    VAROINFO& label = app.currentLabel();
    PlaceFace(app.view.zoomed, object.page, app.labels.currentLabelIndex, label);
    rect.left += label.labelLeft;
    rect.right += label.labelLeft;
    rect.top += label.labelTop;
    rect.bottom += label.labelTop;
    return rect;
}

} // namespace

void SelectPlacedObject(App& app, MainWindow& window, int index) {
    VAROINFO& label = app.currentLabel();
    if (app.shell.selectedKind != SELECTED_NONE && index != 0 && label.objectCount() > 0) {
        window.invalidateLabelRect(screenOutline(app, label.objects[0]));
    }
    app.shell.selectedKind = SELECTED_NONE;
    if (index >= 0 && index < label.objectCount()) {
        moveObjectToFront(label, static_cast<std::size_t>(index));
        const PlacedObject& object = label.objects[0];
        app.shell.selectedKind = object.kind;
        // The outline is drawn by the next paint; repaint where it appears.
        window.invalidateLabelRect(screenOutline(app, object));
    }
    window.updateMenuState();
}

int HitTestObjects(const VAROINFO& label, int position, int x, int y) {
    for (int layer : {LAYER_ABOVE, LAYER_ON, LAYER_BELOW}) {
        for (int i = 0; i < label.objectCount(); ++i) {
            const PlacedObject& object = label.objects[static_cast<std::size_t>(i)];
            if (object.layer != layer || object.page != position) {
                continue;
            }
            if (InRange2D(object.left, object.top, object.right, object.bottom, x, y)) {
                return i;
            }
        }
    }
    return -1;
}

int HitTestHandles(const VAROINFO& label, int zoomed, int x, int y) {
    if (label.objects.empty()) {
        return -1;
    }
    const PlacedObject& object = label.objects[0];
    if (object.kind == OBJECT_STRING && object.autoSize == 1) {
        return -1;
    }
    const int d = zoomed == 1 ? 8 : 16;
    const int l = object.left, t = object.top, r = object.right, b = object.bottom;
    const bool top = t - d <= y && y <= t;
    const bool bottom = b <= y && y <= b + d;
    const bool left = l <= x && x <= l + d;
    const bool right = r - d <= x && x <= r;
    const int m = (l + r - d) / 2;
    const int n = (-t - b - d) / 2;
    const bool middleColumn = m <= x && x <= m + d;
    const bool middleRow = n <= -y && -y <= n + d;
    if (top && left) {
        return 0;
    }
    if (top && right) {
        return 1;
    }
    if (!top && bottom && left) {
        return 2;
    }
    if (!top && bottom && right) {
        return 3;
    }
    if (top && middleColumn) {
        return 4;
    }
    if (bottom && middleColumn) {
        return 5;
    }
    if (left && middleRow) {
        return 6;
    }
    if (right && middleRow) {
        return 7;
    }
    return -1;
}

POINT HandleOffset(const RECT& outline, int x, int y, int handle) {
    const int l = outline.left, t = outline.top, r = outline.right, b = outline.bottom;
    POINT reference{x, y};
    switch (handle) {
    case 0:
        reference = {l, t};
        break;
    case 1:
        reference = {r, t};
        break;
    case 2:
        reference = {l, b};
        break;
    case 3:
        reference = {r, b};
        break;
    case 4:
        reference = {(l + r - 8) / 2, t};
        break;
    case 5:
        reference = {(l + r - 8) / 2, b};
        break;
    case 6:
        reference = {l, (t + b - 8) / 2};
        break;
    case 7:
        reference = {r, (t + b - 8) / 2};
        break;
    default:
        break;
    }
    return {reference.x - x, reference.y - y};
}

void ResizeByHandle(int handle, PlacedObject& object, int x, int y, int w, int h) {
    x = std::clamp(x, 0, std::max(w, 0));
    y = std::clamp(y, std::min(h, 0), 0);
    if (handle == 0 || handle == 1 || handle == 4) {
        object.top = std::max(y, object.bottom + 10);
    }
    if (handle == 2 || handle == 3 || handle == 5) {
        object.bottom = std::min(y, object.top - 10);
    }
    if (handle == 0 || handle == 2 || handle == 6) {
        object.left = std::min(x, object.right - 10);
    }
    if (handle == 1 || handle == 3 || handle == 7) {
        object.right = std::max(x, object.left + 10);
    }
}

} // namespace pelmora
