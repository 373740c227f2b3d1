#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "render/text.h"
#include "render/view_state.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using gdi::DeviceContext;
using gdi::DrawRecord;

// The rectangle every case draws into: 200 wide, 100 high (top > bottom).
constexpr RECT kBox{20, -30, 220, -130};

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = theView;
        theView.windowScale = 1.0;
        dc_ = gdi::createRecordingDC(gdi::DeviceCaps{}, records_);
        SetLabelMapping(*dc_);
    }
    void TearDown() override { theView = saved_; }

    void selectFont(int angle, int tenths = 100) {
        dc_->SelectObject(CreatePointFont(*dc_, "Arial", tenths, 0, 0, 1, angle * 10));
    }
    SIZE measure(const char* text, int angle) {
        SIZE size;
        EXPECT_EQ(MeasureText(*dc_, text, -1, angle, &size), 1);
        return size;
    }
    std::vector<DrawRecord> texts() const {
        std::vector<DrawRecord> result;
        for (const DrawRecord& record : records_) {
            if (record.kind == DrawRecord::Kind::Text) {
                result.push_back(record);
            }
        }
        return result;
    }

    ViewState saved_;
    std::vector<DrawRecord> records_;
    std::unique_ptr<DeviceContext> dc_;
};

// The reference point of a single line, for every angle and every alignment. Along the text
// left / centre / right, across it top / vcentre / bottom; W is the advance, T the height of
// the whole block (one line here). The box is left 20, top -30, right 220, bottom -130, so
// width 200 and height -100.
TEST_F(DrawTextTest, FirstLineReferencePointForEveryAngleAndAlignment) {
    const char* text = "Label";
    struct Along {
        unsigned flag;
        int (*at)(int w);
    };
    struct Across {
        unsigned flag;
        int (*at)(int t);
    };
    struct AngleCase {
        int angle;
        bool alongIsX;
        Along along[3];
        Across across[3];
    };
    const AngleCase angles[] = {
        {0,
         true,
         {{DT_LEFT, [](int) { return 20; }},
          {DT_CENTER, [](int w) { return 20 + (200 - w) / 2; }},
          {DT_RIGHT, [](int w) { return 220 - w; }}},
         {{DT_TOP, [](int) { return -30; }},
          {DT_VCENTER, [](int t) { return -30 + (-100 + t) / 2; }},
          {DT_BOTTOM, [](int t) { return -130 + t; }}}},
        {90,
         false,
         {{DT_LEFT, [](int) { return -30; }},
          {DT_CENTER, [](int w) { return -130 - (-100 - w) / 2; }},
          {DT_RIGHT, [](int w) { return -130 + w; }}},
         {{DT_TOP, [](int) { return 220; }},
          {DT_VCENTER, [](int t) { return 20 + (200 + t) / 2; }},
          {DT_BOTTOM, [](int t) { return 20 + t; }}}},
        {180,
         true,
         {{DT_LEFT, [](int) { return 220; }},
          {DT_CENTER, [](int w) { return 220 - (200 - w) / 2; }},
          {DT_RIGHT, [](int w) { return 20 + w; }}},
         {{DT_TOP, [](int) { return -130; }},
          {DT_VCENTER, [](int t) { return -130 - (-100 + t) / 2; }},
          {DT_BOTTOM, [](int t) { return -30 - t; }}}},
        {270,
         false,
         {{DT_LEFT, [](int) { return -130; }},
          {DT_CENTER, [](int w) { return -30 + (-100 - w) / 2; }},
          {DT_RIGHT, [](int w) { return -30 - w; }}},
         {{DT_TOP, [](int) { return 20; }},
          {DT_VCENTER, [](int t) { return 20 + (200 - t) / 2; }},
          {DT_BOTTOM, [](int t) { return 220 - t; }}}},
    };
    int cases = 0;
    for (const AngleCase& a : angles) {
        selectFont(a.angle);
        SIZE size = measure(text, a.angle);
        ASSERT_GT(size.cx, size.cy) << "the advance runs along the text";
        for (const Along& along : a.along) {
            for (const Across& across : a.across) {
                SCOPED_TRACE(::testing::Message()
                             << "angle " << a.angle << " flags " << (along.flag | across.flag));
                records_.clear();
                MyDrawText(*dc_, text, -1, kBox, along.flag | across.flag, a.angle);
                auto drawn = texts();
                ASSERT_EQ(drawn.size(), 1u);
                int u = along.at(size.cx);
                int v = across.at(size.cy);
                POINT expected = a.alongIsX ? POINT{u, v} : POINT{v, u};
                EXPECT_EQ(drawn[0].logicalPoint, expected);
                EXPECT_EQ(drawn[0].text, text);
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 36);
}

TEST_F(DrawTextTest, DrawsClippedTransparentlyAndRestoresTheDC) {
    selectFont(0);
    dc_->SetTextAlign(gdi::TA_BASELINE | gdi::TA_CENTER);
    dc_->SetBkMode(gdi::OPAQUE);
    dc_->SetTextCharacterExtra(3);
    MyDrawText(*dc_, "Clipped", -1, kBox, 0, 0);
    auto drawn = texts();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].logicalPoint, (POINT{20, -30}));
    EXPECT_TRUE(drawn[0].clipped);
    EXPECT_EQ(drawn[0].logicalRect, (RECT{18, -28, 222, -132}));
    EXPECT_EQ(drawn[0].bkMode, gdi::TRANSPARENT);
    EXPECT_EQ(drawn[0].textAlign, 0u);
    EXPECT_EQ(drawn[0].characterExtra, 0);

    EXPECT_EQ(dc_->GetTextAlign(), gdi::TA_BASELINE | gdi::TA_CENTER);
    EXPECT_EQ(dc_->GetBkMode(), gdi::OPAQUE);
    EXPECT_EQ(dc_->GetTextCharacterExtra(), 3);
}

