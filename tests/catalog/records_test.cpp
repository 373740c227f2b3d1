#include "catalog/comment_macros.h"
#include "catalog/records.h"
#include "catalog_test_util.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace pelmora {
namespace {

using test::fileEntry;
using test::folderEntry;
using test::shape;

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("PELMORA_TODAY", "1998-07-17", 1); }
    void TearDown() override { unsetenv("PELMORA_TODAY"); }
};

VAROINFO sampleLabel() {
    VAROINFO label;
    label.entries.push_back(fileEntry("a.txt", 10, "10"));
    label.entries.push_back(folderEntry(
        "Sub", {fileEntry("b.txt", 20, "20"), folderEntry("Deep", {fileEntry("c.txt", 1)})}));
    return label;
}

TEST_F(RecordsTest, DeepCopySharesNothingWithItsSource) {
    VAROINFO source = sampleLabel();
    std::unique_ptr<VAROINFO> copy = copyTree(source);
    ASSERT_EQ(shape(*copy), shape(source));

    // Change the copy at every depth.
    copy->entries.erase(copy->entries.begin());
    VAROINFO& sub = *copy->entries[0].child;
    std::swap(sub.entries[0], sub.entries[1]);
    sub.entries[0].child->entries.push_back(fileEntry("new.txt"));
    std::strcpy(sub.entries[1].name, "renamed");

    EXPECT_EQ(shape(source), "a.txt,Sub[b.txt,Deep[c.txt]]");
    EXPECT_NE(source.entries[1].child.get(), copy->entries[0].child.get());

    // And the copy outlives its source.
    { VAROINFO gone = std::move(source); }
    EXPECT_EQ(shape(*copy), "Sub[Deep[c.txt,new.txt],renamed]");
}

TEST_F(RecordsTest, CountEntriesTreatsUnreadFoldersAndEmptyPlaceholdersAsFiles) {
    VAROINFO label;
    label.entries.push_back(fileEntry("Below", 0, "[dir]")); // folder beyond the level limit
    label.entries.push_back(folderEntry("Empty", {fileEntry("(Empty)")}));
    label.entries.push_back(folderEntry("Full", {fileEntry("x"), folderEntry("In", {})}));
    FileEntry childless = fileEntry("Childless");
    childless.hasChild = 1; // a folder entry whose node is gone still counts as a folder
    label.entries.push_back(childless);

    countEntries(label);
    EXPECT_EQ(label.fileCount, 3);   // Below, (Empty), x
    EXPECT_EQ(label.folderCount, 4); // Empty, Full, In, Childless
}

TEST_F(RecordsTest, ClearLabelEmptiesCatalogButKeepsCommentAndFormat) {
    VAROINFO label = sampleLabel();
    std::strcpy(label.comment, "%files% files");
    std::strcpy(label.volumeName, "DISK1");
    label.columns = 4;
    label.sortMode = 3;
    label.bodyBackColor = RGB(1, 2, 3);
    label.lblFmt = 7;
    label.spaceFree = 5'000'000'000;
    label.fileCount = 9;
    label.objects.emplace_back();
    label.extStyles.emplace_back();
    label.layoutValid = 1;

    clearLabel(label);
    EXPECT_TRUE(label.entries.empty());
    EXPECT_TRUE(label.objects.empty());
    EXPECT_TRUE(label.extStyles.empty());
    EXPECT_EQ(label.layoutValid, 0);
    EXPECT_STREQ(label.volumeName, "");
    EXPECT_EQ(label.spaceFree, 0);
    EXPECT_EQ(label.fileCount, 0);
    EXPECT_STREQ(label.shortDate, "07/17/98");
    EXPECT_STREQ(label.longDate, "Friday, July 17, 1998");
    EXPECT_STREQ(label.comment, "%files% files");
    EXPECT_EQ(label.columns, 4);
    EXPECT_EQ(label.sortMode, 3);
    EXPECT_EQ(label.bodyBackColor, RGB(1, 2, 3));
    EXPECT_EQ(label.lblFmt, 7);

    // A cleared label's macros expand to zero figures and today's date.
    std::strcpy(label.comment, kDefaultComment);
    char out[kExpandedCommentCapacity];
    expandComment(label, out, sizeof out);
    EXPECT_STREQ(out, "0.0M free, 0.0M used  (07/17/98)");

    // Clearing again changes nothing else.
    clearLabel(label);
    EXPECT_TRUE(label.entries.empty());
    EXPECT_EQ(label.columns, 4);
}

