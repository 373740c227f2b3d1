// Label files: the exact bytes written, every older version read, round trips, and files
// that are cut short or damaged.

#include "platform/core/dates.h"
#include "storage/image_loader.h"
#include "storage/label_block.h"
#include "storage/label_file.h"
#include "storage/line_io.h"
#include "storage/object_record.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

using Data = std::vector<std::uint8_t>;

// A file assembled piece by piece by the test itself: text lines as written out by hand and
// binary records with every field put at its offset.
struct FileBytes {
    Data data;
    FileBytes& text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    FileBytes& raw(const Data& d) {
        data.insert(data.end(), d.begin(), d.end());
        return *this;
    }
};

struct Record {
    explicit Record(std::size_t size) : data(size, 0) {}
    Record& i32(std::size_t at, std::int64_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            data[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
        }
        return *this;
    }
    Record& u16(std::size_t at, unsigned value) {
        data[at] = static_cast<std::uint8_t>(value);
        data[at + 1] = static_cast<std::uint8_t>(value >> 8);
        return *this;
    }
    Record& u8(std::size_t at, unsigned value) {
        data[at] = static_cast<std::uint8_t>(value);
        return *this;
    }
    Record& text(std::size_t at, const std::string& s) {
        std::memcpy(data.data() + at, s.data(), s.size());
        return *this;
    }
    Data data;
};

Data bytesOf(const std::string& s) {
    return Data(s.begin(), s.end());
}

void expectSameBytes(const Data& actual, const Data& expected) {
    const auto differ =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (differ.first != actual.end() || differ.second != expected.end()) {
        const std::size_t at = static_cast<std::size_t>(differ.first - actual.begin());
        const auto near = [&](const Data& d) {
            const std::size_t from = at > 20 ? at - 20 : 0;
            return std::string(d.begin() + static_cast<std::ptrdiff_t>(std::min(from, d.size())),
                               d.begin() +
                                   static_cast<std::ptrdiff_t>(std::min(at + 20, d.size())));
        };
        ADD_FAILURE() << "first difference at offset " << at << " (sizes " << actual.size() << " / "
                      << expected.size() << ")\nwritten:  \"" << near(actual) << "\"\nexpected: \""
                      << near(expected) << "\"";
    }
}

LOGFONTA makeFont(std::int32_t height, std::int32_t weight, const char* face) {
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 34;
    std::strcpy(font.lfFaceName, face);
    return font;
}

// A 2 x 2 24-bit DIB: information header, then two rows of 6 colour bytes and 2 pad bytes.
Data tinyDib() {
    Record b(56);
    b.i32(0, 40).i32(4, 2).i32(8, 2).u16(12, 1).u16(14, 24).i32(20, 16).i32(24, 2835);
    b.i32(28, 2835);
    for (std::size_t i = 40; i < 56; ++i) {
        b.data[i] = static_cast<std::uint8_t>(i);
    }
    return b.data;
}

FileEntry entry(const char* name, const char* sizeText, std::uint64_t size) {
    FileEntry e;
    std::strcpy(e.name, name);
    std::strcpy(e.sizeText, sizeText);
    e.size = size;
    return e;
}

FileEntry folder(const char* name, std::vector<FileEntry> children) {
    FileEntry e = entry(name, "[dir]", 0);
    e.hasChild = 1;
    e.open = 1;
    e.child = std::make_unique<VAROINFO>();
    e.child->entries = std::move(children);
    return e;
}

