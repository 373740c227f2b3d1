#include "platform/ui/dialog_units.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace pelmora::ui {

namespace {

// value * numerator / denominator rounded to the nearest integer, halves away from zero, as
// dialog-unit conversion has always rounded.
int scaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

} // namespace

DialogBaseUnits measureDialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // letters / 26 is twice the average width; adding one before halving rounds it.
    DialogBaseUnits units;
    units.x = std::max(1, (letters / 26 + 1) / 2);
    units.y = std::max(1, metrics.height());
    return units;
}

DialogBaseUnits dialogBaseUnits() {
    static const DialogBaseUnits units = measureDialogBaseUnits(QApplication::font());
    return units;
}

int dluToPixelsX(int dlu) {
    return scaleRounded(dlu, dialogBaseUnits().x, 4);
}

int dluToPixelsY(int dlu) {
    return scaleRounded(dlu, dialogBaseUnits().y, 8);
}

void widenToText(QWidget& control, int rightLimit) {
    const QRect rect = control.geometry();
    const int width = std::min(control.sizeHint().width(), dluToPixelsX(rightLimit) - rect.x());
    if (width > rect.width()) {
        control.setGeometry(rect.x(), rect.y(), width, rect.height());
    }
}

} // namespace pelmora::ui