TEST_F(DrawTextTest, AnEmptyMiddleLineKeepsItsPlace) {
    const char* text = "Alpha\r\n\r\nBeta";
    struct Case {
        int angle;
        unsigned flags;
    };
    for (const Case& c : {Case{0, DT_VCENTER}, Case{0, DT_VCENTER | DT_CENTER}, Case{90, DT_BOTTOM},
                          Case{270, DT_VCENTER | DT_RIGHT}, Case{180, DT_TOP}}) {
        SCOPED_TRACE(::testing::Message() << "angle " << c.angle << " flags " << c.flags);
        selectFont(c.angle);
        SIZE alpha = measure("Alpha", c.angle);
        SIZE beta = measure("Beta", c.angle);
        int h = alpha.cy;
        records_.clear();
        MyDrawText(*dc_, text, -1, kBox, c.flags, c.angle);
        auto drawn = texts();
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0].text, "Alpha");
        EXPECT_EQ(drawn[1].text, "Beta");

        // Three lines' worth of block; the third line two line heights on from the first.
        RECT r = kBox;
        int width = r.right - r.left;
        int height = r.bottom - r.top;
        bool centre = c.flags & DT_CENTER;
        bool right = c.flags & DT_RIGHT;
        POINT first;
        POINT third;
        switch (c.angle) {
        case 0:
            first = {centre ? r.left + (width - alpha.cx) / 2 : r.left,
                     r.top + (height + 3 * h) / 2};
            third = {centre ? r.left + (width - beta.cx) / 2 : r.left, first.y - 2 * h};
            break;
        case 90:
            first = {r.left + 3 * h, r.top};
            third = {first.x - 2 * h, r.top};
            break;
        case 180:
            first = {r.right, r.bottom};
            third = {r.right, r.bottom + 2 * h};
            break;
        default: // 270, right-aligned along the text (toward the top)
            ASSERT_TRUE(right);
            first = {r.left + (width - 3 * h) / 2, r.top - alpha.cx};
            third = {first.x + 2 * h, r.top - beta.cx};
            break;
        }
        EXPECT_EQ(drawn[0].logicalPoint, first);
        EXPECT_EQ(drawn[1].logicalPoint, third);
    }
}

