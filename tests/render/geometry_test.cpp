#include "render/geometry.h"
#include "render/label_format.h"
#include "render/view_state.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

constexpr int kOriginX = 26;
constexpr int kOriginY = -40;

// Every test starts from a known view and leaves the program-wide one as it found it.
class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = theView;
        theView.viewOriginX = kOriginX;
        theView.viewOriginY = kOriginY;
    }
    void TearDown() override { theView = saved_; }

    ViewState saved_;
    VAROINFO label_;
};

struct PlaceCase {
    LabelFormat format;
    int zoomed;
    int labelIndex;
    int position;
    // Relative to the view origin.
    int left;
    int top;
    int height;
};

TEST_F(GeometryTest, PlaceFacePutsEveryFaceWhereTheViewShowsIt) {
    const PlaceCase cases[] = {
        // Zoomed: every face at the origin, continuation pages 0.46 in lower.
        {ONE_LABEL, 1, 0, 1, 0, 0, -431},
        {QUAD_LABEL, 1, 0, 1, 0, 0, -431},
        {QUAD_LABEL, 1, 0, 2, 0, -46, -350},
        {QUAD_LABEL, 1, 0, 3, 0, -46, -350},
        {QUAD_LABEL, 1, 0, 4, 0, -46, -350},
        {TWO_FOLD_AROUND, 1, 1, 1, 0, 0, -431},
        {TWO_FOLD_AROUND, 1, 1, 2, 0, -46, -350},
        {TWO_FOLD_OUT, 1, 0, 1, 0, 0, -431},
        {TWO_FOLD_OUT, 1, 1, 2, 0, -46, -350},
        {FOUR_LABELS, 1, 3, 1, 0, 0, -431},
        // Overview, quad: 3 2 on top, 4 1 below, 30 lower than the origin.
        {QUAD_LABEL, 0, 0, 1, 177, -204, -431},
        {QUAD_LABEL, 0, 0, 2, 177, -30, -350},
        {QUAD_LABEL, 0, 0, 3, 0, -30, -350},
        {QUAD_LABEL, 0, 0, 4, 0, -204, -350},
        // Fold around: one column per label, page 1 above page 2.
        {TWO_FOLD_AROUND, 0, 0, 1, 0, -18, -431},
        {TWO_FOLD_AROUND, 0, 0, 2, 0, -232, -350},
        {TWO_FOLD_AROUND, 0, 1, 1, 177, -18, -431},
        {TWO_FOLD_AROUND, 0, 1, 2, 177, -232, -350},
        // Fold out: page 2 above page 1.
        {TWO_FOLD_OUT, 0, 0, 2, 0, -18, -350},
        {TWO_FOLD_OUT, 0, 0, 1, 0, -192, -431},
        {TWO_FOLD_OUT, 0, 1, 2, 177, -18, -350},
        {TWO_FOLD_OUT, 0, 1, 1, 177, -192, -431},
        // Four: a 2 x 2 grid of labels 0 1 / 2 3.
        {FOUR_LABELS, 0, 0, 1, 0, 0, -431},
        {FOUR_LABELS, 0, 1, 1, 177, 0, -431},
        {FOUR_LABELS, 0, 2, 1, 0, -214, -431},
        {FOUR_LABELS, 0, 3, 1, 177, -214, -431},
        {ONE_LABEL, 0, 0, 1, 0, 0, -431},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "format " << c.format << " zoomed " << c.zoomed << " label " << c.labelIndex
                     << " position " << c.position);
        theView.format = c.format;
        // Leftovers of an earlier placement must not matter.
        label_.labelLeft = 999;
        label_.labelTop = 999;
        PlaceFace(c.zoomed, c.position, c.labelIndex, label_);
        EXPECT_EQ(label_.labelLeft, kOriginX + c.left);
        EXPECT_EQ(label_.labelTop, kOriginY + c.top);
        EXPECT_EQ(label_.labelWidth, 356);
        EXPECT_EQ(label_.labelHeight, c.height);
    }
}

TEST_F(GeometryTest, PlaceFaceFollowsTheViewOrigin) {
    theView.format = TWO_FOLD_OUT;
    theView.viewOriginX = 10;
    theView.viewOriginY = -70;
    PlaceFace(0, 1, 1, label_);
    EXPECT_EQ(label_.labelLeft, 10 + 177);
    EXPECT_EQ(label_.labelTop, -70 - 192);
}

struct TextRectCase {
    LabelFormat format;
    int position;
    RECT expected;
    const char* message; // nullptr: no message
};

