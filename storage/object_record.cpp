#include "storage/object_record.h"

#include "storage/image_loader.h"
#include "storage/label_block.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pelmora {
namespace {

// Head, shared by the three layouts that store a kind.
constexpr std::size_t kKindAt = 0;
constexpr std::size_t kPageAt = 4;
constexpr std::size_t kLayerAt = 8;
constexpr std::size_t kOutlineAt = 12; // left, top, right, bottom
constexpr std::size_t kBodyAt = 28;

// Image body, the same 168 bytes from offset 28 in those layouts (from 0 in the oldest).
constexpr std::size_t kImagePathOffset = 0;
constexpr std::size_t kFileHeaderOffset = 128; // packed: type 2, size 4, reserved 2 + 2, offset 4
constexpr std::size_t kNaturalOutlineOffset = 152;
// 142: two bytes of pad; 144, 148: the slots of the running program's DIB and pixel pointers.

// Where a string body's fields lie, measured from the record's start.
struct StringLayout {
    std::size_t textBytes;
    std::size_t fontAt;
    std::size_t textColorAt; // then backColor, orientation, opaque, autoSize every 4 bytes
    bool hasAlignment;       // hAlign and vAlign follow autoSize
};

constexpr StringLayout kCurrentString{kObjectTextCapacity, 8220, 8280, true};
constexpr StringLayout kText1024String{1024, 1052, 1112, true};
constexpr StringLayout kText128String{128, 156, 216, false};

// The oldest records begin with the image body; its head fields come after it.
constexpr std::size_t kOldestOutlineAt = 152;
constexpr std::size_t kOldestPageAt = 168;
constexpr std::size_t kOldestLayerAt = 172;

constexpr std::size_t kRecordBytesText1024 = 1140;
constexpr std::size_t kRecordBytesText128 = 236;
constexpr std::size_t kRecordBytesImageOnly = 176;

// The only way a record is read. Every read is checked against the record's bytes; the
// first read outside them marks the reader failed for good and every later read gives 0.
class RecordReader {
public:
    explicit RecordReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool read(std::size_t offset, std::uint8_t* dest, std::size_t count) {
        if (failed_ || offset > bytes_.size() || count > bytes_.size() - offset) {
            failed_ = true;
            std::memset(dest, 0, count);
            return false;
        }
        std::memcpy(dest, bytes_.data() + offset, count);
        return true;
    }
    std::uint32_t u32(std::size_t offset) {
        std::uint8_t b[4];
        read(offset, b, sizeof b);
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::int32_t i32(std::size_t offset) { return static_cast<std::int32_t>(u32(offset)); }
    std::uint16_t u16(std::size_t offset) {
        std::uint8_t b[2];
        read(offset, b, sizeof b);
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::uint8_t u8(std::size_t offset) {
        std::uint8_t b = 0;
        read(offset, &b, 1);
        return b;
    }
    // A NUL-terminated text in a field of `fieldBytes`: copied up to its NUL, cut so that it
    // and its terminator fit both the field and `dest`.
    void text(std::size_t offset, std::size_t fieldBytes, char* dest, std::size_t destBytes) {
        const std::size_t limit = std::min(fieldBytes, destBytes) - 1;
        std::size_t length = 0;
        if (!failed_ && offset <= bytes_.size() && fieldBytes <= bytes_.size() - offset) {
            const auto* field = reinterpret_cast<const char*>(bytes_.data() + offset);
            length = strnlen(field, limit);
            std::memcpy(dest, field, length);
        } else {
            failed_ = true;
        }
        std::memset(dest + length, 0, destBytes - length);
    }
    bool failed() const { return failed_; }

private:
    std::span<const std::uint8_t> bytes_;
    bool failed_ = false;
};

class RecordWriter {
public:
    explicit RecordWriter(ObjectRecordImage& out) : out_(out) { out_.fill(0); }

    void u32(std::size_t offset, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            out_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    void i32(std::size_t offset, std::int32_t value) {
        u32(offset, static_cast<std::uint32_t>(value));
    }
    void u16(std::size_t offset, std::uint16_t value) {
        out_[offset] = static_cast<std::uint8_t>(value);
        out_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void u8(std::size_t offset, std::uint8_t value) { out_[offset] = value; }
    // Up to the NUL (at most fieldBytes - 1 bytes); the rest of the field stays 0.
    void text(std::size_t offset, std::size_t fieldBytes, const char* text) {
        std::memcpy(out_.data() + offset, text, strnlen(text, fieldBytes - 1));
    }

private:
    ObjectRecordImage& out_;
};

void writeFont(RecordWriter& out, std::size_t at, const LOGFONTA& font) {
    out.i32(at, font.lfHeight);
    out.i32(at + 4, font.lfWidth);
    out.i32(at + 8, font.lfEscapement);
    out.i32(at + 12, font.lfOrientation);
    out.i32(at + 16, font.lfWeight);
    out.u8(at + 20, font.lfItalic);
    out.u8(at + 21, font.lfUnderline);
    out.u8(at + 22, font.lfStrikeOut);
    out.u8(at + 23, font.lfCharSet);
    out.u8(at + 24, font.lfOutPrecision);
    out.u8(at + 25, font.lfClipPrecision);
    out.u8(at + 26, font.lfQuality);
    out.u8(at + 27, font.lfPitchAndFamily);
    out.text(at + 28, LF_FACESIZE, font.lfFaceName);
}

LOGFONTA readFont(RecordReader& in, std::size_t at) {
    LOGFONTA font;
    font.lfHeight = in.i32(at);
    font.lfWidth = in.i32(at + 4);
    font.lfEscapement = in.i32(at + 8);
    font.lfOrientation = in.i32(at + 12);
    font.lfWeight = in.i32(at + 16);
    font.lfItalic = in.u8(at + 20);
    font.lfUnderline = in.u8(at + 21);
    font.lfStrikeOut = in.u8(at + 22);
    font.lfCharSet = in.u8(at + 23);
    font.lfOutPrecision = in.u8(at + 24);
    font.lfClipPrecision = in.u8(at + 25);
    font.lfQuality = in.u8(at + 26);
    font.lfPitchAndFamily = in.u8(at + 27);
    in.text(at + 28, LF_FACESIZE, font.lfFaceName, sizeof font.lfFaceName);
    keepFontInRange(font);
    return font;
}

void writeStringBody(RecordWriter& out, const PlacedObject& object) {
    const StringLayout& at = kCurrentString;
    out.text(kBodyAt, at.textBytes, object.text);
    writeFont(out, at.fontAt, object.font);
    out.u32(at.textColorAt, object.textColor);
    out.u32(at.textColorAt + 4, object.backColor);
    out.i32(at.textColorAt + 8, object.orientation);
    out.i32(at.textColorAt + 12, object.opaque);
    out.i32(at.textColorAt + 16, object.autoSize);
    out.i32(at.textColorAt + 20, object.hAlign);
    out.i32(at.textColorAt + 24, object.vAlign);
}

void writeImageBody(RecordWriter& out, const PlacedObject& object) {
    out.text(kBodyAt + kImagePathOffset, kImagePathCapacity, object.imagePath);
    const std::size_t header = kBodyAt + kFileHeaderOffset;
    out.u16(header, object.fileHeader.bfType);
    out.u32(header + 2, static_cast<std::uint32_t>(kBitmapFileHeaderBytes + object.dib.size()));
    out.u16(header + 6, object.fileHeader.bfReserved1);
    out.u16(header + 8, object.fileHeader.bfReserved2);
    out.u32(header + 10, object.fileHeader.bfOffBits);
    const std::size_t natural = kBodyAt + kNaturalOutlineOffset;
    out.i32(natural, object.naturalLeft);
    out.i32(natural + 4, object.naturalTop);
    out.i32(natural + 8, object.naturalRight);
    out.i32(natural + 12, object.naturalBottom);
}

std::int32_t withinOutline(std::int32_t value) {
    return std::clamp(value, -kOutlineLimit, kOutlineLimit);
}

void readOutline(RecordReader& in, std::size_t at, PlacedObject& object) {
    object.left = withinOutline(in.i32(at));
    object.top = withinOutline(in.i32(at + 4));
    object.right = withinOutline(in.i32(at + 8));
    object.bottom = withinOutline(in.i32(at + 12));
}

void readPlacement(RecordReader& in, std::size_t pageAt, std::size_t layerAt,
                   PlacedObject& object) {
    const std::int32_t page = in.i32(pageAt);
    const std::int32_t layer = in.i32(layerAt);
    object.page = page >= 1 && page <= 4 ? page : 1;
    object.layer = layer >= LAYER_BELOW && layer <= LAYER_ABOVE ? layer : LAYER_ABOVE;
}

// The image body from `at`: path, file header (pointer slots and pad skipped) and, where the
// layout has one, the natural outline. False when the block it announces cannot exist.
bool readImageBody(RecordReader& in, std::size_t at, bool hasNaturalOutline, PlacedObject& object) {
    in.text(at + kImagePathOffset, kImagePathCapacity, object.imagePath, sizeof object.imagePath);
    const std::size_t header = at + kFileHeaderOffset;
    object.fileHeader.bfType = in.u16(header);
    object.fileHeader.bfSize = in.u32(header + 2);
    object.fileHeader.bfReserved1 = in.u16(header + 6);
    object.fileHeader.bfReserved2 = in.u16(header + 8);
    object.fileHeader.bfOffBits = in.u32(header + 10);
    if (hasNaturalOutline) {
        const std::size_t natural = at + kNaturalOutlineOffset;
        object.naturalLeft = withinOutline(in.i32(natural));
        object.naturalTop = withinOutline(in.i32(natural + 4));
        object.naturalRight = withinOutline(in.i32(natural + 8));
        object.naturalBottom = withinOutline(in.i32(natural + 12));
    }
    return object.fileHeader.bfSize >= kBitmapFileHeaderBytes &&
           object.fileHeader.bfSize - kBitmapFileHeaderBytes <= kMaxDibBlockBytes;
}

void readStringBody(RecordReader& in, const StringLayout& at, PlacedObject& object) {
    in.text(kBodyAt, at.textBytes, object.text, sizeof object.text);
    object.font = readFont(in, at.fontAt);
    object.textColor = in.u32(at.textColorAt);
    object.backColor = in.u32(at.textColorAt + 4);
    const std::int32_t orientation = in.i32(at.textColorAt + 8);
    object.orientation =
        orientation == 0 || orientation == 90 || orientation == 180 || orientation == 270
            ? orientation
            : 0;
    object.opaque = in.i32(at.textColorAt + 12) != 0 ? 1 : 0;
    object.autoSize = in.i32(at.textColorAt + 16) != 0 ? 1 : 0;
    if (at.hasAlignment) {
        const std::int32_t hAlign = in.i32(at.textColorAt + 20);
        const std::int32_t vAlign = in.i32(at.textColorAt + 24);
        object.hAlign = hAlign >= 0 && hAlign <= 2 ? hAlign : 0;
        object.vAlign = vAlign >= 0 && vAlign <= 2 ? vAlign : 0;
    } else {
        object.hAlign = 1; // strings written before alignment existed were centred
        object.vAlign = 1;
    }
}

} // namespace

ObjectRecordLayout objectRecordLayoutForVersion(int version) {
    if (version >= 40) {
        return ObjectRecordLayout::Current;
    }
    if (version >= 25) {
        return ObjectRecordLayout::Text1024;
    }
    if (version >= 17) {
        return ObjectRecordLayout::Text128;
    }
    return ObjectRecordLayout::ImageOnly;
}

std::size_t objectRecordBytes(ObjectRecordLayout layout) {
    switch (layout) {
    case ObjectRecordLayout::Current:
        return kObjectRecordBytes;
    case ObjectRecordLayout::Text1024:
        return kRecordBytesText1024;
    case ObjectRecordLayout::Text128:
        return kRecordBytesText128;
    case ObjectRecordLayout::ImageOnly:
        return kRecordBytesImageOnly;
    }
    return kObjectRecordBytes;
}

ObjectRecordImage encodeObjectRecord(const PlacedObject& object) {
    ObjectRecordImage image;
    RecordWriter out(image);
    out.i32(kKindAt, object.kind);
    out.i32(kPageAt, object.page);
    out.i32(kLayerAt, object.layer);
    out.i32(kOutlineAt, object.left);
    out.i32(kOutlineAt + 4, object.top);
    out.i32(kOutlineAt + 8, object.right);
    out.i32(kOutlineAt + 12, object.bottom);
    if (object.kind == OBJECT_STRING) {
        writeStringBody(out, object);
    } else if (object.kind == OBJECT_IMAGE) {
        writeImageBody(out, object);
    }
    return image;
}

ObjectRecordStatus decodeObjectRecord(std::span<const std::uint8_t> bytes,
                                      ObjectRecordLayout layout, PlacedObject& object) {
    object = PlacedObject{};
    const std::size_t recordBytes = objectRecordBytes(layout);
    if (bytes.size() < recordBytes) {
        return ObjectRecordStatus::Unreadable;
    }
    RecordReader in(bytes.first(recordBytes));

    if (layout == ObjectRecordLayout::ImageOnly) {
        object.kind = OBJECT_IMAGE;
        const bool blockCanExist = readImageBody(in, 0, false, object);
        readOutline(in, kOldestOutlineAt, object);
        readPlacement(in, kOldestPageAt, kOldestLayerAt, object);
        object.naturalLeft = object.left;
        object.naturalTop = object.top;
        object.naturalRight = object.right;
        object.naturalBottom = object.bottom;
        return blockCanExist && !in.failed() ? ObjectRecordStatus::Image
                                             : ObjectRecordStatus::Unreadable;
    }

    const std::int32_t kind = in.i32(kKindAt);
    readPlacement(in, kPageAt, kLayerAt, object);
    readOutline(in, kOutlineAt, object);
    ObjectRecordStatus status = ObjectRecordStatus::UnknownKind;
    if (kind == OBJECT_IMAGE) {
        object.kind = OBJECT_IMAGE;
        status = readImageBody(in, kBodyAt, true, object) ? ObjectRecordStatus::Image
                                                          : ObjectRecordStatus::Unreadable;
    } else if (kind == OBJECT_STRING) {
        object.kind = OBJECT_STRING;
        readStringBody(in,
                       layout == ObjectRecordLayout::Current    ? kCurrentString
                       : layout == ObjectRecordLayout::Text1024 ? kText1024String
                                                                : kText128String,
                       object);
        status = ObjectRecordStatus::String;
    }
    return in.failed() ? ObjectRecordStatus::Unreadable : status;
}

std::size_t imageBlockBytes(const PlacedObject& object) {
    return object.fileHeader.bfSize >= kBitmapFileHeaderBytes
               ? object.fileHeader.bfSize - kBitmapFileHeaderBytes
               : 0;
}

bool attachImageBlock(PlacedObject& object, std::vector<std::uint8_t> block) {
    object.dib = {};
    if (object.kind != OBJECT_IMAGE || block.size() != imageBlockBytes(object) ||
        !checkDib(object.fileHeader, block).empty()) {
        return false;
    }
    object.dib = std::move(block);
    return true;
}

} // namespace pelmora
