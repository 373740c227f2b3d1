#include "gdi_test_util.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/dib.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace pelmora::gdi {
namespace {

using test::DibBytes;
using test::inkBounds;
using test::kWhite;
using test::makeDib;
using test::putU32;
using test::whiteImage;

const std::vector<QRgb> kPalette = {qRgb(0, 0, 0),     qRgb(255, 0, 0),   qRgb(0, 255, 0),
                                    qRgb(0, 0, 255),   qRgb(255, 255, 0), qRgb(0, 255, 255),
                                    qRgb(255, 0, 255), qRgb(128, 64, 32)};

// A picture with no symmetry: pixel (x, y) of a w x h picture, as a palette index.
std::uint32_t patternIndex(int x, int y) {
    return static_cast<std::uint32_t>((x + 3 * y) % 8);
}

// Checks that `image` shows the picture `expected(x, y)` (w x h, upright) scaled `scale` times
// with its top-left corner at `at`.
void expectPicture(const QImage& image, QPoint at, int w, int h, int scale,
                   const std::function<QRgb(int, int)>& expected) {
    for (int y = 0; y < h * scale; ++y) {
        for (int x = 0; x < w * scale; ++x) {
            ASSERT_EQ(image.pixel(at.x() + x, at.y() + y),
                      expected(x / scale, y / scale) | 0xFF000000u)
                << "device pixel " << at.x() + x << "," << at.y() + y;
        }
    }
    EXPECT_EQ(inkBounds(image), QRect(at, QSize(w * scale, h * scale)));
}

// --- drawing ------------------------------------------------------------------------------------

TEST(GdiStretchDib, PaletteAndTrueColourDoubledInTextMode) {
    struct Case {
        int bits;
        int width;
    };
    // Widths that leave padding at the end of each row.
    for (const Case c : {Case{1, 11}, Case{4, 5}, Case{8, 5}, Case{24, 5}, Case{32, 3}}) {
        SCOPED_TRACE(c.bits);
        const int height = 3;
        const auto colour = [&](int x, int y) {
            return c.bits == 1 ? kPalette[patternIndex(x, y) & 1] : kPalette[patternIndex(x, y)];
        };
        const DibBytes dib = makeDib(
            c.width, height, c.bits,
            c.bits == 1 ? std::vector<QRgb>(kPalette.begin(), kPalette.begin() + 2) : kPalette,
            [&](int x, int y) {
                return c.bits <= 8 ? patternIndex(x, y) & ((1u << c.bits) - 1) : colour(x, y);
            });
        QImage image = whiteImage(40, 20);
        auto dc = createImageDC(image);
        dc->SetStretchBltMode(COLORONCOLOR);
        EXPECT_EQ(dc->StretchDIBits(4, 2, 2 * c.width, 2 * height, 0, 0, c.width, height, dib.ref(),
                                    DIB_RGB_COLORS, SRCCOPY),
                  height);
        expectPicture(image, QPoint(4, 2), c.width, height, 2, colour);
    }
}

TEST(GdiStretchDib, UprightInTheYUpMappingWithANegativeHeight) {
    const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
    QImage image = whiteImage(200, 200);
    auto dc = createImageDC(image);
    dc->SetMapMode(MM_LOENGLISH);
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowExtEx(100, 100);
    dc->SetViewportExtEx(200, -200); // 2 px per unit, y up
    dc->SetStretchBltMode(COLORONCOLOR);
    // The painters' call: positive width, negative height from the top-left corner.
    EXPECT_EQ(dc->StretchDIBits(10, -20, 5, -3, 0, 0, 5, 3, dib.ref(), DIB_RGB_COLORS, SRCCOPY), 3);
    expectPicture(image, QPoint(20, 40), 5, 3, 2,
                  [](int x, int y) { return kPalette[patternIndex(x, y)]; });
}

TEST(GdiStretchDib, TopDownRowsAndNegativeExtentsMirror) {
    const auto colour = [](int x, int y) { return kPalette[patternIndex(x, y)]; };
    {
        SCOPED_TRACE("top-down DIB");
        const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex, true);
        QImage image = whiteImage(40, 20);
        auto dc = createImageDC(image);
        EXPECT_EQ(dc->StretchDIBits(0, 0, 10, 6, 0, 0, 5, -3, dib.ref(), DIB_RGB_COLORS, SRCCOPY),
                  3);
        expectPicture(image, QPoint(0, 0), 5, 3, 2, colour);
    }
    {
        SCOPED_TRACE("negative width");
        const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
        QImage image = whiteImage(40, 20);
        auto dc = createImageDC(image);
        dc->StretchDIBits(10, 0, -10, 6, 0, 0, 5, 3, dib.ref(), DIB_RGB_COLORS, SRCCOPY);
        expectPicture(image, QPoint(0, 0), 5, 3, 2, [&](int x, int y) { return colour(4 - x, y); });
    }
    {
        SCOPED_TRACE("negative device height");
        const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
        QImage image = whiteImage(40, 20);
        auto dc = createImageDC(image);
        dc->StretchDIBits(0, 6, 10, -6, 0, 0, 5, 3, dib.ref(), DIB_RGB_COLORS, SRCCOPY);
        expectPicture(image, QPoint(0, 0), 5, 3, 2, [&](int x, int y) { return colour(x, 2 - y); });
    }
}

