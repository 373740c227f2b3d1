#include "gdi_test_util.h"
#include "platform/gdi/devices.h"

#include <QFontInfo>
#include <gtest/gtest.h>
#include <limits>

namespace pelmora::gdi {
namespace {

using test::makeFont;
using test::whiteImage;

TEXTMETRIC metricsOf(DeviceContext& dc, const LOGFONTA& font) {
    HFONT previous = dc.SelectObject(CreateFontIndirect(font));
    TEXTMETRIC tm;
    EXPECT_TRUE(dc.GetTextMetrics(&tm));
    dc.SelectObject(previous);
    return tm;
}

SIZE extentOf(DeviceContext& dc, const LOGFONTA& font, const char* text) {
    HFONT previous = dc.SelectObject(CreateFontIndirect(font));
    SIZE size;
    EXPECT_TRUE(dc.GetTextExtentPoint32(text, &size));
    dc.SelectObject(previous);
    return size;
}

// --- realisation ------------------------------------------------------------------------------

TEST(GdiFontRealisation, ArialResolvesToLiberationSans) {
    // fontconfig substitutes the metric-compatible Liberation Sans (fonts-liberation) for Arial.
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -11)));
    const QFontInfo info(realisedFont(*dc));
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(info.pixelSize(), 11);
}

TEST(GdiFontRealisation, NegativeHeightIsTheEmInDevicePixels) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    const TEXTMETRIC tm = metricsOf(*dc, makeFont("Arial", -11));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);

    // In hundredths of an inch the em follows the device: 19 units = 18.24 px at 96 dpi,
    // 57 px at 300 dpi, 228 px at 1200 dpi.
    for (const auto& [dpi, em] : {std::pair{96, 18}, std::pair{300, 57}, std::pair{1200, 228}}) {
        DeviceCaps caps = displayCaps();
        caps.logPixelsX = caps.logPixelsY = dpi;
        auto ic = createInformationContext(caps);
        ic->SetMapMode(MM_LOENGLISH);
        ic->SelectObject(CreateFontIndirect(makeFont("Arial", -19)));
        EXPECT_EQ(QFontInfo(realisedFont(*ic)).pixelSize(), em) << dpi << " dpi";
    }
}

TEST(GdiFontRealisation, PositiveHeightIsTheCellHeight) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    for (int cell : {9, 12, 20, 33, 64}) {
        const TEXTMETRIC tm = metricsOf(*dc, makeFont("Arial", cell));
        EXPECT_NEAR(tm.tmHeight, cell, 1) << cell;
        EXPECT_LT(tm.tmHeight - tm.tmInternalLeading, tm.tmHeight) << cell;
    }
}

TEST(GdiFontRealisation, ZeroHeightGivesTheDefaultTwelvePoints) {
    auto dc = createInformationContext(displayCaps());
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", 0)));
    EXPECT_EQ(QFontInfo(realisedFont(*dc)).pixelSize(), 16);
}

TEST(GdiFontRealisation, SameRecordUnderAnotherMappingIsRealisedAgain) {
    auto dc = createInformationContext(displayCaps());
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -50)));
    EXPECT_EQ(QFontInfo(realisedFont(*dc)).pixelSize(), 50);
    dc->SetMapMode(MM_LOENGLISH);
    EXPECT_EQ(QFontInfo(realisedFont(*dc)).pixelSize(), 48);
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetViewportExtEx(48, -48);
    EXPECT_EQ(QFontInfo(realisedFont(*dc)).pixelSize(), 24);
}

TEST(GdiFontRealisation, WidthSetsTheAverageCharacterWidth) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    LOGFONTA font = makeFont("Arial", -20);
    const TEXTMETRIC natural = metricsOf(*dc, font);
    const SIZE naturalText = extentOf(*dc, font, "Wide and narrow");
    for (int width : {natural.tmAveCharWidth * 2, natural.tmAveCharWidth / 2}) {
        font.lfWidth = width;
        const TEXTMETRIC tm = metricsOf(*dc, font);
        EXPECT_NEAR(tm.tmAveCharWidth, width, 1) << width;
        EXPECT_EQ(tm.tmHeight, natural.tmHeight) << "the height stays";
        const SIZE text = extentOf(*dc, font, "Wide and narrow");
        EXPECT_NEAR(static_cast<double>(text.cx) / naturalText.cx,
                    static_cast<double>(width) / natural.tmAveCharWidth, 0.1);
    }
}

