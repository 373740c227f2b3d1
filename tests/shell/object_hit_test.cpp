#include "render/view_state.h"
#include "shell/object_hit.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

PlacedObject object(int kind, int layer, int page, RECT r) {
    PlacedObject o;
    o.kind = kind;
    o.layer = layer;
    o.page = page;
    o.left = r.left;
    o.top = r.top;
    o.right = r.right;
    o.bottom = r.bottom;
    return o;
}

TEST(HitTestObjects, HigherLayersWinOverListOrderAndOtherPagesAreIgnored) {
    VAROINFO label;
    label.objects.push_back(object(OBJECT_IMAGE, LAYER_BELOW, 1, {0, 0, 100, -100}));
    label.objects.push_back(object(OBJECT_IMAGE, LAYER_ON, 1, {0, 0, 100, -100}));
    label.objects.push_back(object(OBJECT_STRING, LAYER_ABOVE, 2, {0, 0, 100, -100}));
    label.objects.push_back(object(OBJECT_STRING, LAYER_ABOVE, 1, {50, -50, 150, -150}));

    EXPECT_EQ(HitTestObjects(label, 1, 10, -10), 1); // on-layer beats below-layer
    EXPECT_EQ(HitTestObjects(label, 1, 60, -60), 3); // above-layer beats both
    EXPECT_EQ(HitTestObjects(label, 2, 10, -10), 2); // page 2 sees only its own object
    EXPECT_EQ(HitTestObjects(label, 1, 140, -140), 3);
    EXPECT_EQ(HitTestObjects(label, 1, 200, -10), -1);
    EXPECT_EQ(HitTestObjects(label, 3, 10, -10), -1);
}

struct HandleCase {
    int x, y, zoomed, expected;
};

TEST(HitTestHandles, EachHandleAndTheSpaceBetweenThem) {
    VAROINFO label;
    // L 100, T -100, R 200, B -200: the middle column starts at (100 + 200 - d) / 2.
    label.objects.push_back(object(OBJECT_IMAGE, LAYER_ABOVE, 1, {100, -100, 200, -200}));
    const HandleCase cases[] = {
        {100, -100, 1, 0},
        {108, -108, 1, 0},
        {200, -100, 1, 1},
        {192, -104, 1, 1},
        {100, -200, 1, 2},
        {104, -192, 1, 2},
        {200, -200, 1, 3},
        {146, -100, 1, 4},
        {150, -200, 1, 5},
        {100, -150, 1, 6},
        {200, -146, 1, 7},
        {150, -150, 1, -1},
        {109, -150, 1, -1},
        {120, -100, 1, -1},
        {146, -150, 1, -1},
        // The overview doubles the handles: 16 units.
        {115, -115, 0, 0},
        {115, -115, 1, -1},
        {142, -100, 0, 4},
        {200, -158, 0, 7},
    };
    for (const HandleCase& c : cases) {
        EXPECT_EQ(HitTestHandles(label, c.zoomed, c.x, c.y), c.expected)
            << "at " << c.x << "," << c.y << " zoomed " << c.zoomed;
    }
}

TEST(HitTestHandles, SelfSizingStringsHaveNoHandles) {
    VAROINFO label;
    EXPECT_EQ(HitTestHandles(label, 1, 0, 0), -1);
    label.objects.push_back(object(OBJECT_STRING, LAYER_ABOVE, 1, {100, -100, 200, -200}));
    label.objects[0].autoSize = 1;
    EXPECT_EQ(HitTestHandles(label, 1, 100, -100), -1);
    label.objects[0].autoSize = 0;
    EXPECT_EQ(HitTestHandles(label, 1, 100, -100), 0);
}

TEST(HandleOffset, PointsFromThePointerToTheHandlesReference) {
    const RECT r{100, -100, 201, -201};
    EXPECT_EQ(HandleOffset(r, 105, -105, 0), (POINT{-5, 5}));
    EXPECT_EQ(HandleOffset(r, 195, -105, 1), (POINT{6, 5}));
    EXPECT_EQ(HandleOffset(r, 105, -195, 2), (POINT{-5, -6}));
    EXPECT_EQ(HandleOffset(r, 195, -195, 3), (POINT{6, -6}));
    // (100 + 201 - 8) / 2 = 146; (-100 - 201 - 8) / 2 truncates toward zero to -154.
    EXPECT_EQ(HandleOffset(r, 150, -100, 4), (POINT{-4, 0}));
    EXPECT_EQ(HandleOffset(r, 150, -201, 5), (POINT{-4, 0}));
    EXPECT_EQ(HandleOffset(r, 100, -150, 6), (POINT{0, -4}));
    EXPECT_EQ(HandleOffset(r, 201, -150, 7), (POINT{0, -4}));
    EXPECT_EQ(HandleOffset(r, 150, -150, 9), (POINT{0, 0}));
}

TEST(ResizeByHandle, DragsOnlyTheHandlesEdgesClampedToTheFace) {
    PlacedObject o = object(OBJECT_IMAGE, LAYER_ABOVE, 1, {100, -100, 200, -200});
    ResizeByHandle(3, o, 250, -300, 356, -431);
    EXPECT_EQ(o.left, 100);
    EXPECT_EQ(o.top, -100);
    EXPECT_EQ(o.right, 250);
    EXPECT_EQ(o.bottom, -300);

    ResizeByHandle(0, o, -50, 40, 356, -431); // beyond the face's top-left corner
    EXPECT_EQ(o.left, 0);
    EXPECT_EQ(o.top, 0);

    ResizeByHandle(7, o, 999, 0, 356, -431); // right edge only
    EXPECT_EQ(o.right, 356);
    EXPECT_EQ(o.top, 0);
    EXPECT_EQ(o.bottom, -300);

    ResizeByHandle(5, o, 0, -999, 356, -431);
    EXPECT_EQ(o.bottom, -431);
}

TEST(ResizeByHandle, KeepsTenUnitsEachWay) {
    PlacedObject o = object(OBJECT_IMAGE, LAYER_ABOVE, 1, {100, -100, 200, -200});
    ResizeByHandle(3, o, 0, 0, 356, -431); // bottom-right dragged past the top-left
    EXPECT_EQ(o.right, 110);
    EXPECT_EQ(o.bottom, -110);
    ResizeByHandle(0, o, 300, -300, 356, -431); // top-left dragged past the bottom-right
    EXPECT_EQ(o.left, 100);
    EXPECT_EQ(o.top, -100);
    EXPECT_EQ(o.right - o.left, 10);
    EXPECT_EQ(o.top - o.bottom, 10);
}

} // namespace
} // namespace pelmora