// The label whose file the first test states byte by byte.
void buildKnownLabel(VAROINFO& label) {
    std::strcpy(label.volumeName, "DISK ONE");
    label.comment[0] = '\0';
    label.sortMode = 2;
    label.direction = -1;
    label.columns = 3;
    label.lined = 0;
    label.showSize = 1;
    label.showExt = 0;
    label.showComment = 1;
    label.showLogo = 1;
    label.lblFmt = 7;
    label.opposing = 1;
    label.bodyBackColor = 0xC0FFEE;
    label.fileFontHeight = 42;
    label.folderFontHeight = 43;
    label.commentFontHeight = 44;
    label.colorLogo = 1;
    label.fileColor = 0x0000FF;
    label.folderColor = 0x00FF00;
    label.commentColor = 0xFF0000;
    label.spineColor = 0;
    label.spineBackColor = 0x808080;
    label.spineAlign = 2;
    label.spaceUsed = 5'000'000'000;
    label.spaceFree = 1234;
    label.spaceTotal = 5'000'001'234;
    label.fileCount = 3;
    label.folderCount = 1;
    std::strcpy(label.shortDate, "07/17/98");
    std::strcpy(label.longDate, "Friday, July 17, 1998");
    label.fileFont = makeFont(-11, 400, "Arial");
    label.folderFont = makeFont(-11, 700, "Arial");
    label.folderFont.lfUnderline = 1; // never stored
    label.commentFont = makeFont(-13, 400, "Times New Roman");
    label.commentFont.lfItalic = 1;
    label.spineFont = makeFont(-19, 400, "Courier");
    label.spineFont.lfEscapement = 900;
    label.spineFont.lfStrikeOut = 1;
    label.spineFont.lfCharSet = 2;

    ExtensionStyle txt;
    std::strcpy(txt.extension, "TXT");
    txt.color = 0x0000FF;
    txt.font = makeFont(-11, 400, "Arial");
    ExtensionStyle bare; // no extension, no face name: both still take a line
    bare.color = 0;
    label.extStyles = {txt, bare};

    std::vector<FileEntry> docs;
    docs.push_back(entry("Letter.doc", "2K", 2048));
    docs[0].align = 2;
    label.entries.push_back(folder("DOCS", std::move(docs)));
    label.entries.push_back(entry("README.TXT", "", 3'000'000'000));
    label.entries.back().align = 1;

    PlacedObject text;
    text.kind = OBJECT_STRING;
    text.page = 1;
    text.layer = LAYER_ABOVE;
    text.left = 10;
    text.top = -20;
    text.right = 200;
    text.bottom = -60;
    std::strcpy(text.text, "Hello\r\nWorld");
    text.font = makeFont(-16, 700, "Arial");
    text.textColor = 0x0000FF;
    text.backColor = 0xFFFFFF;
    text.orientation = 90;
    text.opaque = 1;
    text.autoSize = 0;
    text.hAlign = 2;
    text.vAlign = 1;

    PlacedObject image;
    image.kind = OBJECT_IMAGE;
    image.page = 1;
    image.layer = LAYER_BELOW;
    image.left = 100;
    image.top = -100;
    image.right = 104;
    image.bottom = -104;
    std::strcpy(image.imagePath, "/media/disk/red.bmp");
    image.fileHeader = {kBitmapFileType, 70, 0, 0, 54};
    image.dib = tinyDib();
    image.naturalLeft = 100;
    image.naturalTop = -100;
    image.naturalRight = 102;
    image.naturalBottom = -102;
    label.objects.push_back(std::move(text));
    label.objects.push_back(std::move(image));
}

// The font lines: five numbers, seven byte values, then the face name without a dot.
const char* const kKnownLabelText = "41\n"
                                    ".DISK ONE\n"
                                    ".\n"
                                    "2\n-1\n3\n0\n1\n0\n1\n1\n7\n1\n"
                                    "12648430\n"
                                    "42\n43\n44\n"
                                    "1\n"
                                    "255\n65280\n16711680\n0\n8421504\n"
                                    "2\n"
                                    "5000000000\n1234\n5000001234\n"
                                    "3\n1\n"
                                    ".07/17/98\n"
                                    ".Friday, July 17, 1998\n"
                                    "-11\n0\n0\n0\n400\n0\n0\n0\n3\n2\n1\n34\nArial\n"
                                    "-11\n0\n0\n0\n700\n0\n0\n0\n3\n2\n1\n34\nArial\n"
                                    "-13\n0\n0\n0\n400\n1\n0\n0\n3\n2\n1\n34\nTimes New Roman\n"
                                    "-19\n0\n900\n0\n400\n0\n1\n2\n3\n2\n1\n34\nCourier\n"
                                    "2\n"
                                    ".TXT\n255\n-11\n0\n0\n0\n400\n0\n0\n0\n3\n2\n1\n34\nArial\n"
                                    ".\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n\n"
                                    "2\n"
                                    ".DOCS\n.[dir]\n0\n1\n1\n0\n"
                                    "1\n"
                                    ".Letter.doc\n.2K\n2048\n0\n0\n2\n"
                                    ".README.TXT\n.\n3000000000\n0\n0\n1\n"
                                    "2\n";

Data knownStringRecord() {
    Record r(8308);
    r.i32(0, 2).i32(4, 1).i32(8, 1).i32(12, 10).i32(16, -20).i32(20, 200).i32(24, -60);
    r.text(28, "Hello\r\nWorld");
    r.i32(8220, -16).i32(8236, 700).u8(8244, 3).u8(8245, 2).u8(8246, 1).u8(8247, 34);
    r.text(8248, "Arial");
    r.i32(8280, 0x0000FF).i32(8284, 0xFFFFFF).i32(8288, 90).i32(8292, 1).i32(8296, 0);
    r.i32(8300, 2).i32(8304, 1);
    return r.data;
}

Data knownImageRecord() {
    Record r(8308);
    r.i32(0, 1).i32(4, 1).i32(8, -1).i32(12, 100).i32(16, -100).i32(20, 104).i32(24, -104);
    r.text(28, "/media/disk/red.bmp");
    r.u16(156, 0x4D42).i32(158, 70).u16(162, 0).u16(164, 0).i32(166, 54);
    r.i32(180, 100).i32(184, -100).i32(188, 102).i32(192, -102);
    return r.data;
}

Data knownLabelFile() {
    FileBytes f;
    f.text(kKnownLabelText).raw(knownStringRecord()).raw(knownImageRecord()).raw(tinyDib());
    return f.data;
}

LabelFileLoad decode(const Data& bytes, VAROINFO& label) {
    return decodeLabelFile(bytes, label);
}

// Compares every stored field of two catalog trees, with the path of the first difference.
void expectSameTree(const VAROINFO& a, const VAROINFO& b, const std::string& path = "/") {
    ASSERT_EQ(a.entries.size(), b.entries.size()) << "at " << path;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        const FileEntry& x = a.entries[i];
        const FileEntry& y = b.entries[i];
        const std::string here = path + x.name;
        EXPECT_STREQ(x.name, y.name) << here;
        EXPECT_STREQ(x.sizeText, y.sizeText) << here;
        EXPECT_EQ(x.size, y.size) << here;
        EXPECT_EQ(x.hasChild, y.hasChild) << here;
        EXPECT_EQ(x.open, y.open) << here;
        EXPECT_EQ(x.align, y.align) << here;
        ASSERT_EQ(x.child != nullptr, y.child != nullptr) << here;
        if (x.child) {
            expectSameTree(*x.child, *y.child, here + "/");
        }
    }
}

// ---- writing -------------------------------------------------------------------------------

TEST(LabelFileWriteTest, KnownLabelGivesTheStatedBytes) {
    VAROINFO label;
    buildKnownLabel(label);
    expectSameBytes(bytesOf(encodeLabelFile(label)), knownLabelFile());
}

TEST(LabelFileWriteTest, EmptyLabelEndsWithTreeCountAndObjectCountZero) {
    VAROINFO label;
    const std::string file = encodeLabelFile(label);
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(file.substr(0, 6), "41\n.\n.");
    EXPECT_EQ(file.substr(file.size() - 7), "\n0\n0\n0\n") << "styles, tree, objects";
}

TEST(LabelFileWriteTest, LineFeedInsideANameCannotSplitItsLine) {
    VAROINFO label;
    label.entries.push_back(entry("two\nlines", "1", 1));
    label.entries.push_back(entry("next", "2", 2));
    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(encodeLabelFile(label)), read);
    ASSERT_TRUE(load.complete) << load.problem;
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_STREQ(read.entries[0].name, "two?lines");
    EXPECT_STREQ(read.entries[1].name, "next");
}

