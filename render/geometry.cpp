#include "render/geometry.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "render/calibration.h"
#include "render/view_state.h"

#include <algorithm>
#include <cstdlib>

namespace pelmora {

using gdi::DeviceContext;

int SetLabelMapping(DeviceContext& dc) {
    int previous = dc.SetMapMode(gdi::MM_LOENGLISH);
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    SIZE extent;
    dc.GetViewportExtEx(&extent);
    double scale = theView.windowScale;
    // A calibrated print job stretches the sheet on top of the window scale.
    dc.SetViewportExtEx(static_cast<int>(extent.cx * scale * LabelMappingStretchX()),
                        static_cast<int>(extent.cy * scale * LabelMappingStretchY()));
    return previous;
}

std::int32_t FaceHeight(LabelFormat format, int position) {
    const bool continuation = position != 1 && (format == QUAD_LABEL || isTwoLabelFormat(format));
    return continuation ? kContinuationFaceHeight : kFrontFaceHeight;
}

void PlaceFace(int zoomed, int position, int labelIndex, VAROINFO& label) {
    LabelFormat format = theView.format;
    label.labelLeft = theView.viewOriginX;
    label.labelTop = theView.viewOriginY;
    label.labelWidth = kFaceWidth;
    label.labelHeight = FaceHeight(format, position);

    if (zoomed) {
        if ((isTwoLabelFormat(format) && position == 2) || (format == QUAD_LABEL && position > 1)) {
            label.labelTop -= kContinuationDrop;
        }
        return;
    }

    // The overview tiles half-size faces; the offsets are half a face, truncated.
    constexpr std::int32_t halfWidth = kFaceWidth / 2 - 1;                     // 177
    constexpr std::int32_t halfFront = kFrontFaceHeight / 2 + 1;               // -214
    constexpr std::int32_t halfContinuation = kContinuationFaceHeight / 2 + 1; // -174
    switch (format) {
    case QUAD_LABEL:
        // Pages 3 and 2 on top, 4 and 1 below, all on the continuation pitch.
        if (position == 1) {
            label.labelLeft += halfWidth;
            label.labelTop += halfContinuation;
        } else if (position == 2) {
            label.labelLeft += label.labelWidth / 2 - 1;
        } else if (position == 4) {
            label.labelTop += label.labelHeight / 2 + 1;
        }
        label.labelTop -= 30;
        break;
    case TWO_FOLD_AROUND:
        label.labelTop -= 18;
        if (labelIndex == 1) {
            label.labelLeft += label.labelWidth / 2 - 1;
        }
        if (position == 2) {
            label.labelTop += halfFront;
        }
        break;
    case TWO_FOLD_OUT:
        label.labelTop -= 18;
        if (labelIndex == 1) {
            label.labelLeft += label.labelWidth / 2 - 1;
        }
        if (position == 1) {
            label.labelTop += halfContinuation;
        }
        break;
    case FOUR_LABELS:
        if (labelIndex & 1) {
            label.labelLeft += label.labelWidth / 2 - 1;
        }
        if (labelIndex & 2) {
            label.labelTop += label.labelHeight / 2 + 1;
        }
        break;
    case ONE_LABEL:
        break;
    }
}

RECT GetTextRect(int position) {
    switch (theView.format) {
    case QUAD_LABEL:
        if (position < 1 || position > 4) {
            reportBadStuff("GetTextRect - !(1<=Position<=4)");
        }
        return position == 1 ? kFrontBodyRect : kContinuationBodyRect;
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        // Only 1 and 2 are meaningful; anything else gets the continuation body.
        if (position < 1 || position > 2) {
            reportBadStuff("GetTextRect - !(1<=Position<=2)");
        }
        return position == 1 ? kFrontBodyRect : kContinuationBodyRect;
    case ONE_LABEL:
    case FOUR_LABELS:
        break;
    }
    if (position != 1) {
        reportBadStuff("GetTextRect - Position!=1");
    }
    return kFrontBodyRect;
}

RECT GetOutlineRect(VAROINFO& label, int zoomed, int position, int labelIndex) {
    bool halfSize = !zoomed && theView.format != ONE_LABEL;
    if (!zoomed && theView.format == ONE_LABEL) {
        reportBadStuff("GetOutlineRect - ONE_LABEL!");
    }
    PlaceFace(zoomed ? 1 : 0, position, labelIndex, label);
    if (halfSize) {
        return RECT{label.labelLeft, label.labelTop, label.labelLeft + label.labelWidth / 2 - 1,
                    label.labelTop + label.labelHeight / 2};
    }
    return RECT{label.labelLeft, label.labelTop, label.labelLeft + label.labelWidth,
                label.labelTop + label.labelHeight};
}

void ScaleRect(RECT& rect, double factor) {
    rect.left = static_cast<std::int32_t>(rect.left * factor);
    rect.top = static_cast<std::int32_t>(rect.top * factor);
    rect.right = static_cast<std::int32_t>(rect.right * factor);
    rect.bottom = static_cast<std::int32_t>(rect.bottom * factor);
}

void GrowRect(RECT& rect, int n) {
    rect.left -= n;
    rect.right += n;
    rect.top += n;
    rect.bottom -= n;
}

void MoveRectTo(RECT& rect, int x, int y) {
    rect.right = x + (rect.right - rect.left);
    rect.bottom = y + (rect.bottom - rect.top);
    rect.left = x;
    rect.top = y;
}

namespace {

// a <= p < b when a < b, b < p <= a when b < a, never when they are equal.
bool inRange1D(int a, int b, int p) {
    if (a < b) {
        return a <= p && p < b;
    }
    if (b < a) {
        return b < p && p <= a;
    }
    return false;
}

} // namespace

int InRange2D(int x1, int y1, int x2, int y2, int px, int py) {
    return inRange1D(x1, x2, px) && inRange1D(y1, y2, py) ? 1 : 0;
}

int RectsOverlap(const RECT& a, const RECT& b) {
    // As y-down rectangles; an empty one (after the flip) overlaps nothing.
    std::int32_t left = std::max(a.left, b.left);
    std::int32_t right = std::min(a.right, b.right);
    std::int32_t top = std::max(-a.top, -b.top);
    std::int32_t bottom = std::min(-a.bottom, -b.bottom);
    return left < right && top < bottom ? 1 : 0;
}

RECT LogicalRectToDevice(const DeviceContext& dc, const RECT& rect) {
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    dc.LPtoDP(corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

POINT DevicePointToLogical(DeviceContext& dc, std::uint32_t packedPoint) {
    POINT point{static_cast<std::int32_t>(packedPoint & 0xFFFFu),
                static_cast<std::int32_t>(packedPoint >> 16)};
    int previous = SetLabelMapping(dc);
    dc.DPtoLP(&point, 1);
    dc.SetMapMode(previous);
    return point;
}

RECT InvalidateLogicalRect(DeviceContext& dc, int mode, const RECT& rect) {
    int previous = mode == gdi::MM_LOENGLISH ? SetLabelMapping(dc) : dc.SetMapMode(mode);
    RECT device = LogicalRectToDevice(dc, rect);
    dc.SetMapMode(previous);
    return device;
}

SIZE WindowBaseSize(double windowScale) {
    std::int32_t height = 480;
    if (windowScale < 0.9) {
        height += 10;
    }
    if (windowScale < 0.7) {
        height += 20;
    }
    return SIZE{416, height};
}

SIZE WindowBaseSizePixels(DeviceContext& displayIC) {
    SIZE units = WindowBaseSize(theView.windowScale);
    POINT corner{units.cx, units.cy};
    int previous = SetLabelMapping(displayIC);
    displayIC.LPtoDP(&corner, 1);
    displayIC.SetMapMode(previous);
    return SIZE{corner.x, std::abs(corner.y)};
}

} // namespace pelmora
