#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "render/view_state.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace pelmora {
namespace {

using gdi::DeviceContext;

class MappingTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = theView; }
    void TearDown() override { theView = saved_; }

    static std::unique_ptr<DeviceContext> screen() {
        gdi::DeviceCaps caps;
        caps.logPixelsX = 96;
        caps.logPixelsY = 96;
        caps.horzRes = 1024;
        caps.vertRes = 768;
        caps.horzSizeMm = 271;
        caps.vertSizeMm = 203;
        return gdi::createInformationContext(caps);
    }

    ViewState saved_;
};

TEST_F(MappingTest, SetLabelMappingScalesTheViewportAndReturnsThePreviousMode) {
    const std::pair<double, int> scales[] = {
        {0.5, 48}, {0.75, 72}, {1.0, 96}, {1.25, 120}, {1.5, 144}};
    for (const auto& [scale, pixels] : scales) {
        theView.windowScale = scale;
        auto dc = screen();
        EXPECT_EQ(SetLabelMapping(*dc), gdi::MM_TEXT) << scale;
        EXPECT_EQ(dc->GetMapMode(), gdi::MM_ANISOTROPIC);
        SIZE window;
        SIZE viewport;
        dc->GetWindowExtEx(&window);
        dc->GetViewportExtEx(&viewport);
        EXPECT_EQ(window, (SIZE{100, 100})) << scale;
        EXPECT_EQ(viewport, (SIZE{pixels, -pixels})) << scale;
        // A second mapping starts again from MM_LOENGLISH instead of scaling twice.
        EXPECT_EQ(SetLabelMapping(*dc), gdi::MM_ANISOTROPIC);
        dc->GetViewportExtEx(&viewport);
        EXPECT_EQ(viewport, (SIZE{pixels, -pixels})) << scale;
    }
}

TEST_F(MappingTest, LabelUnitsToPixelsAndBackTruncateTowardZero) {
    struct Case {
        double scale;
        POINT logical;
        POINT device;
        POINT back;
    };
    const Case cases[] = {
        // 48 pixels per inch: 356 * 0.48 = 170.88, 431 * 0.48 = 206.88.
        {0.5, {356, -431}, {170, 206}, {354, -429}},
        {0.5, {100, -100}, {48, 48}, {100, -100}},
        {0.75, {356, -431}, {256, 310}, {355, -430}},
        {1.0, {356, -431}, {341, 413}, {355, -430}},
        // Negative x and positive y truncate toward zero, not down.
        {1.0, {-10, 5}, {-9, -4}, {-9, 4}},
        {1.25, {356, -431}, {427, 517}, {355, -430}},
        {1.5, {356, -431}, {512, 620}, {355, -430}},
        {1.5, {1, -1}, {1, 1}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "scale " << c.scale << " point " << c.logical.x << "," << c.logical.y);
        theView.windowScale = c.scale;
        auto dc = screen();
        SetLabelMapping(*dc);
        POINT point = c.logical;
        ASSERT_TRUE(dc->LPtoDP(&point, 1));
        EXPECT_EQ(point, c.device);
        ASSERT_TRUE(dc->DPtoLP(&point, 1));
        EXPECT_EQ(point, c.back);
    }
}

TEST_F(MappingTest, RoundTripsLoseLessThanOnePixel) {
    for (double scale : {0.5, 0.75, 1.0, 1.25, 1.5}) {
        theView.windowScale = scale;
        auto dc = screen();
        SetLabelMapping(*dc);
        double unitsPerPixel = 100.0 / (96 * scale);
        for (int x = -450; x <= 450; x += 7) {
            POINT point{x, -x};
            dc->LPtoDP(&point, 1);
            dc->DPtoLP(&point, 1);
            // Both steps truncate toward zero: the point never moves away from the origin.
            EXPECT_LE(std::abs(point.x), std::abs(x)) << scale << " " << x;
            EXPECT_LE(std::abs(point.y), std::abs(x)) << scale << " " << x;
            EXPECT_LT(std::abs(x) - std::abs(point.x), unitsPerPixel + 1) << scale << " " << x;
            EXPECT_LT(std::abs(x) - std::abs(point.y), unitsPerPixel + 1) << scale << " " << x;
        }
    }
}

TEST_F(MappingTest, WindowBaseSizeInPixelsAtEveryScale) {
    struct Case {
        double scale;
        SIZE pixels;
    };
    // 416 x H label units through 0.96 * scale pixels per unit, truncated.
    const Case cases[] = {
        {0.5, {199, 244}},  // 416 x 510
        {0.75, {299, 352}}, // 416 x 490
        {1.0, {399, 460}},  // 416 x 480
        {1.25, {499, 576}}, // 416 x 480
        {1.5, {599, 691}},  // 416 x 480
    };
    for (const Case& c : cases) {
        theView.windowScale = c.scale;
        auto dc = screen();
        EXPECT_EQ(WindowBaseSizePixels(*dc), c.pixels) << c.scale;
        EXPECT_EQ(dc->GetMapMode(), gdi::MM_TEXT);
    }
}

TEST_F(MappingTest, MousePointsAndInvalidRectsConvertThroughTheLabelMapping) {
    theView.windowScale = 1.0;
    auto dc = screen();
    std::uint32_t packed = 341u | (413u << 16);
    EXPECT_EQ(DevicePointToLogical(*dc, packed), (POINT{355, -430}));
    EXPECT_EQ(dc->GetMapMode(), gdi::MM_TEXT);
    // Both halves are unsigned: 0xFFFF is far right, not -1.
    EXPECT_EQ(DevicePointToLogical(*dc, 0xFFFF0000u | 96u), (POINT{100, -68265}));

    theView.windowScale = 1.5;
    RECT face{0, 0, 356, -431};
    EXPECT_EQ(InvalidateLogicalRect(*dc, gdi::MM_LOENGLISH, face), (RECT{0, 0, 512, 620}));
    EXPECT_EQ(dc->GetMapMode(), gdi::MM_TEXT);
    EXPECT_EQ(InvalidateLogicalRect(*dc, gdi::MM_TEXT, face), face);

    SetLabelMapping(*dc);
    EXPECT_EQ(LogicalRectToDevice(*dc, RECT{-10, 5, 356, -431}), (RECT{-14, -7, 512, 620}));
}

} // namespace
} // namespace pelmora
