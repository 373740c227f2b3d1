#pragma once
// Turning an image file into the DIB held by an image object: Windows bitmaps are taken over
// as they are, JPEG files are decoded into a 24-bit bottom-up DIB. Also the fixed 256-colour
// palette realised on palette-based displays.
//
// Every size a file states is checked against the bytes it really holds before anything is
// allocated from it, so a damaged or hostile file is refused instead of being painted from
// memory nobody wrote.

#include "catalog/placed_object.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

// What a DIB may claim. The same limits hold for images read from label files.
constexpr std::int32_t kMaxDibSide = 30000;
constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 28;
// The largest pixel block at most kMaxDibPixels pixels of 32 bits fill, plus room for a
// header, a colour table and the bytes some writers leave after the pixels.
constexpr std::uint64_t kMaxDibBlockBytes = (kMaxDibPixels * 4) + (std::uint64_t{1} << 20);
// The largest DIB a JPEG is decoded into.
constexpr std::uint64_t kMaxJpegDibBytes = std::uint64_t{1} << 28;

// Pixels per metre that lay an image out at one pixel per 0.01 inch.
constexpr std::int32_t kDefaultPelsPerMeter = 2835;

// Where a freshly loaded image sits on its face (0.01 inch, y up).
constexpr std::int32_t kLoadedImageLeft = 100;
constexpr std::int32_t kLoadedImageTop = -100;

// Loads the image at `path` into `object`: kind, imagePath, fileHeader, dib, outline and
// natural outline. page and layer are left to the caller. A path whose upper-case form
// contains ".JPG" is decoded as JPEG (refused when the picture would be larger than a DIB
// may be, kMaxDibSide and kMaxJpegDibBytes), every other path is read as a BMP. Returns 1 on
// success, 0 on failure (the library's message for a broken JPEG goes to standard error);
// after a failure the object holds no DIB and the caller discards it.
int LoadImage(const std::string& path, PlacedObject& object);

// Checks a DIB block against its file header: a BITMAPINFOHEADER of at least 40 bytes, a
// sane width, height and bit depth, the colour table inside the block, pixels that start
// inside the block and, for uncompressed bitmaps, every row inside it. Returns an empty
// string when the block may be painted, else why not.
std::string checkDib(const BitmapFileHeader& header, const std::vector<std::uint8_t>& dib);

struct LabelPaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    friend bool operator==(const LabelPaletteEntry&, const LabelPaletteEntry&) = default;
};

using LabelPalette = std::array<LabelPaletteEntry, 256>;

// Entry k is (32 * (k mod 8), 32 * (k div 8 mod 8), 64 * (k div 64)); entry 1 is white.
LabelPalette BuildLabelPalette();

} // namespace pelmora
