// Printing: Printer Setup, Print and the print preview. All three hand the printer the
// settings name to the printer dialogs and take over what the user chose there; afterwards
// the labels' line heights follow that printer again.

#include "platform/core/busy.h"
#include "platform/gdi/printer_dc.h"
#include "platform/ui/print_dialogs.h"
#include "render/dialogs/printer_setup_dialog.h"
#include "render/print_job.h"
#include "render/printer.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

#include <QPrinter>
#include <memory>

namespace pelmora {

namespace {

// Prints the labels on `printer`: one page per copy it asks for, while the printer itself
// makes one copy of the job (else a printer that makes copies would multiply them).
void printOn(App& app, QPrinter& printer, int copies) {
    WaitCursor wait;
    // The calibration of the printer that prints (the preview may switch printers).
    const gdi::PrinterChoice on = gdi::choiceOf(printer);
    PrintLabels(gdi::createPrinterDC(printer), copies, app.labels, app.settings.print,
                FindCalibration(app.settings.calibrations, CalibrationKey(on.driver, on.device)));
}

// The layout follows the configured printer again (the job measured on its own DC), and
// the window shows it.
void afterPrinting(App& app, MainWindow& window) {
    MeasureAllFontHeights(app.labels);
    window.invalidateLabelArea();
}

} // namespace

void cmdPrinterSetup(App& app, MainWindow& window, int) {
    PrinterSetup(
        &window, app.printer, app.settings.print, app.paint,
        app.settings.position(WindowName::PrintSetup),
        [&app, &window] {
            MeasureAllFontHeights(app.labels);
            window.invalidateLabelArea();
        },
        &app.settings.calibrations);
    window.invalidateLabelArea();
}

void cmdPrint(App& app, MainWindow& window, int) {
    if (!confirmLeftOutLines(app, window)) {
        return;
    }
    app.view.windowScaleChanged = true; // the logo fonts are made again for the printer
    gdi::PrinterChoice choice = PrinterChoiceOf(app.printer, app.settings.print);
    int copies = 1;
    std::unique_ptr<QPrinter> printer = ui::askPrint(&window, choice, copies);
    if (!printer) {
        return;
    }
    TakeOverPrinterChoice(choice, app.printer, app.settings.print);
    printOn(app, *printer, copies);
    afterPrinting(app, window);
}

void cmdPrintPreview(App& app, MainWindow& window, int) {
    if (!confirmLeftOutLines(app, window)) {
        return;
    }
    gdi::PrinterChoice choice = PrinterChoiceOf(app.printer, app.settings.print);
    ui::showPrintPreview(&window, choice, [&app](QPrinter& printer) {
        const int copies = printer.copyCount() < 1 ? 1 : printer.copyCount();
        printer.setCopyCount(1);
        printOn(app, printer, copies);
        printer.setCopyCount(copies);
    });
    TakeOverPrinterChoice(choice, app.printer, app.settings.print);
    afterPrinting(app, window);
}

} // namespace pelmora
