#pragma once
// Where StretchDIBits puts the pixels of a DIB on the device, in both directions: the device
// rectangle a part of the source covers, and the source pixels behind a part of the device.
// The second lets a large picture shown small, or shown in part, be decoded only where and
// as finely as the device shows it.

#include "platform/core/wintypes.h"

#include <QRect>
#include <QRectF>
#include <cstdint>

namespace pelmora::gdi {

// Pictures up to this many pixels are decoded whole, however little of them shows.
constexpr std::int64_t kDecodeWholePixels = std::int64_t{1} << 22;

struct SourcePlacement {
    // The source rectangle in upright picture coordinates (row 0 at the top as seen); it may
    // reach outside the picture.
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0; // > 0
    std::int64_t height = 0;
    bool mirrorX = false; // the device extent was negative along that axis
    bool mirrorY = false;
    RECT device{}; // normalised, not empty

    // The device rectangle the source pixels `part` cover.
    QRectF targetOf(const QRect& part) const;

    // The source pixels of `within` that land on `shown` (device), with a pixel to spare on
    // every side; an empty rectangle when `shown` is empty.
    QRect sourceBehind(const QRectF& shown, const QRect& within) const;
};

} // namespace pelmora::gdi