TEST(GdiStretchDib, SourceOriginIsTheLowerLeftOfABottomUpDib) {
    const DibBytes dib = makeDib(5, 4, 8, kPalette, patternIndex);
    QImage image = whiteImage(20, 20);
    auto dc = createImageDC(image);
    // Columns 1..3 of the two bottom rows (upright rows 2 and 3).
    dc->StretchDIBits(0, 0, 3, 2, 1, 0, 3, 2, dib.ref(), DIB_RGB_COLORS, SRCCOPY);
    expectPicture(image, QPoint(0, 0), 3, 2, 1,
                  [](int x, int y) { return kPalette[patternIndex(x + 1, y + 2)]; });

    // Of a top-down DIB, the top rows.
    const DibBytes topDown = makeDib(5, 4, 8, kPalette, patternIndex, true);
    image.fill(Qt::white);
    dc->StretchDIBits(0, 0, 3, 2, 1, 0, 3, 2, topDown.ref(), DIB_RGB_COLORS, SRCCOPY);
    expectPicture(image, QPoint(0, 0), 3, 2, 1,
                  [](int x, int y) { return kPalette[patternIndex(x + 1, y)]; });
}

TEST(GdiStretchDib, IndexesBeyondTheColourTableAreBlack) {
    // Two colours in the table, indexes up to 7 in the pixels.
    const DibBytes dib = makeDib(8, 1, 8, {qRgb(255, 0, 0), qRgb(0, 255, 0)},
                                 [](int x, int) { return static_cast<std::uint32_t>(x); });
    const QImage picture = dibToImage(dib.ref());
    ASSERT_EQ(picture.size(), QSize(8, 1));
    EXPECT_EQ(picture.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(picture.pixel(1, 0), 0xFF00FF00u);
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(picture.pixel(x, 0), 0xFF000000u) << x;
    }
}