TEST(GdiFontRealisation, WeightItalicUnderlineStrikeOut) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    LOGFONTA font = makeFont("Arial", -20, FW_BOLD);
    font.lfItalic = 1;
    font.lfUnderline = 1;
    font.lfStrikeOut = 1;
    dc->SelectObject(CreateFontIndirect(font));
    const QFont realised = realisedFont(*dc);
    const QFontInfo info(realised);
    EXPECT_TRUE(info.bold());
    EXPECT_TRUE(info.italic());
    EXPECT_TRUE(realised.underline());
    EXPECT_TRUE(realised.strikeOut());
    EXPECT_EQ(metricsOf(*dc, font).tmWeight, FW_BOLD);

    // Liberation Sans Bold is really wider than the regular face.
    EXPECT_GT(extentOf(*dc, makeFont("Arial", -20, FW_BOLD), "Catalog").cx,
              extentOf(*dc, makeFont("Arial", -20, 0), "Catalog").cx);
    EXPECT_EQ(metricsOf(*dc, makeFont("Arial", -20, 0)).tmWeight, FW_NORMAL);
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -20, 300)));
    EXPECT_EQ(realisedFont(*dc).weight(), QFont::Light);
}

TEST(GdiFontRealisation, AbsurdSizesFromFilesAreCutBack) {
    QImage image = whiteImage(50, 50);
    auto dc = createImageDC(image);
    LOGFONTA font = makeFont("Arial", std::numeric_limits<std::int32_t>::min() + 1);
    font.lfWidth = std::numeric_limits<std::int32_t>::max();
    dc->SelectObject(CreateFontIndirect(font));
    EXPECT_EQ(QFontInfo(realisedFont(*dc)).pixelSize(), 16384);
    EXPECT_EQ(realisedFont(*dc).stretch(), 4000);
    TEXTMETRIC tm;
    EXPECT_TRUE(dc->GetTextMetrics(&tm));
    EXPECT_GT(tm.tmHeight, 16384);
    dc->SetTextCharacterExtra(std::numeric_limits<int>::max());
    EXPECT_TRUE(dc->TextOut(0, 0, "W"));
    dc->SelectObject(CreatePen(PS_SOLID, std::numeric_limits<int>::max(), RGB(0, 0, 0)));
    dc->MoveToEx(0, 0);
    EXPECT_TRUE(dc->LineTo(10, 10));
}

// --- metrics and extents ----------------------------------------------------------------------

TEST(GdiTextMetrics, HeightIsAscentPlusDescentInLogicalUnits) {
    struct Case {
        int dpi;
        int mapMode;
        int height;
    };
    for (const Case c :
         {Case{96, MM_TEXT, -11}, Case{96, MM_TEXT, 30}, Case{96, MM_LOENGLISH, -19},
          Case{300, MM_LOENGLISH, -11}, Case{1200, MM_LOENGLISH, -19}, Case{1200, MM_TEXT, -228}}) {
        DeviceCaps caps = displayCaps();
        caps.logPixelsX = caps.logPixelsY = c.dpi;
        auto dc = createInformationContext(caps);
        dc->SetMapMode(c.mapMode);
        const TEXTMETRIC tm = metricsOf(*dc, makeFont("Arial", c.height));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_GT(tm.tmDescent, 0);
        EXPECT_GE(tm.tmInternalLeading, 0);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        if (c.mapMode == MM_LOENGLISH && c.height == -19) {
            // Liberation Sans' cell is about 1.12 em; logical units do not depend on the dpi.
            EXPECT_NEAR(tm.tmHeight, 21, 1) << c.dpi << " dpi, " << c.height;
        }
    }
}

TEST(GdiTextExtent, AddsTheCharacterExtraPerCharacter) {
    QImage image = whiteImage(10, 10);
    auto dc = createImageDC(image);
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -14)));
    SIZE plain;
    dc->GetTextExtentPoint32("Label", &plain);
    TEXTMETRIC tm;
    dc->GetTextMetrics(&tm);
    EXPECT_EQ(plain.cy, tm.tmHeight);
    dc->SetTextCharacterExtra(3);
    SIZE spaced;
    dc->GetTextExtentPoint32("Label", &spaced);
    EXPECT_EQ(spaced.cx - plain.cx, 15);
    EXPECT_EQ(spaced.cy, plain.cy);
    SIZE empty;
    dc->GetTextExtentPoint32("", &empty);
    EXPECT_EQ(empty.cx, 0);
}

TEST(GdiTextExtent, RotatedExtentsAreExchangedOnlyWhenAsked) {
    auto dc = createInformationContext(displayCaps());
    SIZE upright;
    dc->SelectObject(CreateFontIndirect(makeFont("Arial", -14)));
    dc->GetTextExtentPoint32("BJC620Bug", &upright);
    ASSERT_GT(upright.cx, upright.cy);
    for (int escapement : {0, 900, 1800, 2700}) {
        dc->SelectObject(CreateFontIndirect(makeFont("Arial", -14, 0, escapement)));
        SIZE size;
        dc->setReportsRotatedExtents(false);
        dc->GetTextExtentPoint32("BJC620Bug", &size);
        EXPECT_EQ(size, upright) << escapement;
        dc->setReportsRotatedExtents(true);
        dc->GetTextExtentPoint32("BJC620Bug", &size);
        const bool sideways = escapement == 900 || escapement == 2700;
        EXPECT_EQ(size, sideways ? (SIZE{upright.cy, upright.cx}) : upright) << escapement;
    }
}

} // namespace
} // namespace pelmora::gdi
