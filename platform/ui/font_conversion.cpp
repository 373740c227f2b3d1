#include "platform/ui/font_conversion.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace pelmora::ui {

namespace {

double pointsOf(std::int32_t height, int unitsPerInch) {
    return std::abs(height) * 72.0 / unitsPerInch;
}

// GDI's 0 means "the default weight", which is normal.
int qtWeight(std::int32_t weight) {
    return weight <= 0 ? QFont::Normal : std::clamp(weight, 1, 1000);
}

// The chooser lists whole points and shows a record's size rounded to them, so a whole size
// equal to that rounding is the record's own size left alone.
bool sameSize(double points, double recordPoints) {
    return std::abs(points - recordPoints) < 1e-6 ||
           (points == std::round(points) && points == std::round(recordPoints));
}

QString faceOf(const LOGFONTA& font) {
    return QString::fromUtf8(
        font.lfFaceName, static_cast<qsizetype>(strnlen(font.lfFaceName, sizeof font.lfFaceName)));
}

} // namespace

QFont toQFont(const LOGFONTA& font, int unitsPerInch) {
    QFont result(faceOf(font));
    if (font.lfHeight != 0) {
        result.setPointSizeF(pointsOf(font.lfHeight, unitsPerInch));
    }
    result.setWeight(static_cast<QFont::Weight>(qtWeight(font.lfWeight)));
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    return result;
}

LOGFONTA toLogFont(const QFont& font, int unitsPerInch, const LOGFONTA& base) {
    LOGFONTA result = base;
    const double points = font.pointSizeF();
    const bool keepHeight =
        base.lfHeight != 0 && sameSize(points, pointsOf(base.lfHeight, unitsPerInch));
    if (points > 0 && !keepHeight) {
        result.lfHeight = -static_cast<std::int32_t>(std::lround(points * unitsPerInch / 72.0));
    }
    if (font.weight() != qtWeight(base.lfWeight)) {
        result.lfWeight = font.weight();
    }
    result.lfItalic = font.italic() ? 1 : 0;
    result.lfUnderline = font.underline() ? 1 : 0;
    result.lfStrikeOut = font.strikeOut() ? 1 : 0;
    const QString family = font.family();
    if (!family.isEmpty() && family != faceOf(base) && family != listedFamily(base)) {
        std::memset(result.lfFaceName, 0, sizeof result.lfFaceName);
        copyTruncatedUtf8(result.lfFaceName, family.toUtf8().constData());
    }
    return result;
}

QString listedFamily(const LOGFONTA& font) {
    const QString face = faceOf(font);
    if (face.isEmpty() || QFontDatabase::families().contains(face)) {
        return face;
    }
    return QFontInfo(QFont(face)).family();
}

} // namespace pelmora::ui
