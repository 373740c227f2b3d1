#pragma once
// Paints the strings and images placed on a label, the selection outline with its handles,
// the page hints of the zoomed view, and the window picture of every format.

#include "catalog/records.h"

#include <array>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// The label's objects of `layer` (-1 below, 0 on, 1 above the label) lying on `position`,
// from the last index down to 0 so that element 0 ends on top. The face must be placed.
void DrawVaroImages(gdi::DeviceContext& dc, VAROINFO& label, int layer, int position, int zoomed);

// The outline (and, unless the object is an auto-sized string, the eight handles) of the
// label's current object, element 0.
void DrawSelectionOutline(gdi::DeviceContext& dc, VAROINFO& label, int zoomed);

// The eight handle squares of an outline in their numbered order: top-left, top-right,
// bottom-left, bottom-right, top-middle, bottom-middle, left-middle, right-middle.
std::array<RECT, 8> HandleRects(const RECT& outline);

// A hint text in the top (where = 1) or bottom (where = -1) band of the zoomed view. Leaves the
// DC in the label mapping.
void DrawPageHint(gdi::DeviceContext& dc, const char* text, int where);

// Every face the view shows for the current format, position and zoom, then the selection
// outline of the current label when `objectSelected`.
void PaintWindowFaces(gdi::DeviceContext& dc, LabelSet& labels, int currentIndex, int zoomed,
                      bool objectSelected);

} // namespace pelmora