TEST_F(GeometryTest, GetTextRectGivesTheBodyAndReportsBadPositions) {
    const RECT front{0, 0, 356, -369};
    const RECT continuation{0, 0, 356, -350};
    const TextRectCase cases[] = {
        {ONE_LABEL, 1, front, nullptr},
        {ONE_LABEL, 2, front, "GetTextRect - Position!=1"},
        {FOUR_LABELS, 3, front, "GetTextRect - Position!=1"},
        {QUAD_LABEL, 1, front, nullptr},
        {QUAD_LABEL, 2, continuation, nullptr},
        {QUAD_LABEL, 4, continuation, nullptr},
        {QUAD_LABEL, 5, continuation, "GetTextRect - !(1<=Position<=4)"},
        {QUAD_LABEL, 0, continuation, "GetTextRect - !(1<=Position<=4)"},
        {TWO_FOLD_AROUND, 1, front, nullptr},
        {TWO_FOLD_AROUND, 2, continuation, nullptr},
        {TWO_FOLD_OUT, 2, continuation, nullptr},
        {TWO_FOLD_OUT, 3, continuation, "GetTextRect - !(1<=Position<=2)"},
        {TWO_FOLD_AROUND, 0, continuation, "GetTextRect - !(1<=Position<=2)"},
    };
    for (const TextRectCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "format " << c.format << " position " << c.position);
        theView.format = c.format;
        test::MessageRecorder recorder;
        EXPECT_EQ(GetTextRect(c.position), c.expected);
        if (c.message == nullptr) {
            EXPECT_TRUE(recorder.messages().empty());
        } else {
            ASSERT_EQ(recorder.messages().size(), 1u);
            EXPECT_TRUE(recorder.saw("BAD STUFF", c.message));
        }
    }
}

TEST_F(GeometryTest, GetOutlineRectIsFullSizeZoomedAndHalfSizeInTheOverview) {
    test::MessageRecorder recorder;
    theView.format = FOUR_LABELS;
    EXPECT_EQ(GetOutlineRect(label_, 0, 1, 3),
              (RECT{kOriginX + 177, kOriginY - 214, kOriginX + 177 + 177, kOriginY - 214 - 215}));

    theView.format = QUAD_LABEL;
    EXPECT_EQ(GetOutlineRect(label_, 1, 3, 0),
              (RECT{kOriginX, kOriginY - 46, kOriginX + 356, kOriginY - 46 - 350}));
    EXPECT_EQ(GetOutlineRect(label_, 0, 4, 0),
              (RECT{kOriginX, kOriginY - 204, kOriginX + 177, kOriginY - 204 - 175}));

    theView.format = TWO_FOLD_OUT;
    EXPECT_EQ(GetOutlineRect(label_, 0, 1, 1),
              (RECT{kOriginX + 177, kOriginY - 192, kOriginX + 354, kOriginY - 192 - 215}));
    EXPECT_TRUE(recorder.messages().empty());
    // The outline leaves the placement in the record.
    EXPECT_EQ(label_.labelLeft, kOriginX + 177);
    EXPECT_EQ(label_.labelTop, kOriginY - 192);
}

TEST_F(GeometryTest, GetOutlineRectOfTheSingleLabelOverviewReportsAndGivesTheFullFace) {
    theView.format = ONE_LABEL;
    test::MessageRecorder recorder;
    EXPECT_EQ(GetOutlineRect(label_, 0, 1, 0),
              (RECT{kOriginX, kOriginY, kOriginX + 356, kOriginY - 431}));
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_TRUE(recorder.saw("BAD STUFF", "GetOutlineRect - ONE_LABEL!"));

    recorder.clear();
    EXPECT_EQ(GetOutlineRect(label_, 1, 1, 0),
              (RECT{kOriginX, kOriginY, kOriginX + 356, kOriginY - 431}));
    EXPECT_TRUE(recorder.messages().empty());
}

