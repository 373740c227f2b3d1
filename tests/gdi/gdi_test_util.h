#pragma once
// Helpers of the device-context suites: white images at a chosen resolution, ink measurements
// and hand-built DIBs.

#include "platform/gdi/device_context.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <functional>
#include <vector>

namespace pelmora::gdi::test {

constexpr QRgb kWhite = 0xFFFFFFFFu;

// An RGB32 image filled with white, `dpi` dots per inch.
QImage whiteImage(int width, int height, int dpi = 96);

// Bounding box of the pixels that differ from `background`; empty when there are none.
QRect inkBounds(const QImage& image, QRgb background = kWhite);
// Centre of mass of those pixels (each counts by how far it is from the background).
QPointF inkCentroid(const QImage& image, QRgb background = kWhite);
// Pixels inside `area` equal to `color`.
int countPixels(const QImage& image, QRgb color, const QRect& area);
int countPixels(const QImage& image, QRgb color);

LOGFONTA makeFont(const char* face, int height, int weight = 0, int escapement = 0);

// A packed DIB: info block (BITMAPINFOHEADER and colour table) and pixel rows.
struct DibBytes {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
    DibRef ref() const { return DibRef{info.data(), info.size(), bits.data(), bits.size()}; }
};

// Builds a DIB whose upright pixel (x, y), y = 0 at the top, is `pixel(x, y)`: a palette index
// for 1, 4 and 8 bits, an RGB value otherwise. Rows are stored bottom-up unless `topDown`.
DibBytes makeDib(int width, int height, int bitCount, const std::vector<QRgb>& palette,
                 const std::function<std::uint32_t(int, int)>& pixel, bool topDown = false);

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);

} // namespace pelmora::gdi::test
