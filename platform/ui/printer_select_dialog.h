#pragma once
// Printer Setup's printer choice: which printer the labels are laid out for and printed on,
// its paper and orientation. Nothing is printed here, so it asks for no file and no copies;
// its main button says "&Select".

#include "platform/gdi/printer_dc.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace pelmora::ui {

// Widgets (objectName): "printerList" (the CUPS printers, then "PDF file"), "paperList",
// "portrait", "landscape", "selectButton", "cancelButton".
class PrinterSelectDialog : public QDialog {
public:
    PrinterSelectDialog(QWidget* owner, const gdi::PrinterChoice& choice);

    // The printer, paper and orientation shown.
    gdi::PrinterChoice choice() const;

private:
    gdi::PrinterChoice original_;
    QComboBox* printers_;
    QComboBox* papers_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};

} // namespace pelmora::ui
