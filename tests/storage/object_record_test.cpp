#include "storage/object_record.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// A record assembled byte by byte, independently of the encoder.
struct Bytes {
    explicit Bytes(std::size_t size) : data(size, 0) {}
    Bytes& i32(std::size_t at, std::int64_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            data[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
        }
        return *this;
    }
    Bytes& u16(std::size_t at, unsigned value) {
        data[at] = static_cast<std::uint8_t>(value);
        data[at + 1] = static_cast<std::uint8_t>(value >> 8);
        return *this;
    }
    Bytes& text(std::size_t at, const std::string& s) { // with its NUL
        std::memcpy(data.data() + at, s.c_str(), s.size() + 1);
        return *this;
    }
    Bytes& fill(std::size_t from, std::size_t to, std::uint8_t value) {
        std::fill(data.begin() + from, data.begin() + to, value);
        return *this;
    }
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> encoded(const PlacedObject& object) {
    const ObjectRecordImage image = encodeObjectRecord(object);
    return {image.begin(), image.end()};
}

// A font whose every field differs from its neighbours, so a shifted field shows.
LOGFONTA sampleFont() {
    LOGFONTA font;
    font.lfHeight = -27;
    font.lfWidth = 5;
    font.lfEscapement = 900;
    font.lfOrientation = 450;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfStrikeOut = 1;
    font.lfCharSet = 2;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 16;
    font.lfQuality = 4;
    font.lfPitchAndFamily = 34;
    std::strcpy(font.lfFaceName, "Arial");
    return font;
}

Bytes& fontBytes(Bytes& b, std::size_t at) {
    b.i32(at, -27).i32(at + 4, 5).i32(at + 8, 900).i32(at + 12, 450).i32(at + 16, 700);
    const std::uint8_t flags[8] = {1, 0, 1, 2, 3, 16, 4, 34};
    std::memcpy(b.data.data() + at + 20, flags, sizeof flags);
    return b.text(at + 28, "Arial");
}

PlacedObject stringObject() {
    PlacedObject object;
    object.kind = OBJECT_STRING;
    object.page = 3;
    object.layer = LAYER_BELOW;
    object.left = 150;
    object.top = -20;
    object.right = 900;
    object.bottom = -300;
    std::strcpy(object.text, "Line one\r\nLine two");
    std::strcpy(object.text + 19, "left over"); // after the NUL: no meaning
    object.font = sampleFont();
    object.textColor = 0x0000FF;
    object.backColor = 0x00FF00;
    object.orientation = 90;
    object.opaque = 1;
    object.autoSize = 1;
    object.hAlign = 2;
    object.vAlign = 1;
    std::strcpy(object.imagePath, "not an image"); // the image body is not written
    return object;
}

Bytes stringRecord() {
    Bytes b(kObjectRecordBytes);
    b.i32(0, 2).i32(4, 3).i32(8, -1).i32(12, 150).i32(16, -20).i32(20, 900).i32(24, -300);
    b.text(28, "Line one\r\nLine two");
    fontBytes(b, 8220);
    b.i32(8280, 0x0000FF).i32(8284, 0x00FF00).i32(8288, 90).i32(8292, 1).i32(8296, 1);
    return b.i32(8300, 2).i32(8304, 1);
}

// One pixel wide, two rows of four bytes (three colour bytes and the row's pad).
std::vector<std::uint8_t> tinyDib() {
    Bytes b(48);
    b.i32(0, 40).i32(4, 1).i32(8, 2).u16(12, 1).u16(14, 24).i32(20, 8).i32(24, 2835);
    return b.i32(28, 2835).fill(40, 48, 0x77).data;
}

PlacedObject imageObject() {
    PlacedObject object;
    object.kind = OBJECT_IMAGE;
    object.page = 2;
    object.layer = LAYER_ON;
    object.left = 100;
    object.top = -100;
    object.right = 200;
    object.bottom = -150;
    std::strcpy(object.imagePath, "/media/disk/logo.bmp");
    object.fileHeader = {kBitmapFileType, 62, 7, 9, 54};
    object.dib = tinyDib();
    object.naturalLeft = 100;
    object.naturalTop = -100;
    object.naturalRight = 300;
    object.naturalBottom = -250;
    std::strcpy(object.text, "not a string"); // the string body is not written
    return object;
}

Bytes imageBody(Bytes& b, std::size_t at) {
    b.text(at, "/media/disk/logo.bmp");
    b.u16(at + 128, 0x4D42).i32(at + 130, 62).u16(at + 134, 7).u16(at + 136, 9).i32(at + 138, 54);
    return b.i32(at + 152, 100).i32(at + 156, -100).i32(at + 160, 300).i32(at + 164, -250);
}

Bytes imageRecord() {
    Bytes b(kObjectRecordBytes);
    b.i32(0, 1).i32(4, 2).i32(8, 0).i32(12, 100).i32(16, -100).i32(20, 200).i32(24, -150);
    return imageBody(b, 28);
}

void expectSameBytes(const std::vector<std::uint8_t>& x, const std::vector<std::uint8_t>& y) {
    ASSERT_EQ(x.size(), y.size());
    const auto differ = std::mismatch(x.begin(), x.end(), y.begin());
    EXPECT_EQ(differ.first, x.end()) << "first difference at offset " << differ.first - x.begin();
}

// Compares the file images and names the first offset where they differ.
void expectSameRecord(const PlacedObject& a, const PlacedObject& b) {
    expectSameBytes(encoded(a), encoded(b));
}

TEST(ObjectRecordTest, StringRecordHasEveryFieldAtItsOffset) {
    const PlacedObject object = stringObject();
    expectSameBytes(encoded(object), stringRecord().data);

    // What follows the text's NUL and the face name's NUL is ignored on reading.
    Bytes dirty = stringRecord();
    dirty.fill(28 + 19, 28 + 8192, 'J').fill(8248 + 6, 8280, 'K');
    PlacedObject read;
    ASSERT_EQ(decodeObjectRecord(dirty.data, ObjectRecordLayout::Current, read),
              ObjectRecordStatus::String);
    EXPECT_STREQ(read.text, "Line one\r\nLine two");
    EXPECT_EQ(read.font, sampleFont());
    EXPECT_EQ(read.page, 3);
    EXPECT_EQ(read.layer, LAYER_BELOW);
    expectSameBytes(encoded(read), stringRecord().data);
}

TEST(ObjectRecordTest, ImageRecordHasEveryFieldAtItsOffset) {
    const PlacedObject object = imageObject();
    expectSameBytes(encoded(object), imageRecord().data);

    // Pad, pointer slots and everything after naturalBottom carry no meaning.
    Bytes dirty = imageRecord();
    dirty.fill(170, 180, 0xEE).fill(196, kObjectRecordBytes, 0xAB);
    PlacedObject read;
    ASSERT_EQ(decodeObjectRecord(dirty.data, ObjectRecordLayout::Current, read),
              ObjectRecordStatus::Image);
    EXPECT_EQ(read.text[0], '\0');
    EXPECT_EQ(imageBlockBytes(read), 48u);
    ASSERT_TRUE(attachImageBlock(read, tinyDib()));
    EXPECT_EQ(read.bits(), read.dib.data() + 40);
    expectSameRecord(read, object);
}

TEST(ObjectRecordTest, WrittenBfSizeFollowsTheBlockThatIsWritten) {
    PlacedObject object = imageObject();
    object.fileHeader.bfSize = 5000; // stale
    expectSameBytes(encoded(object), imageRecord().data);
}

TEST(ObjectRecordTest, ReadingNeverTrustsAField) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        ObjectRecordStatus status;
        std::function<void(const PlacedObject&)> check;
    };
    const auto none = [](const PlacedObject&) {};
    const std::vector<Case> cases = {
        {"text without NUL", [](Bytes& b) { b.fill(28, 28 + 8192, 'T'); },
         ObjectRecordStatus::String,
         [](const PlacedObject& o) { EXPECT_EQ(std::strlen(o.text), 8191u); }},
        {"face without NUL", [](Bytes& b) { b.fill(8248, 8280, 'F'); }, ObjectRecordStatus::String,
         [](const PlacedObject& o) { EXPECT_EQ(std::strlen(o.font.lfFaceName), 31u); }},
        {"ranges",
         [](Bytes& b) {
             b.i32(4, 9).i32(8, 5).i32(8288, 45).i32(8292, 7).i32(8300, 3).i32(8304, -1);
             b.i32(12, INT32_MIN).i32(20, INT32_MAX);
         },
         ObjectRecordStatus::String,
         [](const PlacedObject& o) {
             EXPECT_EQ(o.page, 1);
             EXPECT_EQ(o.layer, LAYER_ABOVE);
             EXPECT_EQ(o.orientation, 0);
             EXPECT_EQ(o.opaque, 1);
             EXPECT_EQ(o.hAlign, 0);
             EXPECT_EQ(o.vAlign, 0);
             EXPECT_EQ(o.left, -kOutlineLimit);
             EXPECT_EQ(o.right, kOutlineLimit);
         }},
        {"kind 0", [](Bytes& b) { b.i32(0, 0); }, ObjectRecordStatus::UnknownKind,
         [](const PlacedObject& o) {
             EXPECT_EQ(o.kind, 0);
             EXPECT_EQ(o.page, 3);
             EXPECT_EQ(o.text[0], '\0');
         }},
        {"kind 3", [](Bytes& b) { b.i32(0, 3); }, ObjectRecordStatus::UnknownKind, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = stringRecord();
        c.damage(b);
        PlacedObject read;
        EXPECT_EQ(decodeObjectRecord(b.data, ObjectRecordLayout::Current, read), c.status);
        c.check(read);
    }

    Bytes path = imageRecord();
    path.fill(28, 156, 'P');
    PlacedObject read;
    EXPECT_EQ(decodeObjectRecord(path.data, ObjectRecordLayout::Current, read),
              ObjectRecordStatus::Image);
    EXPECT_EQ(std::strlen(read.imagePath), 127u);

    // A block size below the file header or beyond any picture cannot be skipped safely.
    for (std::int64_t bfSize : {0LL, 13LL, 0xFFFFFFFFLL}) {
        Bytes b = imageRecord();
        b.i32(158, bfSize);
        EXPECT_EQ(decodeObjectRecord(b.data, ObjectRecordLayout::Current, read),
                  ObjectRecordStatus::Unreadable);
    }
    std::vector<std::uint8_t> shortRecord = stringRecord().data;
    shortRecord.pop_back();
    EXPECT_EQ(decodeObjectRecord(shortRecord, ObjectRecordLayout::Current, read),
              ObjectRecordStatus::Unreadable);
}

