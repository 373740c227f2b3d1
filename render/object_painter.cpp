#include "render/object_painter.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/text.h"
#include "render/view_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace pelmora {
namespace {

using gdi::DeviceContext;

constexpr unsigned kHAlignFlags[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
constexpr unsigned kVAlignFlags[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};

// Object outlines can reach the ends of the int range (an auto-sized string in a huge font
// saturates there), so distances between them are taken in 64 bits and held in range.
int clampedInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

std::int32_t readInt32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[at]) |
                                     (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
                                     (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
                                     (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
}

gdi::HPEN selectionPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 2, RGB(0, 255, 0));
    return pen;
}

// The face rectangle (full or half size) in device units, normalised.
gdi::HRGN faceClip(const DeviceContext& dc, const VAROINFO& label, double s) {
    const RECT face{label.labelLeft, label.labelTop,
                    label.labelLeft + static_cast<int>(label.labelWidth * s),
                    label.labelTop + static_cast<int>(label.labelHeight * s)};
    const RECT device = LogicalRectToDevice(dc, face);
    return gdi::CreateRectRgn(
        std::min(device.left, device.right), std::min(device.top, device.bottom),
        std::max(device.left, device.right), std::max(device.top, device.bottom));
}

void drawImage(DeviceContext& dc, const PlacedObject& object, int x, int y, int w, int h) {
    constexpr std::size_t kInfoHeaderSize = 40;
    const std::size_t bitsAt = object.bitsOffset();
    if (object.dib.size() < kInfoHeaderSize || bitsAt < kInfoHeaderSize ||
        bitsAt > object.dib.size()) {
        return; // no usable picture
    }
    gdi::DibRef dib{object.dib.data(), bitsAt, object.dib.data() + bitsAt,
                    object.dib.size() - bitsAt};
    dc.StretchDIBits(x, y, w, h, 0, 0, readInt32(object.dib, 4), readInt32(object.dib, 8), dib,
                     gdi::DIB_RGB_COLORS, gdi::SRCCOPY);
}

void drawString(DeviceContext& dc, const PlacedObject& object, int x, int y, int w, int h,
                int zoomed) {
    const int previousBk = dc.SetBkMode(object.opaque ? gdi::OPAQUE : gdi::TRANSPARENT);
    const COLORREF previousText = dc.SetTextColor(object.textColor);
    const COLORREF previousBkColor = dc.SetBkColor(object.backColor);
    gdi::HBRUSH previousBrush = dc.SelectObject(gdi::CreateSolidBrush(object.backColor));
    gdi::HPEN previousPen = dc.SelectObject(gdi::CreatePen(gdi::PS_SOLID, 0, object.backColor));

    LOGFONTA font = object.font;
    if (!zoomed) {
        font.lfHeight /= 2;
        font.lfWidth /= 2;
    }
    font.lfEscapement = object.orientation * 10;
    font.lfOrientation = object.orientation * 10;
    font.lfClipPrecision = CLIP_LH_ANGLES;
    gdi::HFONT created = gdi::CreateFontIndirect(font);
    gdi::HFONT previousFont = created ? dc.SelectObject(created) : dc.currentFont();
    if (!created) {
        reportBadStuff("DrawVaroImages - CreateFontIndirect Failure!");
    }

    const RECT box{x, y, clampedInt(std::int64_t{x} + w), clampedInt(std::int64_t{y} + h)};
    if (object.opaque) {
        dc.Rectangle(box.left, box.top, box.right, box.bottom);
    }
    const unsigned flags = kVAlignFlags[std::clamp(object.vAlign, 0, 2)] |
                           kHAlignFlags[std::clamp(object.hAlign, 0, 2)];
    MyDrawText(dc, object.text, -1, box, flags, object.orientation);

    dc.SelectObject(previousFont);
    dc.SelectObject(previousPen);
    dc.SelectObject(previousBrush);
    dc.SetBkColor(previousBkColor);
    dc.SetTextColor(previousText);
    dc.SetBkMode(previousBk);
}

} // namespace

