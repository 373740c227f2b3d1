#pragma once
// One primitive as a recording device context keeps it: what was asked for in logical
// coordinates and where it landed in device coordinates.

#include "platform/core/wintypes.h"

#include <string>

namespace pelmora::gdi {

struct DrawRecord {
    enum class Kind { Text, FillRect, Rectangle, Line, StretchDib };
    Kind kind = Kind::Text;

    POINT logicalPoint; // Text: reference point; Line: start
    POINT devicePoint;
    POINT logicalPoint2; // Line: end
    POINT devicePoint2;
    RECT logicalRect; // FillRect / Rectangle / StretchDib destination; Text: clip rectangle
    RECT deviceRect;
    bool clipped = false; // Text: ETO_CLIPPED
    unsigned options = 0; // Text: the ExtTextOut options
    RECT sourceRect;      // StretchDib: source rectangle as passed (x, y, x + width, y + height)

    std::string text;
    LOGFONTA font;      // Text: the selected font
    COLORREF color = 0; // Text: text colour; FillRect: brush; Rectangle/Line: pen
    COLORREF fill = 0;  // Rectangle: brush colour
    bool nullFill = false;
    int penStyle = 0;
    int penWidth = 0;
    int rop2 = 13;
    int bkMode = 2;
    COLORREF bkColor = 0xFFFFFF;
    unsigned textAlign = 0;
    int characterExtra = 0;
    bool hasClip = false; // a clip region was in force
    RECT deviceClip;      // ... and this was it
};

} // namespace pelmora::gdi
