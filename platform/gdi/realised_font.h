#pragma once
// Fonts as a device shows them: a LOGFONTA realised at a mapping's scale as a Qt font with a
// whole-pixel em, and its metrics in device pixels. Device contexts cache what they realise.

#include "platform/core/wintypes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <string>

namespace pelmora::gdi {

// Fonts come from label files: ems beyond this are cut back, not realised.
constexpr int kMaxEmPixels = 16384;

// A font as the device shows it: whole-pixel em, metrics in device pixels.
struct RealisedFont {
    QFont font;
    QFontMetricsF metrics{QFont()}; // of `font`, kept for measuring many strings
    int emPixels = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double averageWidth = 0;
    double maxWidth = 0;
    // Advances of strings measured in this font (no character extra): a label measures a
    // string to place it and again to draw it, and file sizes repeat.
    mutable QHash<QString, double> advances;
};

// The cache key of `logFont` realised at device pixels per logical unit xs, ys, with
// defaultEm standing for lfHeight 0.
std::string fontKey(const LOGFONTA& logFont, double xs, double ys, int defaultEm);

// The font GDI would realise: a negative lfHeight is the em, a positive one the cell height
// (the whole-pixel em whose cell comes closest), lfWidth stretches the average width.
RealisedFont realise(const LOGFONTA& logFont, double xs, double ys, int defaultEm);

// The font a new device context selects: Arial at the device's default size.
LOGFONTA defaultLogFont();

} // namespace pelmora::gdi
