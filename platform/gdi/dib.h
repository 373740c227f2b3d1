#pragma once
// Reading a device-independent bitmap (BITMAPINFOHEADER, colour table, pixel rows) as handed
// to StretchDIBits. The bytes come from label files and image files, so nothing in them is
// trusted: every field is read byte by byte (little-endian), every count is capped and every
// row must lie inside the block the caller says it has.

#include "platform/gdi/gdi_types.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::gdi {

// Limits on what a DIB may claim, so that no allocation follows an absurd header.
constexpr int kDibMaxSide = 30000;
constexpr long long kDibMaxPixels = 1LL << 28;

struct DibLayout {
    int width = 0;
    int height = 0; // |biHeight|
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;    // bytes per row, padded to 4
    std::vector<QRgb> palette; // 1, 4 and 8 bits per pixel
};

// Checks the header and the sizes. On refusal returns nullopt and, when `reason` is given,
// says what was wrong.
std::optional<DibLayout> readDibLayout(const DibRef& dib, std::string* reason = nullptr);

// Decodes the part `area` of the picture (upright coordinates: row 0 is the top row as seen)
// into an RGB32 image. `area` must lie inside the picture; pixel indexes beyond the colour
// table come out black. Returns a null image when memory runs out.
QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area);

// The whole picture, upright; a null image when the DIB is refused.
QImage dibToImage(const DibRef& dib, std::string* reason = nullptr);

} // namespace pelmora::gdi
