#pragma once
// Value types shared by the records and the drawing layer. Their widths follow the
// 32-bit records that label files store, so each has a fixed size.

#include <cstdint>

namespace pelmora {

// 0x00BBGGRR, as stored in label files and settings.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned GetRValue(COLORREF c) {
    return c & 0xFFu;
}
constexpr unsigned GetGValue(COLORREF c) {
    return (c >> 8) & 0xFFu;
}
constexpr unsigned GetBValue(COLORREF c) {
    return (c >> 16) & 0xFFu;
}

struct POINT {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

// left, top, right, bottom. In label units the y axis points up, so top > bottom there.
struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

constexpr int LF_FACESIZE = 32;

// The 60-byte logical font record. Heights and widths are in the logical units of the
// device context the font was made for.
struct LOGFONTA {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA must keep its 60-byte layout");

constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::uint8_t CLIP_LH_ANGLES = 16;

bool operator==(const LOGFONTA& a, const LOGFONTA& b);

// Copies at most size-1 bytes of text into a fixed char array and terminates it.
// Never splits a UTF-8 sequence, so a cut name stays valid text.
void copyTruncatedUtf8(char* dest, std::size_t destSize, const char* text, std::size_t length);

template <std::size_t N> void copyTruncatedUtf8(char (&dest)[N], const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    copyTruncatedUtf8(dest, N, text, length);
}

} // namespace pelmora
