#pragma once
// Face sizes and placement in label units (0.01 inch, y up), the label mapping of a device
// context, and the small rectangle operations painting, hit testing and printing share.

#include "catalog/records.h"
#include "platform/core/wintypes.h"
#include "render/label_format.h"

#include <cstdint>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// Faces: position 1 is the front face, positions 2..4 are continuation faces.
constexpr std::int32_t kFaceWidth = 356;
constexpr std::int32_t kFrontFaceHeight = -431;
constexpr std::int32_t kContinuationFaceHeight = -350;

// Areas inside a face, face-relative.
constexpr RECT kFrontBodyRect{0, 0, kFaceWidth, -369};
constexpr RECT kContinuationBodyRect{0, 0, kFaceWidth, kContinuationFaceHeight};
constexpr RECT kSpineRect{0, -369, kFaceWidth, -387}; // position 1 only

// In the zoomed view continuation pages sit this much lower than the front face, leaving room
// for the page hint above them.
constexpr std::int32_t kContinuationDrop = 46;

// Puts a DC into label units: MM_LOENGLISH, then MM_ANISOTROPIC with the viewport extents
// multiplied by the window scale (truncated). Returns the mapping mode the DC had, which the
// caller restores with SetMapMode when done.
int SetLabelMapping(gdi::DeviceContext& dc);

// The height of a face of `format` at `position`: the front face is taller (it carries the
// spine); the continuation faces of the quad-length and two-label formats are shorter.
std::int32_t FaceHeight(LabelFormat format, int position);

// Writes labelLeft, labelTop, labelWidth and labelHeight of `label` for a face of the current
// format. zoomed is 1 for the zoomed view and for printing, 0 for the overview.
void PlaceFace(int zoomed, int position, int labelIndex, VAROINFO& label);

// The body (file-list) rectangle of the current format's face at `position`, face-relative.
RECT GetTextRect(int position);

// The on-screen outline of a face: full size when zoomed, the half-size outline (one unit
// narrower on the right) in the overview.
RECT GetOutlineRect(VAROINFO& label, int zoomed, int position, int labelIndex);

// Multiplies all four coordinates by factor, truncating toward zero.
void ScaleRect(RECT& rect, double factor);
// Grows outward by n in a y-up system: left -= n, right += n, top += n, bottom -= n.
void GrowRect(RECT& rect, int n);
// Moves the rectangle so that its left-top is (x, y), keeping its width and height.
void MoveRectTo(RECT& rect, int x, int y);

// 1 when px lies between x1 and x2 and py between y1 and y2. Each pair may come in either
// order; the bound that is smaller is inclusive, the larger one exclusive when the first is
// the smaller, and the other way round otherwise. Equal bounds never match.
int InRange2D(int x1, int y1, int x2, int y2, int px, int py);

// 1 when two y-up rectangles share some area.
int RectsOverlap(const RECT& a, const RECT& b);

// Both corners through LPtoDP.
RECT LogicalRectToDevice(const gdi::DeviceContext& dc, const RECT& rect);

// A mouse position packed as a message parameter (x in the low 16 bits, y in the high 16,
// both unsigned) in label units, through the label mapping of `dc`. The DC's mapping mode is
// restored afterwards.
POINT DevicePointToLogical(gdi::DeviceContext& dc, std::uint32_t packedPoint);

// The device rectangle to invalidate for a rectangle in `mode`'s logical units: the label
// mapping when mode is MM_LOENGLISH, otherwise that plain mapping mode. The DC's mapping mode
// is restored afterwards.
RECT InvalidateLogicalRect(gdi::DeviceContext& dc, int mode, const RECT& rect);

// The window's size before menu, toolbar and status bar are added, in label units: 416 wide,
// 480 high, 10 more below a scale of 0.9 and another 20 below 0.7.
SIZE WindowBaseSize(double windowScale);

// The same in device pixels at the current window scale, converted through the label mapping
// of `displayIC` (the height as a positive number).
SIZE WindowBaseSizePixels(gdi::DeviceContext& displayIC);

} // namespace pelmora