// ---- reading the current version -----------------------------------------------------------

TEST(LabelFileReadTest, KnownFileReadsBackEveryField) {
    VAROINFO expected;
    buildKnownLabel(expected);
    VAROINFO label;
    const LabelFileLoad load = decode(knownLabelFile(), label);
    ASSERT_EQ(load.status, LabelFileStatus::Loaded);
    EXPECT_TRUE(load.complete) << load.problem << " at " << load.problemOffset;
    EXPECT_EQ(load.version, 41);

    EXPECT_STREQ(label.volumeName, "DISK ONE");
    EXPECT_STREQ(label.comment, "");
    EXPECT_EQ(label.sortMode, 2);
    EXPECT_EQ(label.direction, -1);
    EXPECT_EQ(label.columns, 3);
    EXPECT_EQ(label.lined, 0);
    EXPECT_EQ(label.showExt, 0);
    EXPECT_EQ(label.lblFmt, 7);
    EXPECT_EQ(label.opposing, 1);
    EXPECT_EQ(label.bodyBackColor, 0xC0FFEEu);
    EXPECT_EQ(label.commentFontHeight, 44);
    EXPECT_EQ(label.spineBackColor, 0x808080u);
    EXPECT_EQ(label.spineAlign, 2);
    EXPECT_EQ(label.spaceUsed, 5'000'000'000);
    EXPECT_EQ(label.spaceTotal, 5'000'001'234);
    EXPECT_STREQ(label.longDate, "Friday, July 17, 1998");
    EXPECT_EQ(label.fileFont, expected.fileFont);
    EXPECT_EQ(label.commentFont, expected.commentFont);
    EXPECT_EQ(label.spineFont, expected.spineFont);
    EXPECT_EQ(label.folderFont.lfUnderline, 0) << "the underline never survives a file";
    ASSERT_EQ(label.extStyles.size(), 2u);
    EXPECT_STREQ(label.extStyles[0].extension, "TXT");
    EXPECT_STREQ(label.extStyles[1].extension, "");
    EXPECT_STREQ(label.extStyles[1].font.lfFaceName, "") << "an empty face name stays empty";
    expectSameTree(label, expected);
    EXPECT_EQ(label.entries[1].size, 3'000'000'000u);

    ASSERT_EQ(label.objects.size(), 2u);
    EXPECT_EQ(label.objects[0].kind, OBJECT_STRING);
    EXPECT_STREQ(label.objects[0].text, "Hello\r\nWorld");
    EXPECT_EQ(label.objects[0].hAlign, 2);
    EXPECT_EQ(label.objects[1].kind, OBJECT_IMAGE);
    EXPECT_EQ(label.objects[1].dib, tinyDib());
    EXPECT_EQ(label.objects[1].bits(), label.objects[1].dib.data() + 40);
    EXPECT_EQ(label.objects[1].naturalRight, 102);
    EXPECT_EQ(label.layoutValid, 0);
}

TEST(LabelFileReadTest, ReadingReplacesWhatTheLabelHeld) {
    VAROINFO label;
    buildKnownLabel(label);
    label.entries.push_back(entry("STALE", "", 0));
    label.extStyles.resize(5);
    std::strcpy(label.comment, "kept until read");
    VAROINFO other;
    const std::string file = encodeLabelFile(other);
    decode(bytesOf(file), label);
    EXPECT_TRUE(label.entries.empty());
    EXPECT_TRUE(label.objects.empty());
    EXPECT_TRUE(label.extStyles.empty());
    EXPECT_STREQ(label.comment, "");
}

// ---- older versions ------------------------------------------------------------------------

// The lines of a label block as the program of version `v` wrote them, with fixed values.
// Lines the version lacks are left out; `columns` is stored as given.
std::string oldLabelBlock(int v, int columns) {
    std::string s = ".OLD DISK\n.old comment\n3\n-1\n" + std::to_string(columns) + "\n";
    if (v >= 25) {
        s += "1\n"; // lined
    }
    s += "0\n1\n0\n"; // showSize, showExt, showComment
    if (v >= 17) {
        s += "0\n5\n"; // showLogo, lblFmt
    }
    if (v >= 19) {
        s += "1\n"; // opposing
    }
    if (v >= 18) {
        s += "65535\n"; // bodyBackColor
    }
    s += "30\n31\n32\n1\n255\n65280\n16711680\n128\n";
    if (v >= 18) {
        s += "12632256\n"; // spineBackColor
    }
    if (v >= 19) {
        s += "1\n"; // spineAlign
    }
    if (v >= 25) {
        s += "-1294967296\n100\n2000\n7\n2\n.1/2/99\n.Saturday, January 2, 1999\n";
    }
    for (const char* face : {"Arial", "   Arial Narrow", "Courier", "Symbol"}) {
        s += "-11\n0\n0\n0\n400\n0\n0\n0\n0\n0\n0\n0\n";
        s += face;
        s += "\n";
    }
    if (v != 16) {
        s += "1\n.BAK\n8421504\n-11\n0\n0\n0\n400\n0\n0\n0\n0\n0\n0\n0\nArial\n";
    }
    s += "2\n.A.TXT\n.1K\n1024\n0\n0\n0\n.SUB\n.[dir]\n0\n1\n0\n0\n1\n.B\n.\n5\n0\n0\n0\n";
    return s;
}

// A string record of an older layout with text "Hi" at the left-top of face 2.
Data oldStringRecord(std::size_t size, std::size_t fontAt, std::size_t colorsAt, bool aligned) {
    Record r(size);
    r.i32(0, 2).i32(4, 2).i32(8, 0).i32(12, 5).i32(16, -6).i32(20, 70).i32(24, -40);
    r.text(28, "Hi");
    r.i32(fontAt, -12).i32(fontAt + 16, 400).text(fontAt + 28, "Arial");
    r.i32(colorsAt, 0xFF).i32(colorsAt + 4, 0xFFFFFF).i32(colorsAt + 8, 180);
    r.i32(colorsAt + 12, 1).i32(colorsAt + 16, 1);
    if (aligned) {
        r.i32(colorsAt + 20, 2).i32(colorsAt + 24, 2);
    }
    return r.data;
}

// An image record of the layouts that have a head: the 168-byte image body at 28.
Data oldImageRecord(std::size_t size) {
    Record r(size);
    r.i32(0, 1).i32(4, 1).i32(8, 1).i32(12, 40).i32(16, -50).i32(20, 42).i32(24, -52);
    r.text(28, "logo.bmp");
    r.u16(156, 0x4D42).i32(158, 70).i32(166, 54);
    r.i32(180, 40).i32(184, -50).i32(188, 42).i32(192, -52);
    return r.data;
}

class OldVersionTest : public ::testing::TestWithParam<int> {};

TEST_P(OldVersionTest, SuppliesTheFieldsItsVersionLacks) {
    const int v = GetParam();
    FileBytes f;
    f.text(std::to_string(v) + "\n" + oldLabelBlock(v, -4));
    if (v >= 25) {
        f.text("2\n").raw(oldStringRecord(1140, 1052, 1112, true)).raw(oldImageRecord(1140));
    } else {
        f.text("2\n").raw(oldStringRecord(236, 156, 216, false)).raw(oldImageRecord(236));
    }
    f.raw(tinyDib());

    VAROINFO label;
    label.extStyles.resize(3);
    const LabelFileLoad load = decode(f.data, label);
    ASSERT_EQ(load.status, LabelFileStatus::Loaded);
    EXPECT_TRUE(load.complete) << load.problem << " at " << load.problemOffset;
    EXPECT_EQ(load.version, v);

    EXPECT_STREQ(label.volumeName, "OLD DISK");
    EXPECT_EQ(label.sortMode, 3);
    EXPECT_EQ(label.columns, 4) << "the column count is made positive";
    EXPECT_EQ(label.lined, v >= 25 ? 1 : 0) << "before 25 a negative count meant unlined";
    EXPECT_EQ(label.showSize, 0);
    EXPECT_EQ(label.showLogo, v >= 17 ? 0 : 1);
    EXPECT_EQ(label.lblFmt, v >= 17 ? 5 : 0);
    EXPECT_EQ(label.opposing, v >= 19 ? 1 : 0);
    EXPECT_EQ(label.bodyBackColor, v >= 18 ? 65535u : 0xFFFFFFu);
    EXPECT_EQ(label.spineBackColor, v >= 18 ? 12632256u : 0xFFFFFFu);
    EXPECT_EQ(label.spineAlign, v >= 19 ? 1 : 0);
    EXPECT_EQ(label.fileFontHeight, 30);
    EXPECT_EQ(label.spineColor, 128u);
    if (v >= 25) {
        EXPECT_EQ(label.spaceUsed, 3'000'000'000) << "a 32-bit figure that came out negative";
        EXPECT_EQ(label.fileCount, 7);
        EXPECT_STREQ(label.shortDate, "1/2/99");
    } else {
        EXPECT_EQ(label.spaceUsed, 0);
        EXPECT_EQ(label.spaceTotal, 0);
        EXPECT_EQ(label.fileCount, 0);
        EXPECT_EQ(std::string(label.shortDate), shortDateToday());
        EXPECT_EQ(std::string(label.longDate), longDateToday().substr(0, 63));
    }
    EXPECT_STREQ(label.folderFont.lfFaceName, "Arial Narrow") << "leading blanks are lost";
    ASSERT_EQ(label.extStyles.size(), 1u);
    EXPECT_STREQ(label.extStyles[0].extension, "BAK");

    ASSERT_EQ(label.entries.size(), 2u);
    ASSERT_TRUE(label.entries[1].child);
    EXPECT_STREQ(label.entries[1].child->entries[0].name, "B");
    EXPECT_EQ(label.entries[1].open, 0);

    ASSERT_EQ(label.objects.size(), 2u);
    const PlacedObject& text = label.objects[0];
    EXPECT_EQ(text.kind, OBJECT_STRING);
    EXPECT_STREQ(text.text, "Hi");
    EXPECT_EQ(text.page, 2);
    EXPECT_EQ(text.orientation, 180);
    EXPECT_STREQ(text.font.lfFaceName, "Arial");
    EXPECT_EQ(text.hAlign, v >= 25 ? 2 : 1) << "strings before alignment existed are centred";
    EXPECT_EQ(text.vAlign, v >= 25 ? 2 : 1);
    EXPECT_EQ(label.objects[1].kind, OBJECT_IMAGE);
    EXPECT_EQ(label.objects[1].dib, tinyDib());
}

INSTANTIATE_TEST_SUITE_P(Versions17To39, OldVersionTest,
                         ::testing::Values(17, 18, 19, 20, 24, 25, 30, 39));

TEST(LabelFileReadTest, Version16HasNoStylesAndOnlyImages) {
    // Image-only record: path, file header, pointer slots, then outline, page and layer.
    Record image(176);
    image.text(0, "C:\\PICS\\OLD.BMP").u16(128, 0x4D42).i32(130, 70).i32(138, 54);
    image.i32(152, 20).i32(156, -30).i32(160, 22).i32(164, -32).i32(168, 1).i32(172, 0);
    FileBytes f;
    f.text("1.6\n" + oldLabelBlock(16, 3) + "1\n").raw(image.data).raw(tinyDib());

    VAROINFO label;
    label.extStyles.resize(2);
    label.showLogo = 0;
    label.bodyBackColor = 0;
    const LabelFileLoad load = decode(f.data, label);
    ASSERT_EQ(load.status, LabelFileStatus::Loaded);
    EXPECT_TRUE(load.complete) << load.problem << " at " << load.problemOffset;
    EXPECT_EQ(load.version, 16);
    EXPECT_TRUE(label.extStyles.empty());
    EXPECT_EQ(label.showLogo, 1);
    EXPECT_EQ(label.lined, 1) << "a positive column count meant lined";
    EXPECT_EQ(label.bodyBackColor, 0xFFFFFFu);
    EXPECT_EQ(label.spineBackColor, 0xFFFFFFu);
    EXPECT_EQ(std::string(label.shortDate), shortDateToday());
    ASSERT_EQ(label.entries.size(), 2u);
    ASSERT_EQ(label.objects.size(), 1u);
    const PlacedObject& object = label.objects[0];
    EXPECT_EQ(object.kind, OBJECT_IMAGE);
    EXPECT_STREQ(object.imagePath, "C:\\PICS\\OLD.BMP");
    EXPECT_EQ(object.left, 20);
    EXPECT_EQ(object.bottom, -32);
    EXPECT_EQ(object.naturalTop, -30) << "the natural outline is the outline";
    EXPECT_EQ(object.naturalRight, 22);
    EXPECT_EQ(object.layer, LAYER_ON);
    EXPECT_EQ(object.dib, tinyDib());
}

TEST(LabelFileReadTest, VersionNumbersAsTheyAreSpelled) {
    const auto version = [](const char* text) {
        const std::string s = std::string(text) + "\n.x\n";
        return labelFileVersion(bytesOf(s));
    };
    EXPECT_EQ(version("1.6"), 16);
    EXPECT_EQ(version("16"), 16);
    EXPECT_EQ(version("41"), 41);
    EXPECT_EQ(version("  41.9"), 41);
    EXPECT_EQ(version("42"), kFirstUnreadableVersion);
    EXPECT_EQ(version("4000000000000"), kFirstUnreadableVersion);
    EXPECT_EQ(version("GIF89a"), -1);
    EXPECT_EQ(labelFileVersion({}), -1);
}

TEST(LabelFileReadTest, NewerVersionIsRefusedAfterTheLabelWasCleared) {
    VAROINFO label;
    buildKnownLabel(label);
    std::string file = encodeLabelFile(label);
    file.replace(0, 2, "42");
    const LabelFileLoad load = decode(bytesOf(file), label);
    EXPECT_EQ(load.status, LabelFileStatus::VersionRefused);
    EXPECT_TRUE(label.entries.empty());
    EXPECT_TRUE(label.objects.empty());
    EXPECT_STREQ(label.volumeName, "");
    EXPECT_EQ(label.spaceUsed, 0);
}

TEST(LabelFileReadTest, ColumnCountIsKeptWithinWhatTheMenusOffer) {
    // A damaged count would have the file list lay out a billion columns.
    for (const auto& [stored, read] :
         {std::pair{"1000000000", 5}, {"-2147483648", 5}, {"5", 5}, {"-3", 3}, {"0", 0}}) {
        VAROINFO label;
        decode(bytesOf(std::string("41\n.\n.\n1\n1\n") + stored + "\n1\n"), label);
        EXPECT_EQ(label.columns, read) << stored;
    }
}

TEST(LabelFileReadTest, ExtensionStylesPastWhatALineCanNameAreReadAndLeftOut) {
    VAROINFO label;
    buildKnownLabel(label);
    label.extStyles.resize(300);
    for (std::size_t i = 0; i < label.extStyles.size(); ++i) {
        copyTruncatedUtf8(label.extStyles[i].extension, ("E" + std::to_string(i)).c_str());
    }
    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(encodeLabelFile(label)), read);
    EXPECT_TRUE(load.complete) << load.problem;
    ASSERT_EQ(read.extStyles.size(), kMaxExtensionStyles);
    EXPECT_STREQ(read.extStyles.back().extension, "E254");
    expectSameTree(read, label); // what follows the styles is read in step
    EXPECT_EQ(read.objectCount(), label.objectCount());
}

TEST(LabelFileReadTest, UnderlineInMemoryIsLeftAsItWas) {
    VAROINFO source;
    source.fileFont = makeFont(-11, 400, "Arial");
    source.fileFont.lfUnderline = 1;
    const std::string file = encodeLabelFile(source);

    VAROINFO target;
    target.commentFont.lfUnderline = 1;
    decode(bytesOf(file), target);
    EXPECT_EQ(target.fileFont.lfUnderline, 0);
    EXPECT_EQ(target.commentFont.lfUnderline, 1) << "the reader does not touch it";
}

TEST(LabelFileReadTest, TextsAreCutToTheirFieldsOnACharacterBoundary) {
    // 62 ASCII characters, then a 3-byte character that would straddle the 63-byte limit.
    const std::string longName = std::string(62, 'n') + "\xE2\x82\xAC" + "tail";
    const std::string longComment(300, 'c');
    std::string file = "41\n." + longName + "\n." + longComment + "\n";
    VAROINFO label;
    decode(bytesOf(file), label);
    EXPECT_EQ(std::string(label.volumeName), std::string(62, 'n'));
    EXPECT_EQ(std::string(label.comment), std::string(255, 'c'))
        << "a comment longer than a short line is still read whole and then cut";
}

TEST(LabelFileReadTest, LabelBlockReadsFromCrLfLines) {
    // Template files hold the same block with CR LF line ends.
    VAROINFO source;
    buildKnownLabel(source);
    std::string block;
    LineWriter out(block, LineEnds::CrLf);
    writeLabelBlock(out, source);
    EXPECT_NE(block.find(".DISK ONE\r\n.\r\n2\r\n"), std::string::npos);

    VAROINFO target;
    LineReader in(block, LineEnds::CrLf);
    ASSERT_TRUE(readLabelBlock(in, target, 40)) << in.failure();
    EXPECT_TRUE(in.atEnd());
    EXPECT_STREQ(target.volumeName, "DISK ONE");
    EXPECT_STREQ(target.longDate, "Friday, July 17, 1998");
    EXPECT_EQ(target.spineFont, source.spineFont);
    ASSERT_EQ(target.extStyles.size(), 2u);
    EXPECT_STREQ(target.extStyles[1].font.lfFaceName, "");
    EXPECT_EQ(target.spaceTotal, 5'000'001'234);
}

// ---- round trips -------------------------------------------------------------------------

// A chain of folders `depth` deep, each holding a file and (but the last) the next folder.
void buildDeepTree(VAROINFO& node, int depth, int level = 0) {
    node.entries.push_back(
        entry(("f" + std::to_string(level) + ".txt").c_str(), "1K", 1000u + level));
    node.entries.back().align = level % 3;
    if (level + 1 < depth) {
        FileEntry dir = folder(("level" + std::to_string(level + 1)).c_str(), {});
        dir.open = level % 2;
        buildDeepTree(*dir.child, depth, level + 1);
        node.entries.push_back(std::move(dir));
    }
    node.entries.push_back(entry("z.big", "4.7G", 5'046'586'572u));
}

class RoundTripTest : public ::testing::TestWithParam<int> {};

TEST_P(RoundTripTest, TreeOfEveryDepthComesBackEntryForEntry) {
    VAROINFO label;
    buildKnownLabel(label);
    label.entries.clear();
    buildDeepTree(label, GetParam());
    const std::string first = encodeLabelFile(label);
    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(first), read);
    ASSERT_TRUE(load.complete) << load.problem;
    expectSameTree(read, label);
    EXPECT_EQ(encodeLabelFile(read), first) << "writing what was read gives the same bytes";
}

INSTANTIATE_TEST_SUITE_P(Depths, RoundTripTest, ::testing::Values(1, 2, 3, 5, 15, 40));

TEST(LabelFileRoundTripTest, NestingBeyondTheLimitEndsReadingThere) {
    VAROINFO label;
    buildDeepTree(label, kMaxCatalogDepth + 5);
    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(encodeLabelFile(label)), read);
    EXPECT_FALSE(load.complete);
    EXPECT_EQ(load.problem, "catalog nested too deep");
}

TEST(LabelFileRoundTripTest, CatalogBeyondTheMemoryCapEndsReadingThere) {
    // Room for ten files, or for two files and a folder; what fits is kept.
    const std::uint64_t cap = 10 * sizeof(FileEntry);
    struct Restore {
        std::uint64_t previous;
        ~Restore() { replaceCatalogByteCap(previous); }
    } restore{replaceCatalogByteCap(cap)};
    VAROINFO label;
    for (int i = 0; i < 10; ++i) {
        label.entries.push_back(entry(("f" + std::to_string(i)).c_str(), "1K", 1000));
    }
    VAROINFO read;
    EXPECT_TRUE(decode(bytesOf(encodeLabelFile(label)), read).complete) << "exactly at the cap";
    EXPECT_EQ(read.entryCount(), 10);

    label.entries.push_back(entry("one.more", "1K", 1000));
    LabelFileLoad load = decode(bytesOf(encodeLabelFile(label)), read);
    EXPECT_FALSE(load.complete);
    EXPECT_EQ(load.problem, "catalog larger than a label can hold");
    EXPECT_EQ(read.entryCount(), 10);

    label.entries.resize(2);
    label.entries.push_back(folder("sub", {}));
    label.entries.back().child->entries.push_back(entry("in.sub", "1K", 1000));
    load = decode(bytesOf(encodeLabelFile(label)), read);
    EXPECT_FALSE(load.complete) << "a folder's node costs far more than its entry";
    EXPECT_EQ(read.entryCount(), 3);
}

// ---- damaged files -----------------------------------------------------------------------

// The same head for every damage case: the known label block, then a tree and objects given
// by the case.
std::string knownHead() {
    VAROINFO label;
    buildKnownLabel(label);
    label.entries.clear();
    label.objects.clear();
    std::string file = encodeLabelFile(label);
    return file.substr(0, file.size() - 4); // without the empty tree and object count
}

TEST(LabelFileDamageTest, UntrustworthyCountsEndReadingAndKeepWhatWasRead) {
    struct Case {
        const char* what;
        std::string tail;
        std::size_t entries;
        std::size_t objects;
    };
    const std::vector<Case> cases = {
        {"negative entry count", "-3\n.A\n.\n1\n0\n0\n0\n0\n", 0, 0},
        {"entry count beyond the file", "2000000000\n.A\n.\n1\n0\n0\n0\n0\n", 0, 0},
        {"child count beyond the file", "1\n.D\n.[dir]\n0\n1\n1\n0\n99999\n.X\n", 1, 0},
        {"negative object count", "1\n.A\n.\n1\n0\n0\n0\n-1\n", 1, 0},
        {"object count beyond the file", "1\n.A\n.\n1\n0\n0\n0\n3\n", 1, 0},
        {"huge object count", "1\n.A\n.\n1\n0\n0\n0\n2147483647\n", 1, 0},
        {"number beyond 64 bits", "1\n.A\n.\n99999999999999999999999\n", 1, 0},
        {"text where a number belongs", "1\n.A\n.\nlarge\n0\n0\n0\n0\n", 1, 0},
    };
    for (const Case& c : cases) {
        VAROINFO label;
        const LabelFileLoad load = decode(bytesOf(knownHead() + c.tail), label);
        EXPECT_EQ(load.status, LabelFileStatus::Loaded) << c.what;
        EXPECT_FALSE(load.complete) << c.what;
        EXPECT_EQ(label.entries.size(), c.entries) << c.what;
        EXPECT_EQ(label.objects.size(), c.objects) << c.what;
        EXPECT_STREQ(label.volumeName, "DISK ONE") << c.what << ": the label block stays";
        EXPECT_EQ(label.extStyles.size(), 2u) << c.what;
    }
}

TEST(LabelFileDamageTest, DibBlockBeyondTheFileDropsOnlyThatImage) {
    VAROINFO label;
    buildKnownLabel(label);
    std::string file = encodeLabelFile(label);
    const std::size_t image = file.size() - 56 - 8308;
    // bfSize claims a 1 MB block; the file holds 56 bytes after the record.
    Record header(4);
    header.i32(0, 1 << 20);
    std::memcpy(file.data() + image + 158, header.data.data(), 4);

    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(file), read);
    EXPECT_FALSE(load.complete);
    ASSERT_EQ(read.objects.size(), 1u) << "the string before it stays";
    EXPECT_EQ(read.objects[0].kind, OBJECT_STRING);
    EXPECT_EQ(read.entries.size(), 2u);
}

TEST(LabelFileDamageTest, UnpaintableImageAndUnknownKindAreSkipped) {
    VAROINFO label;
    buildKnownLabel(label);
    label.objects[1].dib[4] = 0; // width 0: no picture, but the block is all there
    PlacedObject unknown;
    unknown.kind = 7;
    label.objects.push_back(unknown);
    PlacedObject last;
    last.kind = OBJECT_STRING;
    std::strcpy(last.text, "last");
    label.objects.push_back(last);

    VAROINFO read;
    const LabelFileLoad load = decode(bytesOf(encodeLabelFile(label)), read);
    EXPECT_TRUE(load.complete) << load.problem;
    EXPECT_EQ(load.droppedObjects, 2u);
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_STREQ(read.objects[1].text, "last");
}

TEST(LabelFileDamageTest, EveryTruncationLoadsWhatPrecedesIt) {
    VAROINFO label;
    buildKnownLabel(label);
    label.entries.clear();
    buildDeepTree(label, 4);
    const Data full = bytesOf(encodeLabelFile(label));
    std::size_t previousEntries = 0;
    for (std::size_t length = 0; length < full.size(); ++length) {
        const Data cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        VAROINFO read;
        const LabelFileLoad load = decode(cut, read);
        ASSERT_FALSE(load.complete) << "length " << length;
        if (length == 0) {
            ASSERT_EQ(load.status, LabelFileStatus::VersionRefused);
            continue;
        }
        ASSERT_EQ(load.status, LabelFileStatus::Loaded) << "length " << length;
        // More of the file never means less of the catalog.
        ASSERT_GE(read.entries.size(), previousEntries) << "length " << length;
        previousEntries = read.entries.size();
        for (const FileEntry& e : read.entries) {
            ASSERT_EQ(e.hasChild != 0, e.child != nullptr) << "length " << length;
        }
    }
    VAROINFO read;
    EXPECT_TRUE(decode(full, read).complete);
}

TEST(LabelFileDamageTest, BitFlippedFilesLoadWithoutHarm) {
    VAROINFO label;
    buildKnownLabel(label);
    label.entries.clear();
    buildDeepTree(label, 3);
    const Data full = bytesOf(encodeLabelFile(label));
    // The text part is where flips change structure; records and pixels only change values.
    const std::size_t textBytes = full.size() - 2 * 8308 - 56;
    std::mt19937 random(20240517);
    for (int round = 0; round < 3000; ++round) {
        Data mutant = full;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < flips; ++i) {
            const bool inText = random() % 4 != 0;
            const std::size_t at = inText ? random() % textBytes : random() % mutant.size();
            if (random() % 3 == 0) {
                mutant[at] = static_cast<std::uint8_t>("-0123456789\n.x"[random() % 14]);
            } else {
                mutant[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            }
        }
        VAROINFO read;
        const LabelFileLoad load = decode(mutant, read);
        ASSERT_NE(load.status, LabelFileStatus::CannotOpen) << "round " << round;
        for (const PlacedObject& object : read.objects) {
            if (object.kind == OBJECT_IMAGE) {
                ASSERT_TRUE(checkDib(object.fileHeader, object.dib).empty()) << "round " << round;
            }
        }
    }
}

// ---- files on disk -----------------------------------------------------------------------

TEST(LabelFileDiskTest, SaveAndLoadThroughTheFileSystem) {
    test::TempDir dir;
    test::MessageRecorder messages;
    VAROINFO label;
    buildKnownLabel(label);
    const std::string path = dir.file("disk.PMB");
    ASSERT_TRUE(saveLabelFile(path, label));
    EXPECT_EQ(bytesOf(test::readFile(path)), knownLabelFile());

    VAROINFO read;
    EXPECT_EQ(loadLabelFile(path, read).status, LabelFileStatus::Loaded);
    expectSameTree(read, label);
    EXPECT_TRUE(messages.messages().empty());

    VAROINFO untouched;
    buildKnownLabel(untouched);
    EXPECT_EQ(loadLabelFile(dir.file("missing.PMB"), untouched).status,
              LabelFileStatus::CannotOpen);
    EXPECT_EQ(untouched.entries.size(), 2u) << "a file that cannot be opened clears nothing";
    EXPECT_EQ(loadLabelFile(dir.path(), untouched).status, LabelFileStatus::CannotOpen);
}

TEST(LabelFileDiskTest, CommandLineLoadKeepsTheLabelWhenTheVersionIsRefused) {
    test::TempDir dir;
    const std::string path = dir.writeText("new.PMB", "43\n.FUTURE\n");
    VAROINFO label;
    buildKnownLabel(label);
    EXPECT_EQ(loadLabelFile(path, label, WhenRefused::LabelKept).status,
              LabelFileStatus::VersionRefused);
    EXPECT_STREQ(label.volumeName, "DISK ONE");
    EXPECT_EQ(loadLabelFile(path, label, WhenRefused::LabelCleared).status,
              LabelFileStatus::VersionRefused);
    EXPECT_STREQ(label.volumeName, "");
}

TEST(LabelFileDiskTest, FailedSaveIntoAMissingFolderReportsAndCreatesNothing) {
    test::TempDir dir;
    test::MessageRecorder messages;
    VAROINFO label;
    std::string problem;
    EXPECT_FALSE(saveLabelFile(dir.file("no/such/folder/x.PMB"), label, &problem));
    EXPECT_TRUE(messages.saw("Disk Error", "Error Saving Body\n\n" +
                                               dir.file("no/such/folder/x.PMB") + "\n" + problem));
    EXPECT_NE(problem.find("No such file"), std::string::npos) << problem;
}

TEST(LabelFileDiskTest, SaveFollowsASymbolicLinkAndKeepsPermissions) {
    test::TempDir dir;
    const std::string target = dir.writeText("real.PMB", "old");
    chmod(target.c_str(), 0640);
    const std::string link = dir.file("link.PMB");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    VAROINFO label;
    ASSERT_TRUE(saveLabelFile(link, label));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(test::readFile(target), encodeLabelFile(label));
}

// A 64 KB tmpfs, mounted for the test when the process may mount.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        }
        if (mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            umount(dir_.path().c_str());
        }
    }
    test::TempDir dir_;
    bool mounted_ = false;
};

TEST_F(FullDiskTest, SaveThatDoesNotFitLeavesTheOldFile) {
    VAROINFO small;
    buildKnownLabel(small);
    const std::string path = dir_.path() + "/label.PMB";
    ASSERT_TRUE(saveLabelFile(path, small));
    const std::string before = test::readFile(path);

    VAROINFO big;
    buildKnownLabel(big);
    for (int i = 0; i < 10; ++i) { // 10 x 8 KB records: more than the disk holds
        PlacedObject text;
        text.kind = OBJECT_STRING;
        big.objects.push_back(text);
    }
    test::MessageRecorder messages;
    std::string problem;
    EXPECT_FALSE(saveLabelFile(path, big, &problem));
    EXPECT_TRUE(messages.saw("Disk Error", "Error Saving Body\n\n" + path + "\n" + problem));
    EXPECT_EQ(messages.messages().at(0).flags & MB_ICONERROR, MB_ICONERROR);
    EXPECT_NE(problem.find("No space"), std::string::npos) << problem;
    EXPECT_EQ(test::readFile(path), before);
    // No temporary file is left behind.
    EXPECT_EQ(test::runCommand("test $(ls -A '" + dir_.path() + "' | wc -l) -eq 1"), 0);
}

} // namespace
} // namespace pelmora

