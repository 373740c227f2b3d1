#pragma once
// A string or image placed on a label. The in-memory record keeps the fields of the stored
// 8308-byte record; pointers are replaced by an owned DIB block and the offset of its pixels.

#include "platform/core/wintypes.h"

#include <cstdint>
#include <vector>

namespace pelmora {

constexpr std::int32_t OBJECT_IMAGE = 1;
constexpr std::int32_t OBJECT_STRING = 2;

constexpr std::int32_t LAYER_BELOW = -1; // painted before the file list
constexpr std::int32_t LAYER_ON = 0;
constexpr std::int32_t LAYER_ABOVE = 1; // the file list flows around it; new objects go here

constexpr std::size_t kObjectTextCapacity = 8192;
constexpr std::size_t kImagePathCapacity = 128;

constexpr std::uint16_t kBitmapFileType = 0x4D42; // "BM"
constexpr std::uint32_t kBitmapFileHeaderBytes = 14;

struct BitmapFileHeader {
    std::uint16_t bfType = 0; // "BM"
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

struct PlacedObject {
    std::int32_t kind = 0;  // OBJECT_IMAGE or OBJECT_STRING
    std::int32_t page = 1;  // Position (1..4) of the face it lies on
    std::int32_t layer = 1; // -1 below the label, 0 on it, 1 above it
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // String body.
    char text[kObjectTextCapacity] = {};
    LOGFONTA font;
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    std::int32_t orientation = 0;
    std::int32_t opaque = 0;
    std::int32_t autoSize = 0;
    std::int32_t hAlign = 0;
    std::int32_t vAlign = 0;

    // Image body.
    char imagePath[kImagePathCapacity] = {};
    BitmapFileHeader fileHeader;
    std::vector<std::uint8_t> dib; // bfSize - 14 bytes: info header, colour table, pixels
    std::int32_t naturalLeft = 0;
    std::int32_t naturalTop = 0;
    std::int32_t naturalRight = 0;
    std::int32_t naturalBottom = 0;

    // Offset of the pixels inside `dib` (bfOffBits - 14).
    std::size_t bitsOffset() const {
        return fileHeader.bfOffBits >= 14 ? fileHeader.bfOffBits - 14u : 0u;
    }
    // The pixel rows, or null when the block has no bytes at that offset.
    const std::uint8_t* bits() const {
        return bitsOffset() < dib.size() ? dib.data() + bitsOffset() : nullptr;
    }
};

} // namespace pelmora
