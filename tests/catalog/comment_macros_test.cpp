#include "catalog/comment_macros.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace pelmora {
namespace {

std::string expand(const VAROINFO& label) {
    char out[kExpandedCommentCapacity];
    std::memset(out, 'Z', sizeof out);
    expandComment(label, out, sizeof out);
    return out;
}

VAROINFO labelWithComment(const char* comment) {
    VAROINFO label;
    std::strncpy(label.comment, comment, sizeof label.comment - 1);
    return label;
}

TEST(CommentMacrosTest, DefaultCommentOfAScannedDisk) {
    VAROINFO label = labelWithComment(kDefaultComment);
    label.spaceFree = 1'572'864;
    label.spaceUsed = 524'288;
    label.spaceTotal = 2'097'152;
    std::strcpy(label.shortDate, "7/17/98");
    EXPECT_EQ(expand(label), "1.5M free, 0.5M used  (7/17/98)");
}

TEST(CommentMacrosTest, NeverScannedLabelGivesZeroFigures) {
    VAROINFO label = labelWithComment("%pctfree% %pctused% %spacefree% %spaceused%");
    EXPECT_EQ(expand(label), "0.0% 0.0% 0.0M 0.0M");
}

TEST(CommentMacrosTest, UnknownOrMisspeltMacrosAreCopied) {
    EXPECT_EQ(expand(labelWithComment("%PCTFREE%")), "%PCTFREE%");
    EXPECT_EQ(expand(labelWithComment("%spacefree")), "%spacefree");
    EXPECT_EQ(expand(labelWithComment("100%")), "100%");
    EXPECT_EQ(expand(labelWithComment("%%files%%")), "%0%");
}

TEST(CommentMacrosTest, AdjacentMacrosAndCounts) {
    VAROINFO label = labelWithComment("%files%%folders% / %longdate%");
    label.fileCount = 12;
    label.folderCount = 3;
    std::strcpy(label.longDate, "Friday, July 17, 1998");
    EXPECT_EQ(expand(label), "123 / Friday, July 17, 1998");
}

TEST(CommentMacrosTest, PercentagesAndMegabytes) {
    VAROINFO label = labelWithComment("%pctfree% %pctused% %spacefree%");
    label.spaceFree = 30'000'000;
    label.spaceUsed = 90'000'000;
    label.spaceTotal = 120'000'000;
    EXPECT_EQ(expand(label), "25.0% 75.0% 28.6M");
}

TEST(CommentMacrosTest, SpaceBeyondTwoGigabytesIsNotWrapped) {
    VAROINFO label = labelWithComment("%spacefree% %pctfree%");
    label.spaceFree = 3'000'000'000ll;
    label.spaceTotal = 6'000'000'000ll;
    EXPECT_EQ(expand(label), "2861.0M 50.0%");
}

TEST(CommentMacrosTest, EmptyCommentGivesEmptyOutput) {
    EXPECT_EQ(expand(labelWithComment("")), "");
}

TEST(CommentMacrosTest, ManyLongDatesStopAtTheBufferEnd) {
    VAROINFO label;
    std::string comment;
    while (comment.size() + 10 < sizeof label.comment) {
        comment += "%longdate%";
    }
    std::strcpy(label.comment, comment.c_str());
    std::memset(label.longDate, 'W', kLongDateMaxChars);
    label.longDate[kLongDateMaxChars] = '\0';

    char out[kExpandedCommentCapacity + 16];
    std::memset(out, 'G', sizeof out);
    expandComment(label, out, kExpandedCommentCapacity);
    EXPECT_EQ(std::strlen(out), kExpandedCommentCapacity - 1);
    for (std::size_t i = kExpandedCommentCapacity; i < sizeof out; ++i) {
        EXPECT_EQ(out[i], 'G') << "guard byte " << i << " overwritten";
    }
}

TEST(CommentMacrosTest, CutNeverSplitsAUtf8Character) {
    VAROINFO label;
    // Each "é" is two bytes; a small buffer of odd size forces a cut inside one.
    std::strcpy(label.comment, "\xC3\xA9\xC3\xA9\xC3\xA9");
    char out[6];
    expandComment(label, out, sizeof out);
    EXPECT_STREQ(out, "\xC3\xA9\xC3\xA9");
}

} // namespace
} // namespace pelmora
