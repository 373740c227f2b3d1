#include "storage/image_loader.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/test_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using test::TempDir;

void patch32(std::string& file, std::size_t at, std::int64_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        file[at + i] = static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
}

void patch16(std::string& file, std::size_t at, unsigned value) {
    file[at] = static_cast<char>(value);
    file[at + 1] = static_cast<char>(value >> 8);
}

std::uint32_t dibField(const PlacedObject& object, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(object.dib.at(at + i)) << (8 * i);
    }
    return value;
}

// A BMP written byte by byte: colour table entry k is (k, k, k), pixel byte k is 7 * k.
struct Bmp {
    std::int32_t width = 4;
    std::int32_t height = 2;
    unsigned bitCount = 24;
    std::uint32_t compression = 0;
    std::int32_t xPels = 2835;
    std::int32_t yPels = 2835;
    std::uint32_t colours = 0; // table entries written and declared
    bool masks = false;        // three bit-field masks after the header

    std::string bytes() const {
        const std::size_t table = colours * 4 + (masks ? 12 : 0);
        const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
        const std::size_t pixels = rowBytes * static_cast<std::size_t>(std::abs(height));
        std::string file(54 + table + pixels, '\0');
        file[0] = 'B';
        file[1] = 'M';
        patch32(file, 2, static_cast<std::int64_t>(file.size()));
        patch32(file, 10, static_cast<std::int64_t>(54 + table));
        patch32(file, 14, 40);
        patch32(file, 18, width);
        patch32(file, 22, height);
        patch16(file, 26, 1);
        patch16(file, 28, bitCount);
        patch32(file, 30, compression);
        patch32(file, 34, static_cast<std::int64_t>(pixels));
        patch32(file, 38, xPels);
        patch32(file, 42, yPels);
        patch32(file, 46, colours);
        for (std::size_t k = 0; k < colours; ++k) {
            file[54 + 4 * k] = file[55 + 4 * k] = file[56 + 4 * k] = static_cast<char>(k);
        }
        if (masks) {
            patch32(file, 54, 0xFF0000);
            patch32(file, 58, 0x00FF00);
            patch32(file, 62, 0x0000FF);
        }
        for (std::size_t k = 0; k < pixels; ++k) {
            file[54 + table + k] = static_cast<char>(7 * k);
        }
        return file;
    }
};

// A JPEG made by the library's compressor from top-down rows, every component at full
// resolution so that flat 8 x 8 blocks come back almost exactly.
std::string jpegBytes(int width, int height, J_COLOR_SPACE space, int components,
                      const std::vector<std::uint8_t>& pixels) {
    return test::compressJpeg(width, height, space, components, pixels,
                              {.quality = 95, .fullResolution = true});
}

constexpr std::array<std::uint8_t, 3> kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255},
    kYellow{255, 255, 0};

// 16 x 16, one colour per 8 x 8 quadrant: red, green on top; blue, yellow below.
std::string quadrantJpeg() {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto& c = y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kYellow);
            rgb.insert(rgb.end(), c.begin(), c.end());
        }
    }
    return jpegBytes(16, 16, JCS_RGB, 3, rgb);
}

// Blue, green, red of pixel x in DIB row `row` (row 0 is the bottom of the picture).
std::array<int, 3> dibPixel(const PlacedObject& object, int x, int row) {
    const std::size_t rowBytes = (dibField(object, 4) * 3 + 3) & ~3u;
    const std::uint8_t* p = object.bits() + row * rowBytes + 3 * x;
    return {p[0], p[1], p[2]};
}

void expectColour(const PlacedObject& object, int x, int row, std::array<std::uint8_t, 3> rgb) {
    const std::array<int, 3> bgr = dibPixel(object, x, row);
    EXPECT_NEAR(bgr[0], rgb[2], 6) << "blue at " << x << "," << row;
    EXPECT_NEAR(bgr[1], rgb[1], 6) << "green at " << x << "," << row;
    EXPECT_NEAR(bgr[2], rgb[0], 6) << "red at " << x << "," << row;
}

