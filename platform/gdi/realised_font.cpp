#include "platform/gdi/realised_font.h"

#include "platform/gdi/dc_state.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace pelmora::gdi {

using dc_detail::roundClamped;

namespace {

QFont::Weight qtWeight(std::int32_t lfWeight) {
    if (lfWeight <= 0) {
        return QFont::Normal;
    }
    // Rounded to the hundred in 64 bits: a weight read from a file may be any 32-bit value.
    const auto hundreds = std::clamp<std::int64_t>((std::int64_t{lfWeight} + 50) / 100, 1, 9);
    return static_cast<QFont::Weight>(hundreds * 100);
}

double cellHeight(const QFont& font) {
    const QFontMetricsF metrics(font);
    return std::round(metrics.ascent()) + std::round(metrics.descent());
}

} // namespace

std::string fontKey(const LOGFONTA& logFont, double xs, double ys, int defaultEm) {
    LOGFONTA normalisedFont = logFont;
    const std::size_t nameLength = strnlen(logFont.lfFaceName, LF_FACESIZE);
    std::memset(normalisedFont.lfFaceName, 0, LF_FACESIZE);
    std::memcpy(normalisedFont.lfFaceName, logFont.lfFaceName,
                std::min<std::size_t>(nameLength, LF_FACESIZE - 1));
    std::string key(sizeof normalisedFont + 2 * sizeof(double) + sizeof defaultEm, '\0');
    char* at = key.data();
    std::memcpy(at, &normalisedFont, sizeof normalisedFont);
    at += sizeof normalisedFont;
    std::memcpy(at, &xs, sizeof xs);
    at += sizeof xs;
    std::memcpy(at, &ys, sizeof ys);
    at += sizeof ys;
    std::memcpy(at, &defaultEm, sizeof defaultEm);
    return key;
}

RealisedFont realise(const LOGFONTA& logFont, double xs, double ys, int defaultEm) {
    const std::size_t nameLength = strnlen(logFont.lfFaceName, LF_FACESIZE);
    const QString face =
        nameLength > 0 ? QString::fromUtf8(logFont.lfFaceName, static_cast<qsizetype>(nameLength))
                       : QStringLiteral("Arial");
    QFont font(face);
    // Advances follow the outlines (no horizontal hinting) and ignore kerning, so a string
    // measures the same in logical units on every device, as GDI's text does.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setKerning(false);
    font.setWeight(qtWeight(logFont.lfWeight));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);

    int em = defaultEm;
    if (logFont.lfHeight < 0) {
        em = roundClamped(std::abs(static_cast<double>(logFont.lfHeight)) * ys, 1, kMaxEmPixels);
    } else if (logFont.lfHeight > 0) {
        // A cell height: scale the em by the face's cell-to-em ratio, then take the whole-pixel
        // em whose cell comes closest (the smaller one on a tie).
        const double wantedCell = roundClamped(logFont.lfHeight * ys, 1, kMaxEmPixels);
        constexpr int kProbeEm = 200;
        font.setPixelSize(kProbeEm);
        const QFontMetricsF probe(font);
        const double ratio = (probe.ascent() + probe.descent()) / kProbeEm;
        const int guess = roundClamped(wantedCell / ratio, 1, kMaxEmPixels);
        double bestError = std::numeric_limits<double>::max();
        for (int candidate = std::max(1, guess - 1); candidate <= std::min(guess + 1, kMaxEmPixels);
             ++candidate) {
            font.setPixelSize(candidate);
            const double error = std::abs(cellHeight(font) - wantedCell);
            if (error < bestError) {
                bestError = error;
                em = candidate;
            }
        }
    }
    em = std::clamp(em, 1, kMaxEmPixels);
    font.setPixelSize(em);

    if (logFont.lfWidth > 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        if (natural > 0) {
            const double wanted = logFont.lfWidth * xs;
            const int stretch = roundClamped(100.0 * wanted / natural, 1, 4000);
            if (stretch != 100) {
                font.setStretch(stretch);
            }
        }
    }

    RealisedFont realised;
    realised.font = font;
    realised.metrics = QFontMetricsF(font);
    realised.emPixels = em;
    const QFontMetricsF& metrics = realised.metrics;
    realised.ascent = metrics.ascent();
    realised.descent = metrics.descent();
    realised.leading = std::max(0.0, metrics.leading());
    realised.averageWidth = metrics.averageCharWidth();
    realised.maxWidth = metrics.maxWidth();
    return realised;
}

LOGFONTA defaultLogFont() {
    LOGFONTA logFont;
    copyTruncatedUtf8(logFont.lfFaceName, "Arial");
    return logFont;
}

} // namespace pelmora::gdi
