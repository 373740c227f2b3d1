#include "render/dialogs/calibration_dialog.h"

#include "platform/ui/dialog_units.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace pelmora {

namespace {

QString inchesText(double inches) {
    return QString::asprintf("%01.3f", inches);
}

QString percentText(double percent) {
    return QString::asprintf("%01.1f", percent);
}

void readNumber(const QLineEdit& edit, double& value) {
    double read = 0.0;
    if (std::sscanf(edit.text().toUtf8().constData(), "%lf", &read) == 1 && std::isfinite(read)) {
        value = read;
    }
}

QLineEdit* edit(const QString& text, const char* name, const QRect& rect, QWidget* parent) {
    auto* line = new QLineEdit(text, parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(rect);
    return line;
}

void caption(const QString& text, const QRect& rect, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(rect);
    label->setBuddy(buddy);
}

} // namespace

CalibrationDialog::CalibrationDialog(QWidget* owner, const QString& printerName,
                                     Calibration& calibration, std::function<void()> printSheet)
    : QDialog(owner), calibration_(calibration) {
    setObjectName(QStringLiteral("calibrationDialog"));
    setWindowTitle(QStringLiteral("Calibrate"));
    setFixedSize(ui::dluSize(230, 112));

    auto* printer = new QLabel(QStringLiteral("Printer: ") + printerName, this);
    printer->setTextFormat(Qt::PlainText);
    printer->setGeometry(ui::dluRect(7, 7, 160, 8));
    auto* help = new QLabel(QStringLiteral("Print the alignment sheet, measure where the outline "
                                           "landed and type the correction."),
                            this);
    help->setWordWrap(true);
    help->setGeometry(ui::dluRect(7, 18, 160, 18));

    offsetX_ = edit(inchesText(calibration.offsetX), "offsetX", ui::dluRect(62, 40, 36, 12), this);
    caption(QStringLiteral("&X offset (in.):"), ui::dluRect(7, 42, 54, 8), offsetX_, this);
    offsetY_ = edit(inchesText(calibration.offsetY), "offsetY", ui::dluRect(62, 56, 36, 12), this);
    caption(QStringLiteral("&Y offset (in.):"), ui::dluRect(7, 58, 54, 8), offsetY_, this);
    scaleX_ = edit(percentText(calibration.scaleX), "scaleX", ui::dluRect(150, 40, 36, 12), this);
    caption(QStringLiteral("X &scale (%):"), ui::dluRect(104, 42, 45, 8), scaleX_, this);
    scaleY_ = edit(percentText(calibration.scaleY), "scaleY", ui::dluRect(150, 56, 36, 12), this);
    caption(QStringLiteral("Y s&cale (%):"), ui::dluRect(104, 58, 45, 8), scaleY_, this);
    auto* range = new QLabel(QStringLiteral("Offsets -2 to 2 in.; scales 90 to 110 %."), this);
    range->setGeometry(ui::dluRect(7, 74, 180, 8));

    auto* sheet = new QPushButton(QStringLiteral("Print Alignment S&heet..."), this);
    sheet->setObjectName(QStringLiteral("alignmentSheetButton"));
    sheet->setGeometry(ui::dluRect(7, 90, 100, 14));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(173, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(173, 24, 50, 14));

    QWidget* const tabOrder[] = {offsetX_, offsetY_, scaleX_, scaleY_, sheet, ok, cancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    connect(sheet, &QPushButton::clicked, this, [printSheet = std::move(printSheet)] {
        if (printSheet) {
            printSheet();
        }
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    offsetX_->setFocus();
}

void CalibrationDialog::accept() {
    Calibration read = calibration_;
    readNumber(*offsetX_, read.offsetX);
    readNumber(*offsetY_, read.offsetY);
    readNumber(*scaleX_, read.scaleX);
    readNumber(*scaleY_, read.scaleY);
    calibration_ = HeldCalibration(read);
    QDialog::accept();
}

} // namespace pelmora