TEST_F(RecordsTest, CopyFormatOntoItselfKeepsStylesAndOntoAnotherCopiesThem) {
    VAROINFO source;
    source.columns = 5;
    source.showLogo = 0;
    source.spineAlign = 2;
    source.fileFont.lfHeight = -42;
    source.extStyles.resize(2);
    std::strcpy(source.extStyles[0].extension, "TXT");
    source.extStyles[0].color = RGB(255, 0, 0);
    std::strcpy(source.comment, "own comment");
    source.bodyBackColor = RGB(9, 9, 9);

    const ExtensionStyle* before = source.extStyles.data();
    copyFormat(source, source);
    EXPECT_EQ(source.extStyles.data(), before);
    EXPECT_EQ(source.extStyleCount(), 2);

    VAROINFO target;
    target.extStyles.resize(5);
    target.layoutValid = 1;
    copyFormat(source, target);
    EXPECT_EQ(target.columns, 5);
    EXPECT_EQ(target.showLogo, 0);
    EXPECT_EQ(target.spineAlign, 2);
    EXPECT_EQ(target.fileFont.lfHeight, -42);
    ASSERT_EQ(target.extStyleCount(), 2);
    EXPECT_STREQ(target.extStyles[0].extension, "TXT");
    EXPECT_NE(target.extStyles.data(), source.extStyles.data());
    EXPECT_EQ(target.layoutValid, 0);
    // Not part of the format group.
    EXPECT_STRNE(target.comment, "own comment");
    EXPECT_NE(target.bodyBackColor, RGB(9, 9, 9));
}

TEST_F(RecordsTest, ResetFormatRestoresDefaultsAndResorts) {
    VAROINFO label;
    label.entries.push_back(fileEntry("b"));
    label.entries.push_back(fileEntry("a"));
    label.sortMode = 3;
    label.direction = -1;
    label.columns = 0;
    label.opposing = 1;
    label.extStyles.resize(3);
    std::strcpy(label.comment, "x");
    resetFormat(label);
    EXPECT_EQ(label.sortMode, 1);
    EXPECT_EQ(label.direction, 1);
    EXPECT_EQ(label.columns, 2);
    EXPECT_EQ(label.opposing, 0);
    EXPECT_TRUE(label.extStyles.empty());
    EXPECT_STREQ(label.comment, kDefaultComment);
    EXPECT_EQ(shape(label), "a,b");
    EXPECT_EQ(label.fileFont.lfHeight, -11);
    EXPECT_EQ(label.folderFont.lfWeight, FW_BOLD);
    EXPECT_EQ(label.spineFont.lfHeight, -19);
    EXPECT_STREQ(label.spineFont.lfFaceName, "Arial");
}

TEST(DefaultFontTest, HeightFollowsWindowScale) {
    EXPECT_EQ(defaultPointFont(80, false, 1.0).lfHeight, -11);
    EXPECT_EQ(defaultPointFont(80, false, 1.5).lfHeight, -16);
    EXPECT_EQ(defaultPointFont(140, false, 1.0).lfHeight, -19);
    EXPECT_EQ(defaultPointFont(80, false, 0.5).lfHeight, -5);
    EXPECT_EQ(defaultPointFont(80, true, 1.0).lfWeight, FW_BOLD);
    EXPECT_EQ(defaultPointFont(80, false, 1.0).lfClipPrecision, CLIP_LH_ANGLES);
}

TEST(CatalogSettingsTest, PatternsAreStoredUpperCaseAndCut) {
    CatalogSettings settings;
    settings.addPattern(".tmp");
    settings.addPattern("0123456789abcdefghijklmnopqrstuvwxyz");
    ASSERT_EQ(settings.excludeCount(), 2);
    EXPECT_STREQ(settings.excludePatterns[0].data(), ".TMP");
    EXPECT_EQ(std::strlen(settings.excludePatterns[1].data()), 31u);
}

TEST(LabelSetTest, LabelsAreNumberedOneToFour) {
    LabelSet set;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(set.labels[static_cast<std::size_t>(i)].labelNumber, i + 1);
    }
    EXPECT_EQ(&set.current(), &set.labels[0]);
}

} // namespace
} // namespace pelmora
