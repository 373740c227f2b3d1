// Values a damaged or hostile file can hold at the edges of their 32-bit fields: what the
// readers make of them, and that the layout, the fonts and the pictures built from them stay
// within what the program can lay out, realise and hold in memory.

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/file_list.h"
#include "render/geometry.h"
#include "render/view_state.h"
#include "storage/image_loader.h"
#include "storage/label_block.h"
#include "storage/label_file.h"
#include "storage/settings_store.h"
#include "storage/template_file.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <limits>
#include <span>
#include <vector>

namespace pelmora {
namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

LOGFONTA extremeFont(std::int32_t height, std::int32_t width, std::int32_t weight) {
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    std::strcpy(font.lfFaceName, "Arial");
    return font;
}

// A label whose every font, line height and sort direction sits at the edge of its field,
// as a hostile file can state them; the program's own writers put them on disk.
VAROINFO extremeLabel() {
    VAROINFO label;
    label.fileFont = extremeFont(kIntMax, kIntMin, kIntMax);
    label.folderFont = extremeFont(kIntMin, kIntMax, kIntMin);
    label.commentFont = extremeFont(-11, 0, 400);
    label.spineFont = extremeFont(kIntMax, 0, 1001);
    label.fileFontHeight = kIntMax;
    label.folderFontHeight = kIntMin;
    label.commentFontHeight = 15;
    label.direction = 7;
    ExtensionStyle& style = label.extStyles.emplace_back();
    std::strcpy(style.extension, "TXT");
    style.font = extremeFont(-20, 0, kIntMax);
    PlacedObject& text = label.objects.emplace_back();
    text.kind = OBJECT_STRING;
    std::strcpy(text.text, "Hi");
    text.right = 100;
    text.bottom = -50;
    text.font = extremeFont(kIntMin, 5, kIntMax);
    return label;
}

void expectBroughtIntoRange(const VAROINFO& label, bool hasLineHeights) {
    EXPECT_EQ(label.fileFont.lfHeight, kMaxFontSize);
    EXPECT_EQ(label.fileFont.lfWidth, -kMaxFontSize);
    EXPECT_EQ(label.fileFont.lfWeight, kMaxFontWeight);
    EXPECT_EQ(label.folderFont.lfHeight, -kMaxFontSize);
    EXPECT_EQ(label.folderFont.lfWidth, kMaxFontSize);
    EXPECT_EQ(label.folderFont.lfWeight, 0);
    EXPECT_EQ(label.commentFont.lfHeight, -11) << "values in range stay as they are";
    EXPECT_EQ(label.commentFont.lfWeight, 400);
    EXPECT_EQ(label.spineFont.lfWeight, kMaxFontWeight);
    EXPECT_EQ(label.direction, 1);
    ASSERT_EQ(label.extStyles.size(), 1u);
    EXPECT_EQ(label.extStyles[0].font.lfWeight, kMaxFontWeight);
    if (hasLineHeights) {
        EXPECT_EQ(label.fileFontHeight, kMaxLineHeight);
        EXPECT_EQ(label.folderFontHeight, 0);
        EXPECT_EQ(label.commentFontHeight, 15);
    }
}

TEST(HostileValuesTest, LabelFilesAndTemplatesKeepFontsLineHeightsAndDirectionInRange) {
    const VAROINFO written = extremeLabel();
    {
        SCOPED_TRACE("label file");
        const std::string file = encodeLabelFile(written);
        VAROINFO label;
        const LabelFileLoad load = decodeLabelFile(
            std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()), label);
        ASSERT_TRUE(load.complete) << load.problem;
        expectBroughtIntoRange(label, true);
        ASSERT_EQ(label.objects.size(), 1u);
        EXPECT_EQ(label.objects[0].font.lfHeight, -kMaxFontSize) << "the string's own record";
        EXPECT_EQ(label.objects[0].font.lfWidth, 5);
        EXPECT_EQ(label.objects[0].font.lfWeight, kMaxFontWeight);
    }
    {
        SCOPED_TRACE("template");
        VAROINFO label;
        const TemplateContents contents = decodeTemplate(encodeTemplate(written), label);
        ASSERT_TRUE(contents.labelBlockRead) << contents.problem;
        expectBroughtIntoRange(label, true);
        ASSERT_EQ(contents.objects.size(), 1u);
        EXPECT_EQ(contents.objects[0].font.lfHeight, -kMaxFontSize);
        EXPECT_EQ(contents.objects[0].font.lfWeight, kMaxFontWeight);
    }
}