void DrawVaroImages(DeviceContext& dc, VAROINFO& label, int layer, int position, int zoomed) {
    dc.SetStretchBltMode(gdi::COLORONCOLOR);
    const int previousMode = SetLabelMapping(dc);
    gdi::HRGN previousClip;
    const bool hadClip = dc.GetClipRgn(&previousClip) == 1;
    dc.ExtSelectClipRgn(faceClip(dc, label, zoomed ? 1.0 : 0.5), gdi::RGN_AND);

    for (std::size_t i = label.objects.size(); i-- > 0;) {
        const PlacedObject& object = label.objects[i];
        if (object.layer != layer || object.page != position) {
            continue;
        }
        std::int64_t x = object.left;
        std::int64_t y = object.top;
        std::int64_t w = std::abs(std::int64_t{object.right} - object.left);
        std::int64_t h = -std::abs(std::int64_t{object.bottom} - object.top);
        if (!zoomed) {
            x /= 2;
            y /= 2;
            w /= 2;
            h /= 2;
        }
        x += label.labelLeft;
        y += label.labelTop;
        if (object.kind == OBJECT_IMAGE) {
            drawImage(dc, object, clampedInt(x), clampedInt(y), clampedInt(w), clampedInt(h));
        } else if (object.kind == OBJECT_STRING) {
            drawString(dc, object, clampedInt(x), clampedInt(y), clampedInt(w), clampedInt(h),
                       zoomed);
        }
    }

    dc.SelectClipRgn(hadClip ? previousClip : nullptr);
    dc.SetMapMode(previousMode);
    dc.SetStretchBltMode(gdi::COLORONCOLOR);
}

std::array<RECT, 8> HandleRects(const RECT& outline) {
    // Eight units of room at the ends of the range for the handles themselves.
    const auto inRoom = [](int v) {
        return std::clamp(v, std::numeric_limits<int>::min() + 8,
                          std::numeric_limits<int>::max() - 8);
    };
    const RECT o{inRoom(outline.left), inRoom(outline.top), inRoom(outline.right),
                 inRoom(outline.bottom)};
    const int mx = clampedInt((std::int64_t{o.right} + o.left - 8) / 2);
    const int my = clampedInt((std::int64_t{o.top} + o.bottom + 8) / 2);
    return {RECT{o.left, o.top, o.left + 8, o.top - 8},
            RECT{o.right - 8, o.top, o.right, o.top - 8},
            RECT{o.left, o.bottom + 8, o.left + 8, o.bottom},
            RECT{o.right - 8, o.bottom + 8, o.right, o.bottom},
            RECT{mx, o.top, mx + 8, o.top - 8},
            RECT{mx, o.bottom, mx + 8, o.bottom + 8},
            RECT{o.left, my, o.left + 8, my - 8},
            RECT{o.right, my, o.right - 8, my - 8}};
}

void DrawSelectionOutline(DeviceContext& dc, VAROINFO& label, int zoomed) {
    if (label.objects.empty()) {
        return;
    }
    const PlacedObject& object = label.objects.front();
    RECT outline{object.left, object.top, object.right, object.bottom};
    PlaceFace(zoomed, object.page, label.labelNumber - 1, label);
    const double s = zoomed ? 1.0 : 0.5;
    if (!zoomed) {
        ScaleRect(outline, 0.5);
    }
    outline = RECT{clampedInt(std::int64_t{outline.left} + label.labelLeft),
                   clampedInt(std::int64_t{outline.top} + label.labelTop),
                   clampedInt(std::int64_t{outline.right} + label.labelLeft),
                   clampedInt(std::int64_t{outline.bottom} + label.labelTop)};

    gdi::HPEN previousPen = dc.SelectObject(selectionPen());
    const int previousMode = SetLabelMapping(dc);
    gdi::HBRUSH previousBrush = dc.SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));
    gdi::HRGN previousClip;
    const bool hadClip = dc.GetClipRgn(&previousClip) == 1;
    dc.ExtSelectClipRgn(faceClip(dc, label, s), hadClip ? gdi::RGN_AND : gdi::RGN_COPY);

    dc.Rectangle(outline.left, outline.top, outline.right, outline.bottom);
    const bool handles = object.kind == OBJECT_IMAGE || !object.autoSize;
    if (handles) {
        dc.SelectObject(gdi::GetStockBrush(gdi::BLACK_BRUSH));
        dc.SelectObject(gdi::GetStockPen(gdi::BLACK_PEN));
        const int previousRop = dc.SetROP2(gdi::R2_NOT);
        for (const RECT& handle : HandleRects(outline)) {
            dc.Rectangle(handle.left, handle.top, handle.right, handle.bottom);
        }
        dc.SetROP2(previousRop);
    }

    dc.SelectClipRgn(hadClip ? previousClip : nullptr);
    dc.SetMapMode(previousMode);
    dc.SelectObject(previousBrush);
    dc.SelectObject(previousPen);
}

