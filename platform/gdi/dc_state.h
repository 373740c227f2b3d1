#pragma once
// The state a device context keeps (what SaveDC saves) and the small conversions between its
// logical units and the device's pixels that the drawing, text and image calls share. Only the
// device-context sources include this.

#include "platform/gdi/device_context.h"
#include "platform/gdi/realised_font.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>

namespace pelmora::gdi {

namespace dc_detail {

// Everything SaveDC keeps. Helpers below work on it; DeviceContext::State is this record.
struct GdiState {
    int mapMode = MM_TEXT;
    SIZE windowExt{1, 1};
    SIZE viewportExt{1, 1};
    POINT windowOrg;
    POINT viewportOrg;
    int graphicsMode = GM_COMPATIBLE;

    HFONT font;
    HPEN pen;
    HBRUSH brush;

    unsigned textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int characterExtra = 0;

    int rop2 = R2_COPYPEN;
    std::optional<RECT> clip; // device coordinates, normalised
    int stretchMode = BLACKONWHITE;
    POINT currentPosition;
};

// Pens come from label files: widths beyond these are cut back, not realised.
constexpr int kMaxPenPixels = 16384;
constexpr int kMaxExtraPixels = 4096;
// Device coordinates handed to Qt stay within this, so that a rectangle's width and height
// (right - left, as an int) cannot overflow; no device comes near it.
constexpr int kMaxDeviceCoordinate = (1 << 30) - 1;

// Rounds to the nearest integer within [low, high]; also safe for huge values and NaN.
inline int roundClamped(double value, int low, int high) {
    if (!(value > low)) {
        return low;
    }
    if (value >= high) {
        return high;
    }
    return static_cast<int>(std::lround(value));
}

inline std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Scale factors of the mapping: device pixels per logical unit along each axis.
inline double xScale(const GdiState& s) {
    return std::abs(static_cast<double>(s.viewportExt.cx) / s.windowExt.cx);
}
inline double yScale(const GdiState& s) {
    return std::abs(static_cast<double>(s.viewportExt.cy) / s.windowExt.cy);
}

// +1 when the mapping keeps the device's handedness, -1 when it flips one axis (the y-up
// label mapping). Escapements turn the other way round in a flipped mapping: with y up, a
// font at 900 runs down the page and one at 2700 reads upward.
inline int handedness(const GdiState& s) {
    const bool xKeeps = (s.viewportExt.cx > 0) == (s.windowExt.cx > 0);
    const bool yKeeps = (s.viewportExt.cy > 0) == (s.windowExt.cy > 0);
    return xKeeps == yKeeps ? 1 : -1;
}

inline std::int32_t toLogical(double devicePixels, double scale) {
    return roundClamped(devicePixels / scale, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
}

inline QColor toQColor(COLORREF color) {
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
}

inline int onDevice(std::int32_t coordinate) {
    return std::clamp(coordinate, -kMaxDeviceCoordinate, kMaxDeviceCoordinate);
}

inline QPoint toQPoint(const POINT& p) {
    return QPoint(onDevice(p.x), onDevice(p.y));
}

inline QRect toQRect(const RECT& r) {
    const int left = onDevice(r.left);
    const int top = onDevice(r.top);
    return QRect(QPoint(left, top), QSize(onDevice(r.right) - left, onDevice(r.bottom) - top));
}

inline RECT normalised(const POINT& a, const POINT& b) {
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

inline std::optional<RECT> intersect(const std::optional<RECT>& a, const RECT& b) {
    if (!a) {
        return b;
    }
    RECT r{std::max(a->left, b.left), std::max(a->top, b.top), std::min(a->right, b.right),
           std::min(a->bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

inline std::optional<QRect> toQClip(const std::optional<RECT>& clip) {
    if (!clip) {
        return std::nullopt;
    }
    return toQRect(*clip);
}

} // namespace dc_detail

struct DeviceContext::State : dc_detail::GdiState {};

struct DeviceContext::FontCache {
    // Shared with every DC that realised the same font at the same scale (see realisedFor).
    std::map<std::string, std::shared_ptr<const RealisedFont>> fonts;
    // The last font looked up: painters draw many strings in one font, and this spares them
    // building the key every time. The handle is held so its address cannot be reused.
    HFONT lastFont;
    double lastXs = 0;
    double lastYs = 0;
    int lastDefaultEm = 0;
    const RealisedFont* last = nullptr;
};

} // namespace pelmora::gdi