TEST(ObjectRecordTest, BlockIsAttachedOnlyWhenItMatchesAndCanBePainted) {
    PlacedObject read;
    ASSERT_EQ(decodeObjectRecord(imageRecord().data, ObjectRecordLayout::Current, read),
              ObjectRecordStatus::Image);
    std::vector<std::uint8_t> longer = tinyDib();
    longer.push_back(0);
    EXPECT_FALSE(attachImageBlock(read, longer));
    std::vector<std::uint8_t> noWidth = tinyDib();
    noWidth[4] = 0;
    EXPECT_FALSE(attachImageBlock(read, noWidth));
    EXPECT_TRUE(read.dib.empty());
    EXPECT_TRUE(attachImageBlock(read, tinyDib()));
}

TEST(ObjectRecordTest, OlderRecordSizesAreRead) {
    struct Layout {
        int version;
        ObjectRecordLayout layout;
        std::size_t bytes;
    };
    for (const Layout& l : {Layout{41, ObjectRecordLayout::Current, 8308},
                            Layout{40, ObjectRecordLayout::Current, 8308},
                            Layout{39, ObjectRecordLayout::Text1024, 1140},
                            Layout{25, ObjectRecordLayout::Text1024, 1140},
                            Layout{24, ObjectRecordLayout::Text128, 236},
                            Layout{17, ObjectRecordLayout::Text128, 236},
                            Layout{16, ObjectRecordLayout::ImageOnly, 176}}) {
        EXPECT_EQ(objectRecordLayoutForVersion(l.version), l.layout) << l.version;
        EXPECT_EQ(objectRecordBytes(l.layout), l.bytes) << l.version;
    }

    PlacedObject expected = stringObject();
    PlacedObject read;
    Bytes s1140(1140);
    s1140.i32(0, 2).i32(4, 3).i32(8, -1).i32(12, 150).i32(16, -20).i32(20, 900).i32(24, -300);
    s1140.text(28, "Line one\r\nLine two");
    fontBytes(s1140, 1052).i32(1112, 0x0000FF).i32(1116, 0x00FF00).i32(1120, 90);
    s1140.i32(1124, 1).i32(1128, 1).i32(1132, 2).i32(1136, 1);
    EXPECT_EQ(decodeObjectRecord(s1140.data, ObjectRecordLayout::Text1024, read),
              ObjectRecordStatus::String);
    expectSameRecord(read, expected);

    Bytes s236(236);
    s236.i32(0, 2).i32(4, 3).i32(8, -1).i32(12, 150).i32(16, -20).i32(20, 900).i32(24, -300);
    s236.fill(28, 156, 'x').text(28, "Line one\r\nLine two");
    fontBytes(s236, 156).i32(216, 0x0000FF).i32(220, 0x00FF00).i32(224, 90);
    s236.i32(228, 1).i32(232, 1);
    EXPECT_EQ(decodeObjectRecord(s236.data, ObjectRecordLayout::Text128, read),
              ObjectRecordStatus::String);
    expected.hAlign = 1; // strings of that age were centred both ways
    expected.vAlign = 1;
    expectSameRecord(read, expected);

    for (ObjectRecordLayout layout : {ObjectRecordLayout::Text1024, ObjectRecordLayout::Text128}) {
        Bytes image(objectRecordBytes(layout));
        image.i32(0, 1).i32(4, 2).i32(8, 0).i32(12, 100).i32(16, -100).i32(20, 200);
        imageBody(image.i32(24, -150), 28);
        EXPECT_EQ(decodeObjectRecord(image.data, layout, read), ObjectRecordStatus::Image);
        ASSERT_TRUE(attachImageBlock(read, tinyDib()));
        expectSameRecord(read, imageObject());
    }

    // The oldest: image body first, then outline, page and layer; no kind, no natural outline.
    Bytes oldest(176);
    imageBody(oldest, 0).fill(142, 152, 0xEE);
    oldest.i32(152, 100).i32(156, -100).i32(160, 200).i32(164, -150).i32(168, 2).i32(172, 0);
    EXPECT_EQ(decodeObjectRecord(oldest.data, ObjectRecordLayout::ImageOnly, read),
              ObjectRecordStatus::Image);
    ASSERT_TRUE(attachImageBlock(read, tinyDib()));
    PlacedObject image = imageObject();
    image.naturalRight = 200;
    image.naturalBottom = -150;
    expectSameRecord(read, image);
}

} // namespace
} // namespace pelmora