void expectOutline(const PlacedObject& o, std::int32_t right, std::int32_t bottom) {
    EXPECT_EQ(o.left, 100);
    EXPECT_EQ(o.top, -100);
    EXPECT_EQ(o.right, right);
    EXPECT_EQ(o.bottom, bottom);
    EXPECT_EQ(o.naturalLeft, 100);
    EXPECT_EQ(o.naturalTop, -100);
    EXPECT_EQ(o.naturalRight, right);
    EXPECT_EQ(o.naturalBottom, bottom);
}

class ImageLoaderTest : public ::testing::Test {
protected:
    int load(const std::string& name, const std::string& contents) {
        object = PlacedObject{};
        return LoadImage(dir.writeText(name, contents), object);
    }
    TempDir dir;
    PlacedObject object;
};

TEST_F(ImageLoaderTest, BmpIsTakenOverWithItsDensitySettled) {
    Bmp bmp;
    bmp.width = 100;
    bmp.height = 50;
    bmp.xPels = bmp.yPels = 0;
    const std::string file = bmp.bytes();
    ASSERT_EQ(load("logo.bmp", file), 1);
    EXPECT_EQ(object.kind, OBJECT_IMAGE);
    EXPECT_EQ(object.imagePath, dir.file("logo.bmp"));
    EXPECT_EQ(object.fileHeader.bfType, kBitmapFileType);
    EXPECT_EQ(object.fileHeader.bfSize, file.size());
    EXPECT_EQ(object.bits(), object.dib.data() + 40);
    EXPECT_EQ(dibField(object, 24), 2835u);
    EXPECT_EQ(dibField(object, 28), 2835u);
    std::string expected = file.substr(14);
    patch32(expected, 24, 2835);
    patch32(expected, 28, 2835);
    EXPECT_EQ(std::string(object.dib.begin(), object.dib.end()), expected);
    expectOutline(object, 200, -150); // 1.00 x 0.50 inch

    bmp.xPels = 5670; // two pixels per 0.01 inch across
    bmp.yPels = 1417; // 100.035 units down, cut toward zero after subtracting from top
    ASSERT_EQ(load("dense.bmp", bmp.bytes()), 1);
    expectOutline(object, 150, -200);
}

TEST_F(ImageLoaderTest, ShortBfSizeMeansTheWholeFile) {
    for (std::int64_t bfSize : {0, 20}) {
        std::string file = Bmp{}.bytes();
        patch32(file, 2, bfSize);
        ASSERT_EQ(load("a.bmp", file), 1) << bfSize;
        EXPECT_EQ(object.fileHeader.bfSize, file.size());
        EXPECT_EQ(object.dib.size(), file.size() - 14);
    }
}

TEST_F(ImageLoaderTest, BmpsThatClaimWhatTheyDoNotHoldAreRefused) {
    const std::string good = Bmp{}.bytes(); // 4 x 2, 24 bits: 54 + 2 rows of 12 bytes
    struct Case {
        const char* what;
        std::size_t at;
        std::int64_t value;
        bool wide = true;
    };
    const Case cases[] = {
        {"bfSize beyond the end", 2, 79},
        {"pixels after the end", 10, 78},
        {"pixels in the header", 10, 40},
        {"header size 12", 14, 12},
        {"header beyond the block", 14, 100},
        {"width 0", 18, 0},
        {"negative width", 18, -4},
        {"width 30001", 18, 30001},
        {"height 0", 22, 0},
        {"height -30001", 22, -30001},
        {"rows beyond the block", 22, 3},
        {"bit count 7", 28, 7, false},
        {"JPEG inside", 30, 4},
        {"RLE8 at 24 bits", 30, 1},
        {"colour table beyond", 46, 1000},
    };
    for (const Case& c : cases) {
        std::string file = good;
        c.wide ? patch32(file, c.at, c.value) : patch16(file, c.at, static_cast<unsigned>(c.value));
        EXPECT_EQ(load("bad.bmp", file), 0) << c.what;
        EXPECT_TRUE(object.dib.empty()) << c.what;
    }

    std::string tooManyPixels = good; // 20000 x 20000 stays under the side limit
    patch32(tooManyPixels, 18, 20000);
    patch32(tooManyPixels, 22, 20000);
    EXPECT_EQ(checkDib(BitmapFileHeader{kBitmapFileType, 78, 0, 0, 54},
                       std::vector<std::uint8_t>(tooManyPixels.begin() + 14, tooManyPixels.end())),
              "the picture has too many pixels");

    Bmp rle;
    rle.bitCount = 8;
    rle.colours = 256;
    rle.compression = 1;
    std::string emptyRle = rle.bytes().substr(0, 54 + 1024); // ends where its pixels start
    patch32(emptyRle, 2, 0);
    EXPECT_EQ(load("empty-rle.bmp", emptyRle), 0);
    EXPECT_EQ(load("rle.bmp", rle.bytes()), 1);
}

