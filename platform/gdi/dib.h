#pragma once
// Reading a device-independent bitmap (BITMAPINFOHEADER or a later header, colour table or
// bit-field masks, pixel rows) as handed to StretchDIBits: 1, 4, 8, 16, 24 and 32 bits per
// pixel, uncompressed, run-length encoded (8 and 4 bits) or with bit-field masks (16 and 32
// bits). The bytes come from label files and image files, so nothing in them is trusted:
// every field is read byte by byte (little-endian), every count is capped, every uncompressed
// row must lie inside the block the caller says it has, and every run-length code is checked
// against both the data and the picture.

#include "platform/gdi/gdi_types.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::gdi {

// Limits on what a DIB may claim, so that no allocation follows an absurd header.
constexpr int kDibMaxSide = 30000;
constexpr long long kDibMaxPixels = 1LL << 28;

// biCompression values besides BI_RGB.
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

struct DibLayout {
    int width = 0;
    int height = 0; // |biHeight|
    bool bottomUp = true;
    int bitCount = 0;
    std::uint32_t compression = BI_RGB; // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
    std::size_t stride = 0;             // bytes per row, padded to 4 (uncompressed pixels)
    std::vector<QRgb> palette;          // 1, 4 and 8 bits per pixel
    // Red, green and blue masks of 16- and 32-bit pixels: the header's bit fields, else the
    // uncompressed defaults (5-5-5 and 8-8-8).
    std::array<std::uint32_t, 3> masks{};
};

// Checks the header and the sizes. On refusal returns nullopt and, when `reason` is given,
// says what was wrong.
std::optional<DibLayout> readDibLayout(const DibRef& dib, std::string* reason = nullptr);

// Decodes the part `area` of the picture (upright coordinates: row 0 is the top row as seen)
// into an RGB32 image. `area` must lie inside the picture; pixel indexes beyond the colour
// table come out black. Run-length data that skips pixels (a delta, an early end of line or
// of the picture) or breaks off leaves those pixels transparent in an ARGB32 image, so that
// painting keeps what lies below them; codes that run past the picture's edge are dropped.
// Returns a null image when memory runs out.
QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area);

// The same, brought down to `size` (at most the area's size; the area's size when larger):
// each pixel of the result is the source pixel under its centre. A painter that shows a
// large picture small decodes only the pixels the device can show.
QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area, QSize size);

// The whole picture, upright; a null image when the DIB is refused.
QImage dibToImage(const DibRef& dib, std::string* reason = nullptr);

} // namespace pelmora::gdi
