#pragma once
// The text primitives every label text goes through: a font from a size in points, the
// extent of a string, a font's line height on a device, and aligned, possibly multi-line and
// rotated text inside a rectangle. They work in whatever mapping the DC is in (normally the
// label mapping) and restore every DC setting they touch.

#include "platform/core/wintypes.h"
#include "platform/gdi/gdi_types.h"

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// Format flags of MyDrawText. Along the text: left (0), centre or right; across it: top (0),
// vertical centre or bottom. The single-line and no-prefix bits are accepted and change
// nothing: lines break only at line feeds (a CR before one is dropped), '&' is never special.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOPREFIX = 0x800;

// Style bits of CreatePointFont.
constexpr int FONT_BOLD = 1;
constexpr int FONT_ITALIC = 2;
constexpr int FONT_UNDERLINE = 4;
constexpr int FONT_STRIKEOUT = 8;

// A font of `tenthsHeight` tenths of a point (and `tenthsWidth`, or 0 for the face's own
// proportions) for `dc`, sized in the DC's logical units at the current window scale. With
// `logicalResolution` the DC's LOGPIXELS are used, otherwise its physical pixel density.
// `escapement` is in tenths of a degree. The LOGFONTA that made the font goes to
// `logFontOut` when given.
gdi::HFONT CreatePointFont(gdi::DeviceContext& dc, const char* faceName, int tenthsHeight,
                           int tenthsWidth, int style, int logicalResolution, int escapement,
                           LOGFONTA* logFontOut = nullptr);

// The extent of `length` characters of `text` (-1: up to the NUL) in the selected font, as
// (advance along the text, line height) for every angle: at 90 and 270 degrees a driver that
// reports rotated extents is detected with a probe text and its answer turned back.
// Returns 1, or 0 after reporting the failure (then `size` is left alone).
int MeasureText(gdi::DeviceContext& dc, const char* text, int length, int angle, SIZE* size);

// tmHeight of `font` realised on `dc`.
int MeasureFontHeight(gdi::DeviceContext& dc, const LOGFONTA& font);

// Draws the CR LF separated lines of `text` (length -1: up to the NUL) with the selected font and
// text colour, transparently, aligned inside `rect` (y up: top > bottom) by `flags`, running
// at `angle` 0, 90 (down the page), 180 (upside down) or 270 (up the page); other angles are
// laid out as 0. Everything is clipped to `rect` grown by 2. The caller selects a font turned
// by the same angle (escapement = angle x 10).
void MyDrawText(gdi::DeviceContext& dc, const char* text, int length, const RECT& rect,
                unsigned flags, int angle);

} // namespace pelmora