void DrawPageHint(DeviceContext& dc, const char* text, int where) {
    SetLabelMapping(dc);
    static gdi::HFONT hintFont;
    if (!hintFont) {
        hintFont = CreatePointFont(dc, "Arial", 110, 110, 0, 1, 0);
    }
    const int top = where == 1 ? theView.viewOriginY : theView.viewOriginY - 431 + 38;
    const RECT rect{theView.viewOriginX, top, theView.viewOriginX + kFaceWidth, top - 30};
    gdi::HFONT previousFont = dc.SelectObject(hintFont);
    dc.SetTextColor(RGB(0, 0, 0));
    const int previousBk = dc.SetBkMode(gdi::TRANSPARENT);
    MyDrawText(dc, text, -1, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0);
    dc.SetBkMode(previousBk);
    dc.SelectObject(previousFont);
}

namespace {

void paint(DeviceContext& dc, LabelSet& labels, int index, int position, int zoomed) {
    VAROINFO& label = labels.labels[static_cast<std::size_t>(index)];
    PlaceFace(zoomed, position, index, label);
    PaintFace(dc, zoomed, position, label);
}

void hint(DeviceContext& dc, const char* format, int page, int where) {
    char text[64];
    std::snprintf(text, sizeof text, format, page);
    DrawPageHint(dc, text, where);
}

} // namespace

void PaintWindowFaces(DeviceContext& dc, LabelSet& labels, int k, int zoomed, bool objectSelected) {
    const int position = theView.position;
    for (int i = 0; i < 4; ++i) {
        PlaceFace(zoomed, position, i, labels.labels[static_cast<std::size_t>(i)]);
    }
    switch (theView.format) {
    case ONE_LABEL:
        paint(dc, labels, k, 1, 1);
        zoomed = 1;
        break;
    case QUAD_LABEL:
        if (zoomed) {
            paint(dc, labels, k, position, 1);
            if (position == 1) {
                hint(dc, "( Up To Page %d )", 2, -1);
            } else {
                hint(dc, "( Down To Page %d )", position - 1, -1);
                if (position < 4) {
                    hint(dc, "( Up To Page %d )", position + 1, 1);
                }
            }
        } else {
            for (int p : {3, 4, 2, 1}) {
                paint(dc, labels, k, p, 0);
            }
        }
        break;
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        if (zoomed) {
            paint(dc, labels, k, position, 1);
            hint(dc, position == 1 ? "( Up To Page %d )" : "( Down To Page %d )",
                 position == 1 ? 2 : 1, -1);
        } else {
            paint(dc, labels, 0, 2, 0);
            paint(dc, labels, 0, 1, 0);
            paint(dc, labels, 1, 2, 0);
            paint(dc, labels, 1, 1, 0);
        }
        break;
    case FOUR_LABELS:
        if (zoomed) {
            paint(dc, labels, k, 1, 1);
        } else {
            for (int i = 0; i < 4; ++i) {
                paint(dc, labels, i, 1, 0);
            }
        }
        break;
    }
    if (objectSelected) {
        DrawSelectionOutline(dc, labels.labels[static_cast<std::size_t>(k)], zoomed);
    }
}

} // namespace pelmora