namespace pelmora {
namespace {

// Replaces one of the caps for the life of a test.
struct CapOverride {
    std::uint64_t (*replace)(std::uint64_t);
    std::uint64_t previous;
    CapOverride(std::uint64_t (*r)(std::uint64_t), std::uint64_t cap)
        : replace(r), previous(r(cap)) {}
    ~CapOverride() { replace(previous); }
};

// Each limit of the reader: a label right at it is saved and read back whole, one just past it
// is refused with a message before anything is written, and the old file stays as it was.
TEST(LabelFileDiskTest, SaveWritesOnlyWhatReadsBackWhole) {
    test::TempDir dir;
    const std::string path = dir.file("limits.PMB");
    const std::string old = dir.writeText("limits.PMB", "41\nthe old label\n");

    auto atAndPast = [&](const std::string& what, VAROINFO& at, auto growOnePast,
                         const std::string& expectedProblem) {
        SCOPED_TRACE(what);
        test::MessageRecorder messages;
        ASSERT_TRUE(saveLabelFile(path, at));
        VAROINFO read;
        const LabelFileLoad load = loadLabelFile(path, read);
        EXPECT_TRUE(load.complete) << load.problem;
        EXPECT_EQ(load.droppedObjects, 0u);
        expectSameTree(read, at);
        EXPECT_EQ(read.objects.size(), at.objects.size());
        EXPECT_EQ(test::readFile(path).size(), labelFileBytes(at)) << "the size is exact";

        dir.writeText("limits.PMB", "41\nthe old label\n");
        growOnePast(at);
        std::string problem;
        EXPECT_FALSE(saveLabelFile(path, at, &problem));
        EXPECT_NE(problem.find(expectedProblem), std::string::npos) << problem;
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].caption, "Disk Error");
        EXPECT_EQ(messages.messages()[0].text,
                  "Error Saving Body\n\nThe label was not saved: " + problem + ".");
        EXPECT_EQ(test::readFile(path), "41\nthe old label\n") << "nothing was written";
        EXPECT_EQ(test::runCommand("test $(ls -A '" + dir.path() + "' | wc -l) -eq 1"), 0)
            << "no temporary file is left";
    };

