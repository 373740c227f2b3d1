#pragma once
// The Calibrate dialog of Printer Setup: the correction of one printer, as the user measured
// it on the alignment sheet. Offsets in inches ("%01.3f", like the placement edits), scales in
// percent (90 to 110).

#include "render/calibration.h"

#include <QDialog>
#include <functional>

class QLineEdit;

namespace pelmora {

// Widgets (objectName): "offsetX", "offsetY", "scaleX", "scaleY", "alignmentSheetButton",
// "okButton", "cancelButton".
class CalibrationDialog : public QDialog {
public:
    // `printSheet` prints the alignment sheet (the printer dialog first).
    CalibrationDialog(QWidget* owner, const QString& printerName, Calibration& calibration,
                      std::function<void()> printSheet);

    // Reads the four edits into the calibration, held within their ranges; an edit that does
    // not start with a number keeps its value.
    void accept() override;

private:
    Calibration& calibration_;
    QLineEdit* offsetX_;
    QLineEdit* offsetY_;
    QLineEdit* scaleX_;
    QLineEdit* scaleY_;
};

} // namespace pelmora
