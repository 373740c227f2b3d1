#pragma once
// The Printer Setup dialog: the border style, crop marks, space between labels, the printer the
// layout measures on, and where the sheet is placed.

#include "platform/core/wintypes.h"
#include "render/calibration.h"
#include "render/paint_settings.h"
#include "render/print_settings.h"
#include "render/printer.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace pelmora {

// Widgets (objectName): "borderList", "cropMarks", "spaceBetweenLabels", "printerButton",
// "printerName", "placementGroup", "defaultPosition", "positionX", "positionY", "okButton",
// "cancelButton", "calibrateButton" (enabled when the dialog is given the calibrations). The border
// list draws each of its six pen styles (0..5) as the border painter uses them.
class PrinterSetupDialog : public QDialog {
public:
    // `printerChanged` runs whenever `printer` has been switched: after the printer button
    // chose another one, and after Cancel put the original back.
    // "Ca&librate..." stores the printer's correction in `calibrations` at once.
    PrinterSetupDialog(QWidget* owner, PrinterIdentity& printer, PrintSettings& print,
                       PaintSettings& paint, std::function<void()> printerChanged,
                       CalibrationTable* calibrations = nullptr);

    // Stores the border, check boxes and placement into the settings.
    void accept() override;
    // Puts back the printer, paper and orientation the dialog started with.
    void reject() override;

private:
    void choosePrinter();
    void calibrate();
    void printAlignmentSheet();
    void showPlacementEnabled();

    PrinterIdentity& printer_;
    PrintSettings& print_;
    PaintSettings& paint_;
    std::function<void()> printerChanged_;
    CalibrationTable* calibrations_;
    const PrinterIdentity original_;
    const std::int32_t originalOrientation_;
    const std::int32_t originalPaperSize_;

    QComboBox* borders_;
    QCheckBox* cropMarks_;
    QCheckBox* separate_;
    QLabel* printerName_;
    QCheckBox* defaultPosition_;
    QLineEdit* positionX_;
    QLineEdit* positionY_;
};

// Runs Printer Setup at `rememberedPosition` (the "PrintSetupWindow" position, updated when it
// closes). `printerChanged` re-measures the labels on the printer and repaints them; it runs
// after the printer button switched printers and after Cancel restored the original one.
// Returns 1 for OK, 0 for Cancel.
int PrinterSetup(QWidget* owner, PrinterIdentity& printer, PrintSettings& print,
                 PaintSettings& paint, POINT& rememberedPosition,
                 const std::function<void()>& printerChanged,
                 CalibrationTable* calibrations = nullptr);

} // namespace pelmora