    VAROINFO objects;
    buildKnownLabel(objects);
    objects.objects.resize(kMaxPlacedObjects - 1);
    for (PlacedObject& object : objects.objects) {
        object.kind = OBJECT_STRING;
        std::strcpy(object.text, "x");
    }
    PlacedObject image;
    image.kind = OBJECT_IMAGE;
    image.fileHeader.bfType = kBitmapFileType;
    image.fileHeader.bfOffBits = 14 + 40;
    image.dib = tinyDib();
    objects.objects.push_back(image);
    atAndPast(
        "4,096 placed objects", objects,
        [](VAROINFO& label) { label.objects.push_back(label.objects.front()); },
        "4097 placed objects");

    VAROINFO sized;
    buildKnownLabel(sized);
    sized.entries.push_back(entry("huge.img", "8E", kMaxEntrySize));
    {
        CapOverride cap(replaceLabelFileByteCap, labelFileBytes(sized));
        atAndPast(
            "the file-size cap", sized,
            [](VAROINFO& label) { std::strcat(label.entries[0].name, "x"); },
            "label files are read back up to");
    }
    atAndPast(
        "the largest size", sized,
        [](VAROINFO& label) { label.entries.back().size = kMaxEntrySize + 1; },
        "a size in the catalog");

    VAROINFO deep;
    buildDeepTree(deep, kMaxCatalogDepth);
    atAndPast(
        "the deepest nesting", deep,
        [](VAROINFO& label) {
            label.entries.clear();
            buildDeepTree(label, kMaxCatalogDepth + 1);
        },
        "nested deeper");

    VAROINFO wide;
    for (int i = 0; i < 10; ++i) {
        wide.entries.push_back(entry(("f" + std::to_string(i)).c_str(), "1K", 1000));
    }
    CapOverride cap(replaceCatalogByteCap, 10 * sizeof(FileEntry));
    atAndPast(
        "the catalog cap", wide,
        [](VAROINFO& label) { label.entries.push_back(entry("one.more", "1K", 1)); },
        "catalog is larger");
}

} // namespace
} // namespace pelmora
