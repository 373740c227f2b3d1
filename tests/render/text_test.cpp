#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"
#include "render/geometry.h"
#include "render/text.h"
#include "render/view_state.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace pelmora {
namespace {

using gdi::DeviceContext;

std::unique_ptr<DeviceContext> infoContext(int dpi) {
    gdi::DeviceCaps caps;
    caps.logPixelsX = dpi;
    caps.logPixelsY = dpi;
    caps.horzRes = 8 * dpi;
    caps.vertRes = 10 * dpi;
    caps.horzSizeMm = 203;
    caps.vertSizeMm = 254;
    return gdi::createInformationContext(caps);
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = theView; }
    void TearDown() override { theView = saved_; }
    ViewState saved_;
};

TEST_F(TextTest, CreatePointFontSizesInDevicePixels) {
    struct Case {
        int dpi;
        double scale;
        int tenths;
        int lfHeight;
    };
    const Case cases[] = {
        {96, 1.0, 80, -11},  // 106 tenths of a pixel, rounded
        {96, 1.5, 80, -16},  // 160 tenths
        {96, 1.0, 140, -19}, // 186 tenths
        {96, 0.5, 80, -5},   // 53 tenths
        {96, 0.75, 80, -8},  // 80 tenths
        {96, 1.25, 80, -13}, // 133 tenths
        {300, 1.0, 80, -33}, // 333 tenths
        {96, 1.0, 0, 0},
    };
    for (const Case& c : cases) {
        theView.windowScale = c.scale;
        auto dc = infoContext(c.dpi);
        LOGFONTA font;
        gdi::HFONT handle = CreatePointFont(*dc, "Arial", c.tenths, 0, 0, 1, 0, &font);
        ASSERT_TRUE(handle);
        EXPECT_EQ(font.lfHeight, c.lfHeight)
            << c.dpi << " dpi, scale " << c.scale << ", " << c.tenths << " tenths";
        EXPECT_EQ(handle->logFont, font);
    }
}

TEST_F(TextTest, CreatePointFontFillsTheRestOfTheRecord) {
    auto dc = infoContext(96);
    LOGFONTA font;
    CreatePointFont(*dc, "Arial", 80, 0, FONT_BOLD | FONT_ITALIC | FONT_STRIKEOUT, 1, 2700, &font);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, 2700);
    EXPECT_EQ(font.lfOrientation, 2700);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 1);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_EQ(font.lfClipPrecision, CLIP_LH_ANGLES);
    EXPECT_STREQ(font.lfFaceName, "Arial");

    CreatePointFont(*dc, "Times New Roman", 80, 0, FONT_UNDERLINE, 1, 0, &font);
    EXPECT_EQ(font.lfWeight, 0);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_STREQ(font.lfFaceName, "Times New Roman");
}

TEST_F(TextTest, PhysicalResolutionComesFromTheDeviceSize) {
    gdi::DeviceCaps caps;
    caps.logPixelsX = 96;
    caps.logPixelsY = 96;
    // 1200 pixels over 254 mm is 120 dots per inch.
    caps.horzRes = 1200;
    caps.vertRes = 1200;
    caps.horzSizeMm = 254;
    caps.vertSizeMm = 254;
    auto dc = gdi::createInformationContext(caps);
    LOGFONTA logical;
    LOGFONTA physical;
    CreatePointFont(*dc, "Arial", 100, 0, 0, 1, 0, &logical);
    CreatePointFont(*dc, "Arial", 100, 0, 0, 0, 0, &physical);
    EXPECT_EQ(logical.lfHeight, -13);  // 133 tenths
    EXPECT_EQ(physical.lfHeight, -17); // 166 tenths
}