TEST(RectOperations, ScaleRectTruncatesTowardZero) {
    struct Case {
        RECT rect;
        double factor;
        RECT expected;
    };
    const Case cases[] = {
        {{0, -369, 356, -387}, 0.5, {0, -184, 178, -193}},
        {{3, -3, 5, -5}, 0.5, {1, -1, 2, -2}},
        {{100, -100, 357, -431}, 0.75, {75, -75, 267, -323}},
        {{-7, 7, 9, -9}, 1.5, {-10, 10, 13, -13}},
        {{1, -1, 356, -431}, 1.0, {1, -1, 356, -431}},
    };
    for (const Case& c : cases) {
        RECT rect = c.rect;
        ScaleRect(rect, c.factor);
        EXPECT_EQ(rect, c.expected) << "factor " << c.factor << " of " << c.rect.left << ","
                                    << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
}

TEST(RectOperations, GrowAndMoveWorkInAYUpSystem) {
    RECT rect{10, -20, 110, -70};
    GrowRect(rect, 2);
    EXPECT_EQ(rect, (RECT{8, -18, 112, -72}));
    GrowRect(rect, -2);
    EXPECT_EQ(rect, (RECT{10, -20, 110, -70}));

    MoveRectTo(rect, -5, 40);
    EXPECT_EQ(rect, (RECT{-5, 40, 95, -10}));
}

TEST(RectOperations, InRange2DIncludesTheFirstBoundOfAnAscendingPairOnly) {
    struct Case {
        int x1, y1, x2, y2, px, py;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 10, 10, 0, 0, 1},
        {0, 0, 10, 10, 9, 9, 1},
        {0, 0, 10, 10, 10, 5, 0},
        {0, 0, 10, 10, 5, 10, 0},
        {0, 0, 10, 10, -1, 5, 0},
        // Descending pairs: the lower bound is exclusive, the upper inclusive.
        {10, 10, 0, 0, 10, 10, 1},
        {10, 10, 0, 0, 0, 5, 0},
        {10, 10, 0, 0, 1, 1, 1},
        // A face-like rectangle in label units (top > bottom).
        {0, 0, 100, -50, 50, 0, 1},
        {0, 0, 100, -50, 50, -49, 1},
        {0, 0, 100, -50, 50, -50, 0},
        {0, 0, 100, -50, 100, -10, 0},
        // Equal bounds never match.
        {5, 0, 5, 10, 5, 5, 0},
        {0, 3, 10, 3, 5, 3, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InRange2D(c.x1, c.y1, c.x2, c.y2, c.px, c.py), c.expected)
            << "(" << c.x1 << "," << c.y1 << ")-(" << c.x2 << "," << c.y2 << ") point (" << c.px
            << "," << c.py << ")";
    }
}

TEST(RectOperations, RectsOverlapNeedsSharedArea) {
    const RECT face{0, 0, 356, -431};
    struct Case {
        RECT other;
        int expected;
    };
    const Case cases[] = {
        {{300, -400, 400, -500}, 1}, // corner overlap
        {{10, -10, 20, -20}, 1},     // inside
        {{-50, 50, 400, -500}, 1},   // around
        {{356, 0, 400, -100}, 0},    // touches the right edge
        {{0, -431, 356, -500}, 0},   // touches the bottom edge
        {{400, 0, 500, -100}, 0},    // beside
        {{10, -100, 20, -10}, 0},    // top below bottom: empty
        {{20, -10, 10, -100}, 0},    // right left of left: empty
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RectsOverlap(face, c.other), c.expected)
            << c.other.left << "," << c.other.top << "," << c.other.right << "," << c.other.bottom;
        EXPECT_EQ(RectsOverlap(c.other, face), c.expected);
    }
}

TEST(WindowBaseSize, GrowsForTheSmallScales) {
    const std::pair<double, SIZE> cases[] = {
        {0.5, {416, 510}},  {0.75, {416, 490}}, {1.0, {416, 480}},
        {1.25, {416, 480}}, {1.5, {416, 480}},
    };
    for (const auto& [scale, size] : cases) {
        EXPECT_EQ(WindowBaseSize(scale), size) << "scale " << scale;
    }
}

TEST(LabelFormats, LabelsPagesAndIndexClamping) {
    struct Case {
        LabelFormat format;
        int labels;
        int pages;
        int clampedFrom3;
    };
    const Case cases[] = {
        {ONE_LABEL, 1, 1, 0},    {QUAD_LABEL, 1, 4, 0},  {TWO_FOLD_AROUND, 2, 2, 1},
        {TWO_FOLD_OUT, 2, 2, 1}, {FOUR_LABELS, 4, 1, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(labelsInFormat(c.format), c.labels) << c.format;
        EXPECT_EQ(pagesPerLabel(c.format), c.pages) << c.format;
        EXPECT_EQ(clampLabelIndex(c.format, 3), c.clampedFrom3) << c.format;
        EXPECT_EQ(clampLabelIndex(c.format, -1), 0) << c.format;
        EXPECT_EQ(clampLabelIndex(c.format, 0), 0) << c.format;
        EXPECT_TRUE(isLabelFormat(c.format));
    }
    EXPECT_FALSE(isLabelFormat(0));
    EXPECT_FALSE(isLabelFormat(12));
}

} // namespace
} // namespace pelmora