TEST(GdiStretchDib, HalftoneSmoothsColorOnColorDoesNot) {
    const DibBytes dib = makeDib(
        2, 1, 24, {}, [](int x, int) { return x == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
    const auto distinctColours = [&](int mode) {
        QImage image = whiteImage(40, 4);
        image.fill(Qt::red);
        auto dc = createImageDC(image);
        dc->SetStretchBltMode(mode);
        dc->StretchDIBits(0, 0, 40, 4, 0, 0, 2, 1, dib.ref(), DIB_RGB_COLORS, SRCCOPY);
        std::set<QRgb> colours;
        for (int x = 0; x < 40; ++x) {
            colours.insert(image.pixel(x, 1));
        }
        return colours.size();
    };
    EXPECT_EQ(distinctColours(COLORONCOLOR), 2u);
    EXPECT_GT(distinctColours(HALFTONE), 4u);
}

TEST(GdiStretchDib, ClipRegionApplies) {
    const DibBytes dib = makeDib(4, 4, 24, {}, [](int, int) { return qRgb(0, 0, 255); });
    QImage image = whiteImage(20, 20);
    auto dc = createImageDC(image);
    dc->SelectClipRgn(CreateRectRgn(0, 0, 6, 20));
    dc->StretchDIBits(2, 2, 8, 8, 0, 0, 4, 4, dib.ref(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(inkBounds(image), QRect(QPoint(2, 2), QPoint(5, 9)));
}

TEST(GdiStretchDib, InformationContextsCountScanLinesAndRecord) {
    const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
    std::vector<DrawRecord> records;
    auto dc = createRecordingDC(displayCaps(), records);
    dc->SetMapMode(MM_LOENGLISH);
    EXPECT_EQ(dc->StretchDIBits(100, -100, 50, -25, 0, 0, 5, 3, dib.ref(), DIB_RGB_COLORS, SRCCOPY),
              3);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, DrawRecord::Kind::StretchDib);
    EXPECT_EQ(records[0].logicalRect, (RECT{100, -100, 150, -125}));
    EXPECT_EQ(records[0].deviceRect, (RECT{96, 96, 144, 120}));
    EXPECT_EQ(records[0].sourceRect, (RECT{0, 0, 5, 3}));
}

// --- compressed and bit-field pixels -------------------------------------------------------------

// Every component 0 or 255, so each is exact at 5 and 6 bits as well.
const std::vector<QRgb> kPure = {qRgb(0, 0, 0),     qRgb(255, 0, 0),    qRgb(0, 255, 0),
                                 qRgb(0, 0, 255),   qRgb(255, 255, 0),  qRgb(0, 255, 255),
                                 qRgb(255, 0, 255), qRgb(255, 255, 255)};

// A 5 x 2 picture as indexes into kPure, upright, and its run-length code (rows bottom-up):
// encoded runs (alternating at 4 bits), absolute runs (padded to a word), end of line and
// end of picture.
constexpr std::uint8_t kPicture[2][5] = {{1, 1, 2, 3, 4}, {5, 6, 5, 6, 7}};
const std::vector<std::uint8_t> kRle8 = {0, 4, 5, 6, 5, 6, 1, 7, 0, 0, 2,
                                         1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 1};
const std::vector<std::uint8_t> kRle4 = {4, 0x56, 1,    0x70, 0, 0, 2, 0x11,
                                         0, 3,    0x23, 0x40, 0, 0, 0, 1};

// A w x h DIB with kPure as colour table whose pixels are run-length `codes`.
DibBytes runLength(int w, int h, bool four, std::vector<std::uint8_t> codes) {
    DibBytes dib = makeDib(w, h, four ? 4 : 8, kPure, [](int, int) { return 0u; });
    putU32(dib.info, 16, four ? BI_RLE4 : BI_RLE8);
    dib.bits = std::move(codes);
    return dib;
}

// kPicture in 16- or 32-bit rows, bottom-up, under a header of `headerSize` bytes. The red,
// green, blue (and alpha) `masks` place the colours and, for BI_BITFIELDS, are stored from
// offset 40: after a 40-byte header, inside a later one.
DibBytes packed(std::uint32_t headerSize, int bitCount, std::uint32_t compression,
                std::array<std::uint32_t, 4> masks) {
    DibBytes dib;
    dib.info.assign(std::max<std::size_t>(headerSize, 56), 0);
    putU32(dib.info, 0, headerSize);
    putU32(dib.info, 4, 5);
    putU32(dib.info, 8, 2);
    dib.info[12] = 1;
    dib.info[14] = static_cast<std::uint8_t>(bitCount);
    putU32(dib.info, 16, compression);
    for (std::size_t i = 0; i < 4 && compression == BI_BITFIELDS; ++i) {
        putU32(dib.info, 40 + 4 * i, masks[i]);
    }
    const std::size_t bytes = static_cast<std::size_t>(bitCount) / 8;
    const std::size_t stride = (5 * bytes + 3) / 4 * 4;
    dib.bits.assign(stride * 2, 0);
    for (std::size_t y = 0; y < 2; ++y) {
        for (std::size_t x = 0; x < 5; ++x) {
            const QRgb c = kPure[kPicture[y][x]];
            const std::uint32_t v = (qRed(c) ? masks[0] : 0) | (qGreen(c) ? masks[1] : 0) |
                                    (qBlue(c) ? masks[2] : 0) | masks[3];
            for (std::size_t b = 0; b < bytes; ++b) {
                dib.bits[(1 - y) * stride + x * bytes + b] =
                    static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
    }
    return dib;
}

QImage paintDoubled(const DibBytes& dib) {
    QImage image = whiteImage(14, 8);
    auto dc = createImageDC(image);
    EXPECT_EQ(dc->StretchDIBits(2, 2, 10, 4, 0, 0, 5, 2, dib.ref(), DIB_RGB_COLORS, SRCCOPY), 2);
    return image;
}

TEST(GdiStretchDib, EveryLoadableFormatPaintsLikeTheSamePictureAt24Bits) {
    const QImage expected =
        paintDoubled(makeDib(5, 2, 24, {}, [](int x, int y) { return kPure[kPicture[y][x]]; }));
    ASSERT_EQ(inkBounds(expected), QRect(2, 2, 10, 4));
    const struct {
        const char* name;
        DibBytes dib;
    } formats[] = {
        {"RLE8", runLength(5, 2, false, kRle8)},
        {"RLE4", runLength(5, 2, true, kRle4)},
        {"16-bit 5-5-5", packed(40, 16, BI_RGB, {0x7C00, 0x03E0, 0x1F, 0})},
        {"16-bit bit fields 5-6-5", packed(40, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x1F, 0})},
        // Red in the low byte: only the masks say so.
        {"32-bit bit fields, V5 header with alpha",
         packed(124, 32, BI_BITFIELDS, {0xFF, 0xFF00, 0xFF0000, 0xFF000000u})},
    };
    for (const auto& format : formats) {
        SCOPED_TRACE(format.name);
        EXPECT_EQ(paintDoubled(format.dib), expected);
    }
}

TEST(GdiStretchDib, BrokenRunLengthCodePaintsWhatItDecodedAndNoMore) {
    // A 4 x 3 picture; expected rows top to bottom, '.' = left as it was (white).
    const struct {
        const char* name;
        bool four;
        std::vector<std::uint8_t> codes;
        std::array<const char*, 3> rows;
    } cases[] = {
        {"data ends inside a row", false, {4, 1, 0, 0, 2, 2, 0}, {"....", "22..", "1111"}},
        {"run past the right edge", false, {255, 3, 0, 0, 0, 1}, {"....", "....", "3333"}},
        {"4-bit run past the right edge", true, {255, 0x12, 0, 1}, {"....", "....", "1212"}},
        {"delta inside the picture", false, {1, 1, 0, 2, 1, 1, 2, 5}, {"....", "..55", "1..."}},
        {"delta past the top", false, {1, 1, 0, 2, 1, 200, 2, 2}, {"....", "....", "1..."}},
        {"absolute run longer than the data", false, {0, 4, 1, 2}, {"....", "....", "12.."}},
        {"4-bit absolute run cut off", true, {0, 5, 0x34}, {"....", "....", "34.."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DibBytes dib = runLength(4, 3, c.four, {});
        // An exactly sized block, so that a read past its end is caught by the sanitizer.
        const auto codes = std::make_unique<std::uint8_t[]>(c.codes.size());
        std::copy(c.codes.begin(), c.codes.end(), codes.get());
        const DibRef ref{dib.info.data(), dib.info.size(), codes.get(), c.codes.size()};
        QImage image = whiteImage(4, 3);
        EXPECT_EQ(createImageDC(image)->StretchDIBits(0, 0, 4, 3, 0, 0, 4, 3, ref, DIB_RGB_COLORS,
                                                      SRCCOPY),
                  3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const char want = c.rows[static_cast<std::size_t>(y)][x];
                EXPECT_EQ(image.pixel(x, y), want == '.' ? kWhite : kPure[want - '0'])
                    << "pixel " << x << "," << y;
            }
        }
    }
}

// --- refusals -----------------------------------------------------------------------------------

struct Corruption {
    const char* name;
    std::function<void(DibBytes&)> apply;
    const char* reason;
};

TEST(GdiStretchDib, CorruptDibsAreRefusedWithoutDrawing) {
    const Corruption corruptions[] = {
        {"last row's padding missing", [](DibBytes& d) { d.bits.resize(d.bits.size() - 1); },
         "pixel rows beyond the bits block"},
        {"a row and more missing", [](DibBytes& d) { d.bits.resize(d.bits.size() - 9); },
         "pixel rows beyond the bits block"},
        {"no bits", [](DibBytes& d) { d.bits.clear(); }, "pixel rows beyond the bits block"},
        {"huge width", [](DibBytes& d) { putU32(d.info, 4, 0x7FFFFFFF); }, "picture too large"},
        {"huge area",
         [](DibBytes& d) {
             putU32(d.info, 4, 20000);
             putU32(d.info, 8, 20000);
         },
         "picture too large"},
        {"most negative height", [](DibBytes& d) { putU32(d.info, 8, 0x80000000u); },
         "picture too large"},
        {"zero width", [](DibBytes& d) { putU32(d.info, 4, 0); }, "biWidth not positive"},
        {"negative width", [](DibBytes& d) { putU32(d.info, 4, 0xFFFFFFFBu); },
         "biWidth not positive"},
        {"zero height", [](DibBytes& d) { putU32(d.info, 8, 0); }, "biHeight is 0"},
        {"bad bit count", [](DibBytes& d) { d.info[14] = 2; }, "unsupported biBitCount"},
        {"two planes", [](DibBytes& d) { d.info[12] = 2; }, "biPlanes not 1"},
        {"unknown compression", [](DibBytes& d) { putU32(d.info, 16, 5); },
         "unsupported compression"},
        {"run-length rows top-down",
         [](DibBytes& d) {
             putU32(d.info, 16, BI_RLE8);
             putU32(d.info, 8, static_cast<std::uint32_t>(-3));
         },
         "run-length code needs 8 or 4 bits and bottom-up rows"},
        {"bit-field masks at 8 bits", [](DibBytes& d) { putU32(d.info, 16, BI_BITFIELDS); },
         "bit-field masks need 16 or 32 bits"},
        {"small biSize", [](DibBytes& d) { putU32(d.info, 0, 12); }, "biSize below 40"},
        {"biSize past the block", [](DibBytes& d) { putU32(d.info, 0, 4000); },
         "biSize beyond the info block"},
        {"colour table past the end", [](DibBytes& d) { d.info.resize(d.info.size() - 2); },
         "colour table beyond the info block"},
        {"more colours than the block holds",
         [](DibBytes& d) {
             putU32(d.info, 32, 0);
             d.info.resize(40 + 4 * 8);
         },
         "colour table beyond the info block"},
        {"truncated header", [](DibBytes& d) { d.info.resize(39); },
         "info block shorter than a BITMAPINFOHEADER"},
    };
    for (const Corruption& c : corruptions) {
        SCOPED_TRACE(c.name);
        DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
        c.apply(dib);
        // Copy into exactly sized blocks so that a read past the end is caught by the sanitizer.
        const std::unique_ptr<std::uint8_t[]> info =
            std::make_unique<std::uint8_t[]>(dib.info.size());
        std::copy(dib.info.begin(), dib.info.end(), info.get());
        const std::unique_ptr<std::uint8_t[]> bits =
            std::make_unique<std::uint8_t[]>(dib.bits.size());
        std::copy(dib.bits.begin(), dib.bits.end(), bits.get());
        const DibRef ref{info.get(), dib.info.size(), dib.bits.empty() ? nullptr : bits.get(),
                         dib.bits.size()};
        std::string reason;
        EXPECT_FALSE(readDibLayout(ref, &reason).has_value());
        EXPECT_EQ(reason, c.reason);
        QImage image = whiteImage(20, 20);
        auto dc = createImageDC(image);
        EXPECT_EQ(dc->StretchDIBits(0, 0, 10, 6, 0, 0, 5, 3, ref, DIB_RGB_COLORS, SRCCOPY), 0);
        EXPECT_TRUE(inkBounds(image).isEmpty());
    }
}

TEST(GdiStretchDib, OnlyRgbColoursAndSourceCopy) {
    const DibBytes dib = makeDib(5, 3, 8, kPalette, patternIndex);
    QImage image = whiteImage(20, 20);
    auto dc = createImageDC(image);
    EXPECT_EQ(dc->StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, dib.ref(), 1, SRCCOPY), 0);
    EXPECT_EQ(dc->StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, dib.ref(), DIB_RGB_COLORS, 0x00EE0086), 0);
    EXPECT_EQ(dc->StretchDIBits(0, 0, 5, 3, 0, 0, 0, 3, dib.ref(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_TRUE(inkBounds(image).isEmpty());
}

} // namespace
} // namespace pelmora::gdi