TEST_F(TextTest, AGivenWidthStretchesTheAverageCharacterWidth) {
    auto dc = infoContext(96);
    LOGFONTA plain;
    CreatePointFont(*dc, "Arial", 80, 0, 0, 1, 0, &plain);
    dc->SelectObject(gdi::CreateFontIndirect(plain));
    gdi::TEXTMETRIC metrics;
    ASSERT_TRUE(dc->GetTextMetrics(&metrics));
    ASSERT_GT(metrics.tmAveCharWidth, 0);

    struct Case {
        int tenthsWidth;
        int pointX; // tenths of a pixel: 96 * width / 72
    };
    const Case cases[] = {{80, 106}, {160, 213}, {40, 53}};
    for (const Case& c : cases) {
        LOGFONTA font;
        gdi::HFONT handle = CreatePointFont(*dc, "Arial", 80, c.tenthsWidth, 0, 1, 0, &font);
        int expected =
            static_cast<int>(c.pointX * static_cast<double>(metrics.tmAveCharWidth) / 106 + 0.5);
        EXPECT_EQ(font.lfHeight, -11);
        EXPECT_EQ(font.lfWidth, expected) << c.tenthsWidth;
        EXPECT_EQ(handle->logFont.lfWidth, expected);
    }
    // The DC keeps the font it had.
    EXPECT_EQ(dc->currentFont()->logFont, plain);
}

TEST_F(TextTest, CreatePointFontRestoresTheDC) {
    auto dc = infoContext(96);
    SetLabelMapping(*dc);
    dc->SetViewportOrgEx(30, 40);
    dc->SetWindowOrgEx(-5, 6);
    CreatePointFont(*dc, "Arial", 80, 80, 0, 1, 0);
    POINT viewport;
    POINT window;
    dc->GetViewportOrgEx(&viewport);
    dc->GetWindowOrgEx(&window);
    EXPECT_EQ(viewport, (POINT{30, 40}));
    EXPECT_EQ(window, (POINT{-5, 6}));
    EXPECT_EQ(dc->GetMapMode(), gdi::MM_ANISOTROPIC);
}

TEST_F(TextTest, OnALabelMappedDCTheSizeIsTheSameAtEveryWindowScale) {
    int firstHeight = 0;
    for (double scale : {0.5, 0.75, 1.0, 1.25, 1.5}) {
        SCOPED_TRACE(::testing::Message() << "scale " << scale);
        theView.windowScale = scale;
        auto dc = infoContext(96);
        SetLabelMapping(*dc);
        LOGFONTA font;
        CreatePointFont(*dc, "Arial", 80, 0, 0, 1, 0, &font);
        EXPECT_EQ(font.lfHeight, -11);
        dc->SelectObject(gdi::CreateFontIndirect(font));
        gdi::TEXTMETRIC metrics;
        ASSERT_TRUE(dc->GetTextMetrics(&metrics));
        if (firstHeight == 0) {
            firstHeight = metrics.tmHeight;
        }
        // Whole device pixels: at 48 pixels per inch one pixel is two label units.
        EXPECT_NEAR(metrics.tmHeight, firstHeight, 100.0 / (96 * scale) + 1);
    }
}

// A font turned by 90 degrees and one text measured on a device that reports rotated
// extents and on one that does not.
TEST_F(TextTest, MeasureTextTurnsRotatedExtentsBack) {
    auto dc = infoContext(96);
    SetLabelMapping(*dc);
    const char* text = "Spine text";
    for (int angle : {90, 270}) {
        SCOPED_TRACE(::testing::Message() << "angle " << angle);
        dc->SelectObject(gdi::CreateFontIndirect([&] {
            LOGFONTA font;
            CreatePointFont(*dc, "Arial", 100, 0, 0, 1, angle * 10, &font);
            return font;
        }()));

        dc->setReportsRotatedExtents(false);
        SIZE plain;
        ASSERT_EQ(MeasureText(*dc, text, -1, angle, &plain), 1);
        EXPECT_GT(plain.cx, plain.cy);

        dc->setReportsRotatedExtents(true);
        SIZE raw;
        ASSERT_TRUE(dc->GetTextExtentPoint32(text, &raw));
        EXPECT_EQ(raw, (SIZE{plain.cy, plain.cx})) << "the knob must exchange the extent";
        SIZE turned;
        ASSERT_EQ(MeasureText(*dc, text, -1, angle, &turned), 1);
        EXPECT_EQ(turned, plain);

        // Angles other than 90 and 270 never probe: what the device says is the answer.
        SIZE unprobed;
        ASSERT_EQ(MeasureText(*dc, text, -1, 0, &unprobed), 1);
        EXPECT_EQ(unprobed, raw);
        ASSERT_EQ(MeasureText(*dc, text, -1, 180, &unprobed), 1);
        EXPECT_EQ(unprobed, raw);
    }
}