TEST_F(ImageLoaderTest, EveryDepthAndRowOrderThatCanBePaintedIsAccepted) {
    Bmp topDown;
    topDown.height = -3;
    ASSERT_EQ(load("top-down.bmp", topDown.bytes()), 1);
    expectOutline(object, 104, -103);
    for (unsigned bits : {1u, 4u, 8u}) {
        Bmp palette;
        palette.bitCount = bits;
        palette.colours = 1u << bits;
        EXPECT_EQ(load("palette.bmp", palette.bytes()), 1) << bits;
    }
    Bmp fields;
    fields.bitCount = 32;
    fields.compression = 3;
    fields.masks = true;
    EXPECT_EQ(load("fields.bmp", fields.bytes()), 1);
    Bmp highColour;
    highColour.bitCount = 16;
    EXPECT_EQ(load("565.bmp", highColour.bytes()), 1);
}

TEST_F(ImageLoaderTest, DecoderIsChosenByJpgAnywhereInThePath) {
    const std::string jpeg = quadrantJpeg();
    EXPECT_EQ(load("photo.jpg.bmp", jpeg), 1);
    EXPECT_EQ(object.fileHeader.bfOffBits, 54u);
    EXPECT_EQ(load("PHOTO.JpG", jpeg), 1);
    EXPECT_EQ(load("photo.jpeg", Bmp{}.bytes()), 1);
    EXPECT_EQ(object.fileHeader.bfType, kBitmapFileType);
    EXPECT_EQ(load("photo.jpeg", jpeg), 0); // read as a BMP: no "BM"
    EXPECT_EQ(load("notes.bmp", "BX plain text"), 0);
    EXPECT_EQ(LoadImage(dir.file("missing.bmp"), object), 0);
    EXPECT_EQ(LoadImage(dir.makeDir("folder.jpg"), object), 0);

    const std::string longName(150, 'n');
    ASSERT_EQ(load(longName + ".bmp", Bmp{}.bytes()), 1);
    EXPECT_EQ(std::string(object.imagePath), dir.file(longName).substr(0, 127));
}

TEST_F(ImageLoaderTest, ColourJpegComesOutBlueGreenRedAndBottomUp) {
    ASSERT_EQ(load("q.jpg", quadrantJpeg()), 1);
    ASSERT_EQ(object.dib.size(), 48u * 16 + 40);
    for (int row : {0, 7}) { // bottom half of the picture
        expectColour(object, 0, row, kBlue);
        expectColour(object, 15, row, kYellow);
    }
    for (int row : {8, 15}) { // the first rows decoded
        expectColour(object, 0, row, kRed);
        expectColour(object, 15, row, kGreen);
    }
    expectOutline(object, 116, -116);
}

TEST_F(ImageLoaderTest, NarrowJpegRowsArePaddedToFourBytes) {
    std::vector<std::uint8_t> rgb(3 * 5 * 3, 200);
    ASSERT_EQ(load("narrow.jpg", jpegBytes(3, 5, JCS_RGB, 3, rgb)), 1);
    const std::uint32_t rowBytes = 12, imageBytes = rowBytes * 5;
    EXPECT_EQ(object.fileHeader.bfSize, imageBytes + 54);
    EXPECT_EQ(object.fileHeader.bfOffBits, 54u);
    EXPECT_EQ(object.fileHeader.bfType, 0); // not set for decoded images
    ASSERT_EQ(object.dib.size(), imageBytes + 40);
    const std::uint32_t header[] = {40, 3, 5, 1 | (24u << 16), 0, imageBytes, 2835, 2835, 0, 0};
    for (std::size_t i = 0; i < std::size(header); ++i) {
        EXPECT_EQ(dibField(object, 4 * i), header[i]) << "header word " << i;
    }
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(object.bits()[row * rowBytes + 9], 0); // pad bytes stay 0
        EXPECT_EQ(object.bits()[row * rowBytes + 11], 0);
    }
    expectOutline(object, 103, -105);
}