TEST(HostileValuesTest, SettingsKeepFontsColumnsDirectionAndLevelsInRange) {
    test::TempDir dir;
    const std::string ini =
        dir.writeText("Pelmora.ini", "[vexo]\n"
                                     "DispSub=-2147483648\n"
                                     "Columns0=2147483647\nDirection0=2147483647\n"
                                     "Columns1=-2147483648\nDirection1=-9\n"
                                     "Columns2=5\n"
                                     "Font0_lfHeight=-2147483648\nFont0_lfWidth=2147483647\n"
                                     "Font0_lfWeight=2147483647\n"
                                     "Exts0=1\nExtFont0_0_lfHeight=2147483647\n"
                                     "ExtFont0_0_lfWeight=-2147483648\n");
    LabelSet labels;
    CatalogSettings catalog;
    ViewState view;
    PaintSettings paint;
    PrinterIdentity printer;
    ProgramSettings program;
    ReadSettings(labels, catalog, view, paint, printer, program, ini);

    EXPECT_EQ(catalog.scanLevels, -kAllLevels) << "all levels, folders only";
    EXPECT_EQ(labels.labels[0].columns, 64);
    EXPECT_EQ(labels.labels[0].direction, 1);
    EXPECT_EQ(labels.labels[1].columns, 64);
    EXPECT_EQ(labels.labels[1].lined, 0) << "a negative count still means unlined";
    EXPECT_EQ(labels.labels[1].direction, -1);
    EXPECT_EQ(labels.labels[2].columns, 5);
    const LOGFONTA& font = labels.labels[0].fileFont;
    EXPECT_EQ(font.lfHeight, -kMaxFontSize);
    EXPECT_EQ(font.lfWidth, kMaxFontSize);
    EXPECT_EQ(font.lfWeight, kMaxFontWeight);
    ASSERT_EQ(labels.labels[0].extStyles.size(), 1u);
    EXPECT_EQ(labels.labels[0].extStyles[0].font.lfHeight, kMaxFontSize);
    EXPECT_EQ(labels.labels[0].extStyles[0].font.lfWeight, 0);
}

// Fonts and line heights that never went through a reader (a label built in memory) still lay
// out and realise: the arithmetic on them is wide enough for any 32-bit value.
TEST(HostileValuesTest, ExtremeLineHeightsAndWeightsNeitherOverflowNorMisbehave) {
    const ViewState saved = theView;
    theView = ViewState{};
    VAROINFO label;
    PlaceFace(1, 1, 0, label);
    const RECT body = PlacedBodyRect(label, 1, 1.0);
    for (const std::int32_t height : {kIntMax, kIntMax - 1}) {
        label.fileFontHeight = height;
        label.folderFontHeight = 0;
        const FileListGrid grid(label, body, 1.0, 2, 1);
        EXPECT_LE(grid.rows, 0) << "no row of that height fits a face";
        EXPECT_GT(grid.lineUnit, static_cast<double>(kIntMax) - 1);
    }
    label.fileFontHeight = 12;
    label.folderFontHeight = 14;
    EXPECT_GT(FileListGrid(label, body, 1.0, 2, 1).rows, 10) << "ordinary heights keep working";
    theView = saved;

    const std::unique_ptr<gdi::DeviceContext> ic =
        gdi::createInformationContext(gdi::displayCaps());
    const struct {
        std::int32_t weight;
        QFont::Weight realised;
    } weights[] = {{kIntMax, QFont::Black}, {kIntMax - 49, QFont::Black}, {850, QFont::Black},
                   {700, QFont::Bold},      {0, QFont::Normal},           {kIntMin, QFont::Normal}};
    for (const auto& w : weights) {
        ic->SelectObject(gdi::CreateFontIndirect(extremeFont(-12, 0, w.weight)));
        EXPECT_EQ(gdi::realisedFont(*ic).weight(), w.realised) << "lfWeight " << w.weight;
    }
}

