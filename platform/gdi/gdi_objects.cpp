// Creating drawing objects. Handles are shared, immutable values; stock objects are created once
// and shared by every DC.

#include "platform/gdi/gdi_types.h"

#include <algorithm>

namespace pelmora::gdi {

HFONT CreateFontIndirect(const LOGFONTA& logFont) {
    auto font = std::make_shared<Font>();
    font->logFont = logFont;
    // Always terminated, whatever the caller's record held.
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_NULL) {
        return nullptr;
    }
    auto pen = std::make_shared<Pen>();
    pen->style = style;
    pen->width = std::max(width, 0);
    pen->color = color & 0x00FFFFFFu;
    return pen;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_shared<Brush>();
    brush->color = color & 0x00FFFFFFu;
    return brush;
}

HBRUSH GetStockBrush(int stockObject) {
    static const HBRUSH brushes[] = {
        CreateSolidBrush(RGB(255, 255, 255)), CreateSolidBrush(RGB(192, 192, 192)),
        CreateSolidBrush(RGB(128, 128, 128)), CreateSolidBrush(RGB(64, 64, 64)),
        CreateSolidBrush(RGB(0, 0, 0)),       std::make_shared<const Brush>(Brush{true, 0}),
    };
    if (stockObject < WHITE_BRUSH || stockObject > NULL_BRUSH) {
        return nullptr;
    }
    return brushes[stockObject - WHITE_BRUSH];
}

HPEN GetStockPen(int stockObject) {
    static const HPEN pens[] = {
        CreatePen(PS_SOLID, 0, RGB(255, 255, 255)),
        CreatePen(PS_SOLID, 0, RGB(0, 0, 0)),
        CreatePen(PS_NULL, 0, 0),
    };
    if (stockObject < WHITE_PEN || stockObject > NULL_PEN) {
        return nullptr;
    }
    return pens[stockObject - WHITE_PEN];
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto region = std::make_shared<Region>();
    region->deviceRect = RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                              std::max(top, bottom)};
    return region;
}

} // namespace pelmora::gdi
