#include "catalog/object_list.h"

#include <gtest/gtest.h>
#include <vector>

namespace pelmora {
namespace {

// Strings tagged by their page, so an order reads as a list of numbers.
VAROINFO labelWithObjects(int count) {
    VAROINFO label;
    for (int i = count - 1; i >= 0; --i) {
        PlacedObject object;
        object.kind = OBJECT_STRING;
        object.page = i;
        insertObjectAtFront(label, object);
    }
    return label;
}

std::vector<int> order(const VAROINFO& label) {
    std::vector<int> pages;
    for (const PlacedObject& object : label.objects) {
        pages.push_back(object.page);
    }
    return pages;
}

PlacedObject imageObject(std::vector<std::uint8_t> dib) {
    PlacedObject image;
    image.kind = OBJECT_IMAGE;
    image.fileHeader.bfOffBits = 14 + 2;
    image.dib = std::move(dib);
    return image;
}

TEST(ObjectListTest, InsertingAndMovingPutTheObjectAtTheFront) {
    VAROINFO label = labelWithObjects(5);
    EXPECT_EQ(order(label), (std::vector<int>{0, 1, 2, 3, 4}));

    EXPECT_TRUE(moveObjectToFront(label, 3));
    EXPECT_EQ(order(label), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_TRUE(moveObjectToFront(label, 4));
    EXPECT_EQ(order(label), (std::vector<int>{4, 3, 0, 1, 2}));
    EXPECT_TRUE(moveObjectToFront(label, 0));
    EXPECT_EQ(order(label), (std::vector<int>{4, 3, 0, 1, 2}));

    EXPECT_FALSE(moveObjectToFront(label, 5));
    EXPECT_FALSE(moveObjectToFront(label, static_cast<std::size_t>(-1)));
    EXPECT_EQ(order(label), (std::vector<int>{4, 3, 0, 1, 2}));
}

TEST(ObjectListTest, RemovingTheFrontShiftsTheRestAndEmptiesCompletely) {
    VAROINFO label = labelWithObjects(3);
    removeFrontObject(label);
    EXPECT_EQ(order(label), (std::vector<int>{1, 2}));

    VAROINFO single = labelWithObjects(1);
    removeFrontObject(single);
    EXPECT_EQ(single.objectCount(), 0);
    EXPECT_EQ(single.objects.capacity(), 0u);
    removeFrontObject(single); // nothing left: no effect
    EXPECT_EQ(single.objectCount(), 0);

    VAROINFO many = labelWithObjects(4);
    insertObjectAtFront(many, imageObject({1, 2, 3}));
    releaseAllObjects(many);
    EXPECT_EQ(many.objectCount(), 0);
    EXPECT_EQ(many.objects.capacity(), 0u);
}

TEST(ObjectListTest, CopyOfAnImageOwnsItsBlockAndOutlivesTheOriginal) {
    VAROINFO label;
    insertObjectAtFront(label, imageObject({10, 20, 30, 40}));
    insertObjectAtFront(label, copyObject(label.objects[0]));
    ASSERT_EQ(label.objectCount(), 2);
    EXPECT_NE(label.objects[0].dib.data(), label.objects[1].dib.data());
    EXPECT_EQ(label.objects[0].bits(), label.objects[0].dib.data() + 2);

    label.objects[1].dib[0] = 99; // the original changes, the copy does not
    moveObjectToFront(label, 1);
    removeFrontObject(label); // deletes the original
    ASSERT_EQ(label.objectCount(), 1);
    EXPECT_EQ(label.objects[0].dib, (std::vector<std::uint8_t>{10, 20, 30, 40}));
    EXPECT_EQ(*label.objects[0].bits(), 30);
}

} // namespace
} // namespace pelmora