TEST_F(TextTest, MeasureTextHonoursTheLength) {
    auto dc = infoContext(96);
    dc->SelectObject(gdi::CreateFontIndirect([&] {
        LOGFONTA font;
        CreatePointFont(*dc, "Arial", 100, 0, 0, 1, 0, &font);
        return font;
    }()));
    SIZE whole;
    SIZE part;
    SIZE expected;
    ASSERT_EQ(MeasureText(*dc, "Wide text", -1, 0, &whole), 1);
    ASSERT_EQ(MeasureText(*dc, "Wide text", 4, 0, &part), 1);
    ASSERT_TRUE(dc->GetTextExtentPoint32("Wide", &expected));
    EXPECT_EQ(part, expected);
    EXPECT_GT(whole.cx, part.cx);
    EXPECT_EQ(whole.cy, part.cy);
}

TEST_F(TextTest, MeasureFontHeightIsTheCellHeightAndLeavesTheFontSelected) {
    auto dc = infoContext(96);
    LOGFONTA selected;
    CreatePointFont(*dc, "Arial", 140, 0, 0, 1, 0, &selected);
    dc->SelectObject(gdi::CreateFontIndirect(selected));

    LOGFONTA measured;
    CreatePointFont(*dc, "Arial", 80, 0, 0, 1, 0, &measured);
    gdi::TEXTMETRIC metrics;
    {
        auto other = infoContext(96);
        other->SelectObject(gdi::CreateFontIndirect(measured));
        ASSERT_TRUE(other->GetTextMetrics(&metrics));
    }
    EXPECT_EQ(MeasureFontHeight(*dc, measured), metrics.tmHeight);
    EXPECT_GE(metrics.tmHeight, 12);
    EXPECT_LE(metrics.tmHeight, 14);
    EXPECT_EQ(dc->currentFont()->logFont, selected);
}

// One text measured in label units on three devices of very different resolution. Fonts are
// realised at whole device pixels, so a small size on the screen is off by up to half a
// pixel of em (8 pt: 10.56 pixels become 11, 4 % wider); 18 pt is 23.04 pixels there, and the
// fine devices hit whole pixels at every size used here.
TEST_F(TextTest, TextWidthInLabelUnitsIsTheSameOnScreenImagesAndPrinter) {
    const char* text = "Pelmora catalogs 0123456789 removable disks";
    auto widthOn = [&](DeviceContext& dc, int tenths) {
        SetLabelMapping(dc);
        dc.SelectObject(CreatePointFont(dc, "Arial", tenths, 0, 0, 1, 0));
        SIZE size;
        EXPECT_EQ(MeasureText(dc, text, -1, 0, &size), 1);
        return size.cx;
    };
    auto imageAt = [](int dpi) {
        QImage image(800, 800, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(static_cast<int>(std::lround(dpi / 0.0254)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(dpi / 0.0254)));
        image.fill(Qt::white);
        return image;
    };
    QImage screenImage = imageAt(96);
    QImage printImage = imageAt(300);
    auto screen = gdi::createImageDC(screenImage);
    auto fine = gdi::createImageDC(printImage);
    ASSERT_EQ(screen->GetDeviceCaps(gdi::LOGPIXELSX), 96);
    ASSERT_EQ(fine->GetDeviceCaps(gdi::LOGPIXELSX), 300);
    test::TempDir folder;
    auto pdf = gdi::createPrinterIC("PDF", "", folder.file("x.pdf"));
    ASSERT_TRUE(pdf);

    for (int tenths : {80, 180}) {
        SCOPED_TRACE(::testing::Message() << tenths << " tenths of a point");
        double reference = widthOn(*fine, tenths);
        ASSERT_GT(reference, 100);
        EXPECT_NEAR(widthOn(*pdf, tenths), reference, reference * 0.02);
        if (tenths == 180) {
            EXPECT_NEAR(widthOn(*screen, tenths), reference, reference * 0.02);
        } else {
            EXPECT_NEAR(widthOn(*screen, tenths), reference, reference * 0.05);
        }
    }
}

} // namespace
} // namespace pelmora
