#include "platform/core/wintypes.h"

#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace pelmora {
namespace {

// Cuts `text` into a 64-byte field (63 bytes of text) and returns what it holds.
std::string cut64(const std::string& text) {
    char field[64];
    std::memset(field, '#', sizeof field);
    copyTruncatedUtf8(field, sizeof field, text.data(), text.size());
    return std::string(field);
}

const std::string kTwoByte = "\xC3\xA9";          // é
const std::string kThreeByte = "\xE2\x82\xAC";    // €
const std::string kFourByte = "\xF0\x9F\x98\x80"; // 😀

// --- UTF-8-safe truncation --------------------------------------------------------------------

TEST(CopyTruncatedUtf8, CharacterStraddlingTheCutIsDroppedWhole) {
    // Each character starts before byte 63 and ends after it.
    EXPECT_EQ(cut64(std::string(62, 'a') + kTwoByte), std::string(62, 'a'));
    EXPECT_EQ(cut64(std::string(61, 'a') + kThreeByte), std::string(61, 'a'));
    EXPECT_EQ(cut64(std::string(62, 'a') + kThreeByte), std::string(62, 'a'));
    EXPECT_EQ(cut64(std::string(60, 'a') + kFourByte), std::string(60, 'a'));
    EXPECT_EQ(cut64(std::string(62, 'a') + kFourByte + "tail"), std::string(62, 'a'));
}

TEST(CopyTruncatedUtf8, ExactFitsAreKeptWhole) {
    EXPECT_EQ(cut64(std::string(61, 'a') + kTwoByte), std::string(61, 'a') + kTwoByte);
    EXPECT_EQ(cut64(std::string(60, 'a') + kThreeByte), std::string(60, 'a') + kThreeByte);
    EXPECT_EQ(cut64(std::string(59, 'a') + kFourByte), std::string(59, 'a') + kFourByte);
    EXPECT_EQ(cut64(std::string(63, 'a')), std::string(63, 'a'));
    // A character ending exactly at the cut stays even though more text follows.
    EXPECT_EQ(cut64(std::string(61, 'a') + kTwoByte + "more"), std::string(61, 'a') + kTwoByte);
}

TEST(CopyTruncatedUtf8, PlainCutsShortTextAndTinyFields) {
    EXPECT_EQ(cut64(std::string(64, 'b')), std::string(63, 'b'));
    EXPECT_EQ(cut64(""), "");
    EXPECT_EQ(cut64("Readme.Txt"), "Readme.Txt");

    char one[1] = {'#'};
    copyTruncatedUtf8(one, sizeof one, "abc", 3);
    EXPECT_EQ(one[0], '\0');

    char face[LF_FACESIZE];
    copyTruncatedUtf8(face, ("Caf" + kTwoByte + std::string(40, 'x')).c_str());
    EXPECT_EQ(std::string(face), "Caf" + kTwoByte + std::string(26, 'x'));
}

// --- record layouts ---------------------------------------------------------------------------

TEST(WinTypesLayout, LogFontMatchesTheStoredSixtyByteRecord) {
    EXPECT_EQ(sizeof(LOGFONTA), 60u);
    EXPECT_EQ(offsetof(LOGFONTA, lfHeight), 0u);
    EXPECT_EQ(offsetof(LOGFONTA, lfWidth), 4u);
    EXPECT_EQ(offsetof(LOGFONTA, lfEscapement), 8u);
    EXPECT_EQ(offsetof(LOGFONTA, lfOrientation), 12u);
    EXPECT_EQ(offsetof(LOGFONTA, lfWeight), 16u);
    EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONTA, lfUnderline), 21u);
    EXPECT_EQ(offsetof(LOGFONTA, lfStrikeOut), 22u);
    EXPECT_EQ(offsetof(LOGFONTA, lfCharSet), 23u);
    EXPECT_EQ(offsetof(LOGFONTA, lfOutPrecision), 24u);
    EXPECT_EQ(offsetof(LOGFONTA, lfClipPrecision), 25u);
    EXPECT_EQ(offsetof(LOGFONTA, lfQuality), 26u);
    EXPECT_EQ(offsetof(LOGFONTA, lfPitchAndFamily), 27u);
    EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
    EXPECT_EQ(sizeof(RECT), 16u);
    EXPECT_EQ(sizeof(POINT), 8u);
    EXPECT_EQ(sizeof(SIZE), 8u);
}

TEST(WinTypesLayout, FontsCompareFaceNamesUpToTheirEnd) {
    LOGFONTA a;
    LOGFONTA b;
    std::strcpy(a.lfFaceName, "Arial");
    std::strcpy(b.lfFaceName, "Arial");
    b.lfFaceName[10] = 'z'; // bytes after the terminator do not count
    EXPECT_TRUE(a == b);
    b.lfWeight = FW_BOLD;
    EXPECT_FALSE(a == b);
    b.lfWeight = a.lfWeight;
    b.lfItalic = 1;
    EXPECT_FALSE(a == b);
}

} // namespace
} // namespace pelmora