TEST_F(DrawTextTest, LengthLimitsLinesAndLoneLineFeedsAlsoBreak) {
    selectFont(0);
    MyDrawText(*dc_, "One\r\nTwo\r\nThree", 7, kBox, 0, 0);
    auto drawn = texts();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, "One");
    EXPECT_EQ(drawn[1].text, "Tw");

    records_.clear();
    MyDrawText(*dc_, "Up\nDown", -1, kBox, 0, 0);
    drawn = texts();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, "Up");
    EXPECT_EQ(drawn[1].text, "Down");
    EXPECT_EQ(drawn[1].logicalPoint.y, -30 - measure("Up", 0).cy);
}

// Rendering: the ink of each angle lies inside the box grown by 2 and the text runs the way
// the angle says. The text starts with one wide letter followed by narrow dots, so the start
// of the text is where most of the ink is.
TEST_F(DrawTextTest, RenderedTextStaysInItsBoxAndRunsInItsDirection) {
    struct Ink {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        long firstHalf = 0, secondHalf = 0;
    };
    const char* text = "W..........";
    const RECT box{50, -50, 450, -450};
    for (int angle : {0, 90, 180, 270}) {
        SCOPED_TRACE(::testing::Message() << "angle " << angle);
        QImage image(480, 480, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96 dpi
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        {
            auto dc = gdi::createImageDC(image);
            SetLabelMapping(*dc);
            dc->SelectObject(CreatePointFont(*dc, "Arial", 240, 0, 0, 1, angle * 10));
            dc->SetTextColor(0);
            MyDrawText(*dc, text, -1, box, DT_CENTER | DT_VCENTER, angle);
        }
        Ink ink;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                    ink.top = std::min(ink.top, y);
                    ink.bottom = std::max(ink.bottom, y);
                }
            }
        }
        ASSERT_GE(ink.right, 0) << "nothing was drawn";
        // Box grown by 2 in pixels: (48, 48) to (432, 432), plus two units on each side.
        EXPECT_GE(ink.left, 46);
        EXPECT_GE(ink.top, 46);
        EXPECT_LE(ink.right, 434);
        EXPECT_LE(ink.bottom, 434);
        int inkWidth = ink.right - ink.left + 1;
        int inkHeight = ink.bottom - ink.top + 1;
        if (angle == 0 || angle == 180) {
            EXPECT_GT(inkWidth, 2 * inkHeight);
        } else {
            EXPECT_GT(inkHeight, 2 * inkWidth);
        }
        // Centred both ways: the ink's middle is near the box's middle (240, 240).
        EXPECT_NEAR((ink.left + ink.right) / 2.0, 240, 15);
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 240, 15);

        // Where the wide letter is: the half of the ink nearer to the start of the text.
        double middleX = (ink.left + ink.right) / 2.0;
        double middleY = (ink.top + ink.bottom) / 2.0;
        for (int y = ink.top; y <= ink.bottom; ++y) {
            for (int x = ink.left; x <= ink.right; ++x) {
                if (qGray(image.pixel(x, y)) >= 128) {
                    continue;
                }
                bool nearStart = angle == 0     ? x < middleX // reads to the right
                                 : angle == 180 ? x > middleX // upside down, to the left
                                 : angle == 90  ? y < middleY // down the page
                                                : y > middleY; // 270: up the page
                (nearStart ? ink.firstHalf : ink.secondHalf) += 1;
            }
        }
        EXPECT_GT(ink.firstHalf, 2 * ink.secondHalf)
            << "start " << ink.firstHalf << " end " << ink.secondHalf;
    }
}

TEST_F(DrawTextTest, TextPastTheRightEdgeIsCutTwoUnitsOutside) {
    QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    const RECT box{10, -10, 110, -60};
    {
        auto dc = gdi::createImageDC(image);
        SetLabelMapping(*dc);
        dc->SelectObject(CreatePointFont(*dc, "Arial", 140, 0, 0, 1, 0));
        dc->SetTextColor(0);
        MyDrawText(*dc, "WWWWWWWWWWWWWWWWWWWW", -1, box, 0, 0);
    }
    // right + 2 = 112 units = 107.52 pixels.
    int rightmost = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 200) {
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GE(rightmost, 100) << "the text reaches the clip";
    EXPECT_LE(rightmost, 108);
}

} // namespace
} // namespace pelmora
