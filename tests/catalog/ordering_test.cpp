#include "catalog/ordering.h"
#include "catalog_test_util.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace pelmora {
namespace {

using test::fileEntry;
using test::folderEntry;
using test::shape;

VAROINFO labelWith(std::initializer_list<FileEntry> entries, int sortMode, int direction) {
    VAROINFO label;
    for (const FileEntry& e : entries) {
        label.entries.push_back(e);
    }
    label.sortMode = sortMode;
    label.direction = direction;
    return label;
}

TEST(ExtensionOfTest, TextAfterTheLastDot) {
    EXPECT_EQ(extensionOf("Letter.doc"), "doc");
    EXPECT_EQ(extensionOf("a.b.c"), "c");
    EXPECT_EQ(extensionOf("README"), "");
    EXPECT_EQ(extensionOf(""), "");
    EXPECT_EQ(extensionOf("name."), "");
    EXPECT_EQ(extensionOf(".profile"), "profile");
}

TEST(CompareNoCaseTest, FoldsOnlyAsciiLettersAndComparesBytesUnsigned) {
    EXPECT_EQ(compareNoCase("ABC", "abc"), 0);
    EXPECT_LT(compareNoCase("1", "a"), 0);
    EXPECT_LT(compareNoCase("_", "a"), 0);        // 0x5F before letters
    EXPECT_GT(compareNoCase("\xC3\xA9", "z"), 0); // bytes above 0x7F after z
    EXPECT_LT(compareNoCase("ab", "abc"), 0);
}

TEST(SortTest, NameAscendingIgnoresCaseAndDescendingReverses) {
    VAROINFO label = labelWith(
        {fileEntry("cherry.txt"), fileEntry("Banana.txt"), fileEntry("apple.txt")}, SORT_NAME, 1);
    sortLabel(label);
    EXPECT_EQ(shape(label), "apple.txt,Banana.txt,cherry.txt");
    label.direction = -1;
    sortLabel(label);
    EXPECT_EQ(shape(label), "cherry.txt,Banana.txt,apple.txt");
}

TEST(SortTest, ExtensionThenNameWithBareNamesFirst) {
    VAROINFO label =
        labelWith({fileEntry("b.txt"), fileEntry("a.txt"), fileEntry("b.doc"), fileEntry("README")},
                  SORT_EXTENSION, 1);
    sortLabel(label);
    EXPECT_EQ(shape(label), "README,b.doc,a.txt,b.txt");
}

TEST(SortTest, SizeWithNameTieBreakReversedWhenDescending) {
    VAROINFO label =
        labelWith({fileEntry("big", 5'000'000'000ull), fileEntry("b", 10), fileEntry("a", 10),
                   fileEntry("Folder", 0, "[dir]"), fileEntry("mid", 3'000'000'000ull)},
                  SORT_SIZE, 1);
    sortLabel(label);
    EXPECT_EQ(shape(label), "Folder,a,b,mid,big");
    label.direction = -1;
    sortLabel(label);
    EXPECT_EQ(shape(label), "big,mid,b,a,Folder");
}

TEST(SortTest, SizesBeyondThirtyTwoBitsDoNotWrap) {
    // 4 GB + 1 minus 2 would be positive only as a 64-bit difference; 2^31 apart would wrap.
    VAROINFO label = labelWith(
        {fileEntry("huge", 0x100000001ull), fileEntry("two", 2), fileEntry("g", 0x80000002ull)},
        SORT_SIZE, 1);
    sortLabel(label);
    EXPECT_EQ(shape(label), "two,g,huge");
}

TEST(SortTest, ChildNodesTakeTheLabelsKeys) {
    VAROINFO label =
        labelWith({folderEntry("Z", {fileEntry("y"), fileEntry("x"),
                                     folderEntry("In", {fileEntry("2"), fileEntry("1")})}),
                   fileEntry("a")},
                  SORT_NAME, -1);
    label.entries[0].child->sortMode = SORT_SIZE;
    sortLabel(label);
    EXPECT_EQ(shape(label), "Z[y,x,In[2,1]],a");
    EXPECT_EQ(label.entries[0].child->sortMode, SORT_NAME);
    EXPECT_EQ(label.entries[0].child->direction, -1);
}

TEST(SortTest, EmptyNodeOnlyMarksTheLayoutStale) {
    VAROINFO label = labelWith({folderEntry("Empty", {})}, SORT_NAME, 1);
    label.layoutValid = 1;
    sortLabel(label);
    EXPECT_EQ(shape(label), "Empty[]");
    EXPECT_EQ(label.layoutValid, 0);
}

TEST(SortTest, UnknownKeyLeavesEntriesEqual) {
    FileEntry a = fileEntry("a", 1);
    FileEntry b = fileEntry("b", 2);
    EXPECT_EQ(compareEntries(a, b, 0, 1), 0);
    EXPECT_EQ(compareEntries(a, b, 7, -1), 0);
}

TEST(DirectoryInfoTest, KilobyteAndMegabyteThresholds) {
    VAROINFO label;
    label.entries.push_back(folderEntry("Exact", {fileEntry("f", 1'048'576)}));
    label.entries.push_back(folderEntry("Over", {fileEntry("f", 1'048'577)}));
    label.entries.push_back(folderEntry("Small", {fileEntry("f", 1'500)}));
    label.entries.push_back(folderEntry("Empty", {fileEntry("(Empty)")}));
    label.entries.push_back(folderEntry("Huge", {fileEntry("f", 6'000'000'000ull)}));
    label.entries.push_back(fileEntry("Unread", 0, "[dir]"));
    std::int64_t total = fillDirectoryInfo(label, 2);
    EXPECT_STREQ(label.entries[0].sizeText, "1024K");
    EXPECT_STREQ(label.entries[1].sizeText, "1.0M");
    EXPECT_STREQ(label.entries[2].sizeText, "1K");
    EXPECT_STREQ(label.entries[3].sizeText, "0K");
    EXPECT_STREQ(label.entries[4].sizeText, "5722.0M");
    EXPECT_STREQ(label.entries[5].sizeText, "[dir]");
    EXPECT_EQ(total, 1'048'576 + 1'048'577 + 1'500 + 6'000'000'000ll);
}

TEST(DirectoryInfoTest, EntryCountsIncludeEverythingBelow) {
    VAROINFO label;
    label.entries.push_back(
        folderEntry("Top", {fileEntry("1"), fileEntry("2"),
                            folderEntry("Sub", {fileEntry("3"), fileEntry("4"), fileEntry("5")})}));
    std::int64_t total = fillDirectoryInfo(label, 1);
    EXPECT_STREQ(label.entries[0].sizeText, "6");
    EXPECT_STREQ(label.entries[0].child->entries[2].sizeText, "3");
    EXPECT_EQ(total, 7);
}

// The order as first written: std::sort of the entries with the plain comparison.
int plainCompare(const FileEntry& a, const FileEntry& b, int sortMode, int direction) {
    int r = 0;
    if (sortMode == SORT_EXTENSION) {
        r = compareNoCase(extensionOf(a.name), extensionOf(b.name));
    } else if (sortMode == SORT_SIZE) {
        r = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    }
    return (r != 0 ? r : compareNoCase(a.name, b.name)) * direction;
}

TEST(SortTest, KeyedSortGivesThePlainSortsOrderTiesIncluded) {
    // Names that tie under case folding, share long prefixes, are shorter than eight bytes or
    // hold bytes above 0x7F and below the letters.
    const char* const parts[] = {
        "a", "A",     "readme", "README.",          "Ab\x01",          "\xC3\xA9",
        "_", "z.TXT", ".txt",   "longcommonprefix", "LongCommonPrefiX"};
    std::mt19937 random(7);
    std::vector<FileEntry> entries;
    for (int i = 0; i < 600; ++i) {
        std::string name;
        for (int k = static_cast<int>(random() % 3); k >= 0; --k) {
            name += parts[random() % std::size(parts)];
        }
        FileEntry entry = fileEntry(name.c_str(), random() % 4);
        entry.align = i; // tells apart entries that tie
        entries.push_back(std::move(entry));
    }
    for (int sortMode : {SORT_NAME, SORT_EXTENSION, SORT_SIZE}) {
        for (int direction : {1, -1}) {
            SCOPED_TRACE(std::to_string(sortMode) + " " + std::to_string(direction));
            VAROINFO keyed;
            keyed.entries = entries;
            keyed.sortMode = sortMode;
            keyed.direction = direction;
            sortTree(keyed);
            std::vector<FileEntry> plain = entries;
            std::sort(plain.begin(), plain.end(), [&](const FileEntry& a, const FileEntry& b) {
                return plainCompare(a, b, sortMode, direction) < 0;
            });
            for (std::size_t i = 0; i < plain.size(); ++i) {
                ASSERT_EQ(keyed.entries[i].align, plain[i].align) << i;
            }
        }
    }
}

} // namespace
} // namespace pelmora
