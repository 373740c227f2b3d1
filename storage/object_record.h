#pragma once
// The file image of a placed object: 8308 little-endian bytes with every field at a fixed
// offset, followed in a label file by the DIB block of an image. Older label files hold
// shorter records (1140, 236 and 176 bytes), which are read into the same in-memory record.
//
// Nothing read is trusted: the kind must be one the program knows, texts are cut inside
// their fields and terminated, and an image must state a DIB block size that can exist.

#include "catalog/placed_object.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pelmora {

constexpr std::size_t kObjectRecordBytes = 8308;

// Record layouts by the label-file versions that wrote them.
enum class ObjectRecordLayout {
    Current,   // versions 40 and later: 8308 bytes, 8192-byte text
    Text1024,  // versions 25..39: 1140 bytes, 1024-byte text
    Text128,   // versions 17..24: 236 bytes, 128-byte text, no alignment fields
    ImageOnly, // version 16: 176 bytes, always an image, head fields after the image body
};

ObjectRecordLayout objectRecordLayoutForVersion(int version);
std::size_t objectRecordBytes(ObjectRecordLayout layout);

using ObjectRecordImage = std::array<std::uint8_t, kObjectRecordBytes>;

// The 8308-byte image of `object`. Pointer slots, the pad, a string's bytes after its NUL
// and an image record's bytes after naturalBottom are written as 0. An image's bfSize is
// written as 14 + the size of the DIB block it owns, so the record always describes the
// block that follows it.
ObjectRecordImage encodeObjectRecord(const PlacedObject& object);

enum class ObjectRecordStatus {
    String,      // complete
    Image,       // its DIB block follows: imageBlockBytes(object) bytes, for attachImageBlock
    UnknownKind, // neither kind: only the head was read, no block follows; drop the object
    Unreadable,  // too few bytes, or an image whose block cannot exist: stop reading the file
};

// Reads one record of `layout` from the front of `bytes` into `object`, which starts from a
// fresh record. Fields outside their ranges are brought back to a usable value: page to 1,
// layer to "above", orientation to 0, alignments to left / top, flags to 0 or 1, outlines
// to +-kOutlineLimit, a string's font to the sizes and weights the program makes
// (keepFontInRange).
ObjectRecordStatus decodeObjectRecord(std::span<const std::uint8_t> bytes,
                                      ObjectRecordLayout layout, PlacedObject& object);

constexpr std::int32_t kOutlineLimit = 100'000'000; // 0.01 inch: far beyond any page

// Size of the DIB block that follows an image record (bfSize - 14).
std::size_t imageBlockBytes(const PlacedObject& object);

// Hands the DIB block read after an image record to the object. Refused (false, the object
// keeps no block) when the size differs from the record's or the block cannot be painted.
bool attachImageBlock(PlacedObject& object, std::vector<std::uint8_t> block);

} // namespace pelmora
