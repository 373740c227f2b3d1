#include "gdi_test_util.h"
#include "platform/gdi/devices.h"

#include <gtest/gtest.h>

namespace pelmora::gdi {
namespace {

using test::whiteImage;

POINT toDevice(const DeviceContext& dc, POINT p) {
    dc.LPtoDP(&p, 1);
    return p;
}

POINT toLogical(const DeviceContext& dc, POINT p) {
    dc.DPtoLP(&p, 1);
    return p;
}

DeviceCaps capsAt(int dpi) {
    DeviceCaps caps = displayCaps();
    caps.logPixelsX = dpi;
    caps.logPixelsY = dpi;
    return caps;
}

// --- fixed modes ------------------------------------------------------------------------------

TEST(GdiMapping, TextModeIsTheIdentity) {
    auto dc = createInformationContext(capsAt(96));
    EXPECT_EQ(dc->GetMapMode(), MM_TEXT);
    for (const POINT p : {POINT{0, 0}, POINT{17, -3}, POINT{-250, 4000}}) {
        EXPECT_EQ(toDevice(*dc, p), p);
        EXPECT_EQ(toLogical(*dc, p), p);
    }
}

TEST(GdiMapping, LoEnglishIsHundredthsOfAnInchWithYUp) {
    struct Case {
        int dpi;
        POINT logical;
        POINT device;
    };
    const Case cases[] = {
        {96, {100, -100}, {96, 96}},      {96, {356, -431}, {341, 413}}, // 341.76, 413.76 truncated
        {96, {0, 25}, {0, -24}},          {300, {100, -100}, {300, 300}},    {300, {1, -1}, {3, 3}},
        {300, {356, -431}, {1068, 1293}}, {1200, {356, -431}, {4272, 5172}},
    };
    for (const Case& c : cases) {
        auto dc = createInformationContext(capsAt(c.dpi));
        EXPECT_EQ(dc->SetMapMode(MM_LOENGLISH), MM_TEXT);
        EXPECT_EQ(toDevice(*dc, c.logical), c.device) << c.dpi << " dpi";
        SIZE window;
        SIZE viewport;
        dc->GetWindowExtEx(&window);
        dc->GetViewportExtEx(&viewport);
        EXPECT_EQ(window, (SIZE{100, 100}));
        EXPECT_EQ(viewport, (SIZE{c.dpi, -c.dpi}));
    }
}

TEST(GdiMapping, ExtentsCanOnlyBeSetInAnisotropicMode) {
    auto dc = createInformationContext(capsAt(96));
    // Ignored while a fixed mode is in force.
    EXPECT_TRUE(dc->SetViewportExtEx(500, 500));
    EXPECT_EQ(toDevice(*dc, POINT{10, 10}), (POINT{10, 10}));
    dc->SetMapMode(MM_LOENGLISH);
    EXPECT_TRUE(dc->SetWindowExtEx(1, 1));
    SIZE window;
    dc->GetWindowExtEx(&window);
    EXPECT_EQ(window, (SIZE{100, 100}));

    // Anisotropic starts from the extents in force and then takes new ones.
    EXPECT_EQ(dc->SetMapMode(MM_ANISOTROPIC), MM_LOENGLISH);
    EXPECT_EQ(toDevice(*dc, POINT{100, -100}), (POINT{96, 96}));
    SIZE previous;
    EXPECT_TRUE(dc->SetViewportExtEx(72, -72, &previous));
    EXPECT_EQ(previous, (SIZE{96, -96}));
    EXPECT_FALSE(dc->SetViewportExtEx(0, -72));

    // Back to a fixed mode resets the extents; a bad mode changes nothing.
    EXPECT_EQ(dc->SetMapMode(MM_TEXT), MM_ANISOTROPIC);
    EXPECT_EQ(toDevice(*dc, POINT{100, -100}), (POINT{100, -100}));
    EXPECT_EQ(dc->SetMapMode(3), 0);
    EXPECT_EQ(dc->GetMapMode(), MM_TEXT);
}

// --- anisotropic arithmetic -------------------------------------------------------------------

TEST(GdiMapping, ScaledViewportTruncatesTowardZero) {
    auto dc = createInformationContext(capsAt(96));
    dc->SetMapMode(MM_LOENGLISH);
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetViewportExtEx(72, -72); // the label mapping at window scale 0.75
    EXPECT_EQ(toDevice(*dc, POINT{355, -431}), (POINT{255, 310}));   // 255.6, 310.32
    EXPECT_EQ(toDevice(*dc, POINT{-355, 431}), (POINT{-255, -310})); // not -256, -311
    EXPECT_EQ(toDevice(*dc, POINT{-1, 1}), (POINT{0, 0}));           // -0.72 -> 0
    EXPECT_EQ(toLogical(*dc, POINT{255, 310}), (POINT{354, -430}));  // 354.17, -430.56
    EXPECT_EQ(toLogical(*dc, POINT{-1, -1}), (POINT{-1, 1}));        // -1.39, 1.39
}

TEST(GdiMapping, OriginsShiftBothSides) {
    auto dc = createInformationContext(capsAt(96));
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowExtEx(100, 100);
    dc->SetViewportExtEx(96, -96);
    POINT previous;
    EXPECT_TRUE(dc->SetWindowOrgEx(10, 20, &previous));
    EXPECT_EQ(previous, (POINT{0, 0}));
    dc->SetViewportOrgEx(5, 7);
    // D = (L - window origin) * viewport extent / window extent + viewport origin
    EXPECT_EQ(toDevice(*dc, POINT{110, -80}), (POINT{5 + 96, 7 + 96}));
    EXPECT_EQ(toDevice(*dc, POINT{10, 20}), (POINT{5, 7}));
    EXPECT_EQ(toLogical(*dc, POINT{5 + 96, 7 + 96}), (POINT{110, -80}));
    POINT origin;
    dc->GetWindowOrgEx(&origin);
    EXPECT_EQ(origin, (POINT{10, 20}));
    dc->GetViewportOrgEx(&origin);
    EXPECT_EQ(origin, (POINT{5, 7}));
}

TEST(GdiMapping, LargeCoordinatesUseWideIntermediates) {
    auto dc = createInformationContext(capsAt(1200));
    dc->SetMapMode(MM_LOENGLISH);
    // 20,000,000 * 1200 overflows 32 bits; the result itself fits.
    EXPECT_EQ(toDevice(*dc, POINT{20'000'000, -1'000'000}), (POINT{240'000'000, 12'000'000}));
    POINT many[3] = {{0, 0}, {100, -100}, {-100, 100}};
    EXPECT_TRUE(dc->LPtoDP(many, 3));
    EXPECT_EQ(many[2], (POINT{-1200, -1200}));
    EXPECT_FALSE(dc->LPtoDP(nullptr, 1));
}

// --- device capabilities ----------------------------------------------------------------------

TEST(GdiDeviceCaps, ImageReportsItsResolutionAndSize) {
    QImage image = whiteImage(600, 300, 300);
    auto dc = createImageDC(image);
    EXPECT_EQ(dc->GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_EQ(dc->GetDeviceCaps(LOGPIXELSY), 300);
    EXPECT_EQ(dc->GetDeviceCaps(HORZRES), 600);
    EXPECT_EQ(dc->GetDeviceCaps(VERTRES), 300);
    EXPECT_EQ(dc->GetDeviceCaps(HORZSIZE), 51); // 2 in = 50.8 mm
    EXPECT_EQ(dc->GetDeviceCaps(VERTSIZE), 25);
    EXPECT_EQ(dc->GetDeviceCaps(RASTERCAPS), RC_STRETCHDIB | RC_DIBTODEV | RC_BITBLT);
    EXPECT_EQ(dc->GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(dc->GetDeviceCaps(12345), 0);

    QImage plain(10, 10, QImage::Format_RGB32); // Qt's default 3780 dots per metre
    EXPECT_EQ(createImageDC(plain)->GetDeviceCaps(LOGPIXELSX), 96);
}

TEST(GdiDeviceCaps, DisplayIsA96DpiScreen) {
    // The offscreen platform's pretend screen is not taken for a display.
    const DeviceCaps caps = displayCaps();
    EXPECT_EQ(caps.logPixelsX, 96);
    EXPECT_EQ(caps.logPixelsY, 96);
    EXPECT_EQ(caps.horzRes, 1920);
    EXPECT_EQ(caps.vertRes, 1080);
    EXPECT_EQ(caps.horzSizeMm, 508);
    EXPECT_EQ(caps.vertSizeMm, 286);
    EXPECT_EQ(caps.rasterCaps, RC_STRETCHDIB | RC_DIBTODEV | RC_BITBLT);
}

} // namespace
} // namespace pelmora::gdi
