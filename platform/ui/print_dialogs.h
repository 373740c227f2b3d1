#pragma once
// The printer dialogs: the print dialog of the Print command, the printer-setup dialog of
// Printer Setup, and the print preview. Each runs through the modal layer (dialogs.h), so a
// test answers it by setting up the printer it is handed.

#include "platform/gdi/printer_dc.h"

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace pelmora::ui {

// The print dialog for `choice`: printer (CUPS printers and a PDF file), paper and copies; no
// page range, no selection. On OK `choice` takes over the printer and paper chosen, `copies`
// the copy count (the job prints one page per copy, so the printer itself is set to make one),
// and the printer is returned; null when cancelled.
std::unique_ptr<QPrinter> askPrint(QWidget* owner, gdi::PrinterChoice& choice, int& copies);

// The printer-selection dialog for `choice` (PrinterSelectDialog: printer, paper, orientation;
// no file is asked for, as nothing is printed): on "&Select" `choice` takes over what was
// chosen and 1 is returned; Cancel returns 0 and changes nothing.
int askPrintSetup(QWidget* owner, gdi::PrinterChoice& choice);

// The print preview of `choice`'s printer: `paint` draws the sheet on the printer it is given,
// for the preview's pages and again when the user prints from the preview. Afterwards `choice`
// holds the printer the preview ended with.
void showPrintPreview(QWidget* owner, gdi::PrinterChoice& choice,
                      const std::function<void(QPrinter&)>& paint);

} // namespace pelmora::ui