// A picture of `width` x `height` 8-bit pixels, colour 1 (red) in its left half and colour 2
// (blue) in its right half; run-length coded, or stored row by row.
struct HalvedPicture {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;

    HalvedPicture(int width, int height, bool runLength) : info(40 + 3 * 4) {
        put(0, 40);
        put(4, static_cast<std::uint32_t>(width));
        put(8, static_cast<std::uint32_t>(height));
        put(12, 1 | (8u << 16));
        put(16, runLength ? 1 : 0);
        put(32, 3);
        put(40 + 4, 0x00FF0000); // colour 1: red (blue, green, red, reserved)
        put(40 + 8, 0x000000FF); // colour 2: blue
        for (int y = 0; y < height; ++y) {
            if (runLength) {
                runs(width / 2, 1);
                runs(width - width / 2, 2);
                bits.insert(bits.end(), {0, 0});
            } else {
                const std::size_t row = bits.size();
                bits.resize(row + (static_cast<std::size_t>(width) + 3) / 4 * 4, 2);
                std::fill_n(bits.begin() + static_cast<std::ptrdiff_t>(row), width / 2, 1);
            }
        }
        if (runLength) {
            bits.insert(bits.end(), {0, 1});
        }
    }

    gdi::DibRef ref() const { return {info.data(), info.size(), bits.data(), bits.size()}; }

private:
    void put(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            info[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    void runs(int count, std::uint8_t index) {
        for (; count > 0; count -= 255) {
            bits.insert(bits.end(), {static_cast<std::uint8_t>(std::min(count, 255)), index});
        }
    }
};

// Shown small, only the device's pixels are decoded; shown large, only the part on the device.
// Either way the device shows what the whole picture would give.
TEST(HostileValuesTest, HugePicturesPaintWhatShowsOfThemAtTheDevicesSize) {
    constexpr QRgb kRed = 0xFFFF0000;
    constexpr QRgb kBlue = 0xFF0000FF;
    const HalvedPicture pictures[] = {{30000, 1000, true}, {2400, 2000, false}};
    for (const HalvedPicture& picture : pictures) {
        const int width = static_cast<int>(picture.info[4] | (picture.info[5] << 8));
        const int height = static_cast<int>(picture.info[8] | (picture.info[9] << 8));
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const struct {
            const char* what;
            int x, w;
            QRgb left, right;
        } cases[] = {{"whole, small", 0, 60, kRed, kBlue},
                     {"mirrored", 60, -60, kBlue, kRed},
                     {"left end of a huge copy", 0, 60 * 1000, kRed, kRed},
                     {"right end of a huge copy", 60 - 60 * 1000, 60 * 1000, kBlue, kBlue}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            QImage image(60, 20, QImage::Format_RGB32);
            image.fill(Qt::white);
            {
                const std::unique_ptr<gdi::DeviceContext> dc = gdi::createImageDC(image);
                dc->StretchDIBits(c.x, 0, c.w, 20, 0, 0, width, height, picture.ref(),
                                  gdi::DIB_RGB_COLORS, gdi::SRCCOPY);
            }
            EXPECT_EQ(image.pixel(2, 10), c.left);
            EXPECT_EQ(image.pixel(57, 10), c.right);
            EXPECT_EQ(image.pixel(29, 2), c.left);
            EXPECT_EQ(image.pixel(30, 17), c.right);
        }
    }
}

// A JPEG decodes into a DIB the label keeps, paints and saves: one wider than any DIB may be
// is refused at once rather than loaded, left unpainted and dropped from the saved file.
TEST(HostileValuesTest, JpegsWiderThanADibMayBeAreRefused) {
    test::TempDir dir;
    PlacedObject widest;
    ASSERT_EQ(LoadImage(dir.writeText("widest.jpg", test::greyJpeg(kMaxDibSide, 1, 128)), widest),
              1);
    EXPECT_EQ(checkDib(widest.fileHeader, widest.dib), "");
    PlacedObject tooWide;
    EXPECT_EQ(
        LoadImage(dir.writeText("too_wide.jpg", test::greyJpeg(kMaxDibSide + 1, 1, 128)), tooWide),
        0);
    EXPECT_TRUE(tooWide.dib.empty());
}

} // namespace
} // namespace pelmora
