#pragma once
// Constants and small records of the device-context model the painters are written against.
// No Qt here: render/ code includes this and device_context.h only.

#include "platform/core/wintypes.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace pelmora::gdi {

// Mapping modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_ANISOTROPIC = 8;

// GetDeviceCaps indexes.
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4; // millimetres
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8; // device pixels
constexpr int VERTRES = 10;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;

constexpr int RC_BITBLT = 0x0001;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHDIB = 0x2000;

// Text alignment (SetTextAlign).
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 0x0002;
constexpr unsigned ETO_CLIPPED = 0x0004;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;

// Raster operations for lines and fills.
constexpr int R2_NOT = 6;
constexpr int R2_COPYPEN = 13;

// Region combination.
constexpr int RGN_AND = 1;
constexpr int RGN_COPY = 5;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int RGN_ERROR = 0;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr int MWT_IDENTITY = 1;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// DIB constants.
constexpr std::uint32_t BI_RGB = 0;
constexpr unsigned DIB_RGB_COLORS = 0;
constexpr std::uint32_t SRCCOPY = 0x00CC0020;

struct TEXTMETRIC {
    std::int32_t tmHeight = 0; // ascent + descent (cell height)
    std::int32_t tmAscent = 0;
    std::int32_t tmDescent = 0;
    std::int32_t tmInternalLeading = 0; // cell height minus character height
    std::int32_t tmExternalLeading = 0;
    std::int32_t tmAveCharWidth = 0;
    std::int32_t tmMaxCharWidth = 0;
    std::int32_t tmWeight = 0;
};

// Drawing objects are immutable values shared by handle; a handle that goes out of scope
// is the DeleteObject. A DC keeps what is selected into it alive.
struct Font {
    LOGFONTA logFont;
};
struct Pen {
    int style = PS_SOLID;
    int width = 0; // logical units; 0 = one device pixel
    COLORREF color = 0;
};
struct Brush {
    bool null = false;
    COLORREF color = 0;
};

using HFONT = std::shared_ptr<const Font>;
using HPEN = std::shared_ptr<const Pen>;
using HBRUSH = std::shared_ptr<const Brush>;

HFONT CreateFontIndirect(const LOGFONTA& logFont);
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH GetStockBrush(int stockObject); // WHITE_BRUSH .. NULL_BRUSH
HPEN GetStockPen(int stockObject);     // WHITE_PEN .. NULL_PEN

// A rectangular region in device coordinates (every region the painters make is one).
struct Region {
    RECT deviceRect;
};
using HRGN = std::shared_ptr<const Region>;
HRGN CreateRectRgn(int left, int top, int right, int bottom);

// A device-independent bitmap as handed to StretchDIBits: the info block (40-byte
// BITMAPINFOHEADER and colour table) and the pixel rows, each with its length so that the
// painter can refuse a block shorter than its header claims.
struct DibRef {
    const std::uint8_t* info = nullptr;
    std::size_t infoSize = 0;
    const std::uint8_t* bits = nullptr;
    std::size_t bitsSize = 0;
};

} // namespace pelmora::gdi