TEST_F(ImageLoaderTest, GreyAndCmykJpegsWriteOneSampleThreeTimes) {
    std::vector<std::uint8_t> grey;
    for (int y = 0; y < 16; ++y) {
        grey.insert(grey.end(), 8, static_cast<std::uint8_t>(y < 8 ? 40 : 220));
    }
    ASSERT_EQ(load("grey.jpg", jpegBytes(8, 16, JCS_GRAYSCALE, 1, grey)), 1);
    for (int row = 0; row < 16; ++row) {
        const std::array<int, 3> bgr = dibPixel(object, 5, row);
        EXPECT_EQ(bgr[0], bgr[1]);
        EXPECT_EQ(bgr[1], bgr[2]);
        EXPECT_NEAR(bgr[0], row < 8 ? 220 : 40, 6) << row; // bottom rows hold the light half
    }

    // CMYK is not colour: each row's first `width` samples, four per source pixel, in order.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < 64; ++i) {
        cmyk.insert(cmyk.end(), {20, 90, 160, 230});
    }
    ASSERT_EQ(load("print.jpg", jpegBytes(8, 8, JCS_CMYK, 4, cmyk)), 1);
    for (int x = 0; x < 8; ++x) {
        const std::array<int, 3> bgr = dibPixel(object, x, 3);
        EXPECT_EQ(bgr[0], bgr[2]);
        EXPECT_NEAR(bgr[0], 20 + 70 * (x % 4), 6) << x;
    }
}

TEST_F(ImageLoaderTest, HugeJpegIsRefusedBeforeAnythingIsAllocated) {
    std::string jpeg = quadrantJpeg();
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = '\xFD'; // 65000 x 65000 pixels
    jpeg[sof + 6] = jpeg[sof + 8] = '\xE8';
    EXPECT_EQ(load("huge.jpg", jpeg), 0);
    EXPECT_TRUE(object.dib.empty());
}

TEST_F(ImageLoaderTest, DamagedJpegsFailWithTheLibrarysMessage) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(load("notes.jpg", "just some text"), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");

    const std::string jpeg = quadrantJpeg();
    const std::size_t scanStart = jpeg.find("\xFF\xDA");
    ASSERT_NE(scanStart, std::string::npos);
    testing::internal::CaptureStderr();
    for (std::size_t length = 0; length < jpeg.size(); ++length) {
        const int loaded = load("cut.jpg", jpeg.substr(0, length));
        if (length <= scanStart) {
            EXPECT_EQ(loaded, 0) << length;
        }
        // Cut inside the scan data, the library pads the rest and warns; what loads is whole.
        EXPECT_EQ(object.dib.size(), loaded ? 48u * 16 + 40 : 0u) << length;
    }
    for (std::size_t at = 0; at < jpeg.size(); ++at) {
        std::string flipped = jpeg;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
        if (load("flip.jpg", flipped)) {
            EXPECT_EQ(object.dib.size(), object.fileHeader.bfSize - 14) << at;
        }
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(ImageLoaderTest, DamagedBmpsFailOrLoadWhole) {
    Bmp bmp;
    bmp.width = 5;
    bmp.height = 3;
    bmp.bitCount = 8;
    bmp.colours = 16;
    const std::string file = bmp.bytes();
    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_EQ(load("cut.bmp", file.substr(0, length)), 0) << length;
    }
    for (std::size_t bit = 0; bit < 54 * 8; ++bit) {
        std::string flipped = file;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
        if (load("flip.bmp", flipped)) {
            EXPECT_EQ(checkDib(object.fileHeader, object.dib), "") << bit;
        }
    }
}

TEST(LabelPaletteTest, EntriesFollowTheColourCubeWithWhiteAtOne) {
    const LabelPalette palette = BuildLabelPalette();
    EXPECT_EQ(palette[0], (LabelPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(palette[1], (LabelPaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(palette[9], (LabelPaletteEntry{32, 32, 0, 0}));
    EXPECT_EQ(palette[66], (LabelPaletteEntry{64, 0, 64, 0}));
    EXPECT_EQ(palette[255], (LabelPaletteEntry{224, 224, 192, 0}));
}

} // namespace
} // namespace pelmora
