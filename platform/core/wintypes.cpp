#include "wintypes.h"

#include <cstring>

namespace pelmora {

bool operator==(const LOGFONTA& a, const LOGFONTA& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
           a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

void copyTruncatedUtf8(char* dest, std::size_t destSize, const char* text, std::size_t length) {
    if (destSize == 0) {
        return;
    }
    std::size_t n = length < destSize - 1 ? length : destSize - 1;
    if (n < length) {
        // Back up over continuation bytes (10xxxxxx) so the cut lands before a lead byte.
        std::size_t cut = n;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        n = cut;
    }
    std::memcpy(dest, text, n);
    dest[n] = '\0';
}

} // namespace pelmora
