#include "platform/ui/print_dialogs.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/printer_select_dialog.h"

#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace pelmora::ui {

namespace {

// The paper and orientation kept with the choice stay when the dialog reports none.
void takeOver(const QPrinter& printer, gdi::PrinterChoice& choice) {
    gdi::PrinterChoice chosen = gdi::choiceOf(printer);
    if (chosen.paperSize < 0) {
        chosen.paperSize = choice.paperSize;
    }
    choice = chosen;
}

bool runPrinterDialog(ModalKind kind, QWidget* owner, QPrinter& printer, const char* title) {
    ModalRequest request;
    request.kind = kind;
    request.owner = owner;
    request.title = title;
    request.printer = &printer;
    if (auto answer = askDialogAnswerer(request)) {
        return answer->result != 0;
    }
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QString::fromUtf8(title));
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (kind == ModalKind::Print) {
        options |= QAbstractPrintDialog::PrintCollateCopies;
    }
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

std::unique_ptr<QPrinter> askPrint(QWidget* owner, gdi::PrinterChoice& choice, int& copies) {
    std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    printer->setCopyCount(1);
    if (!runPrinterDialog(ModalKind::Print, owner, *printer, "Print")) {
        return nullptr;
    }
    copies = printer->copyCount() < 1 ? 1 : printer->copyCount();
    printer->setCopyCount(1);
    takeOver(*printer, choice);
    return printer;
}

int askPrintSetup(QWidget* owner, gdi::PrinterChoice& choice) {
    std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    ModalRequest request;
    request.kind = ModalKind::PrintSetup;
    request.owner = owner;
    request.title = "Select Printer";
    request.printer = printer.get();
    if (auto answer = askDialogAnswerer(request)) {
        if (answer->result == 0) {
            return 0;
        }
        takeOver(*printer, choice);
        return 1;
    }
    // Nothing is printed here: a dialog of its own picks printer, paper and orientation, and
    // asks for no output file.
    PrinterSelectDialog dialog(owner, choice);
    if (runDialog(dialog) != QDialog::Accepted) {
        return 0;
    }
    choice = dialog.choice();
    return 1;
}

void showPrintPreview(QWidget* owner, gdi::PrinterChoice& choice,
                      const std::function<void(QPrinter&)>& paint) {
    std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    ModalRequest request;
    request.kind = ModalKind::PrintPreview;
    request.owner = owner;
    request.title = "Print Preview";
    request.printer = printer.get();
    request.paint = paint;
    if (auto answer = askDialogAnswerer(request)) {
        takeOver(*printer, choice);
        return;
    }
    QPrintPreviewDialog preview(printer.get(), owner);
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    // Large enough to read the names on the sheet.
    if (const QScreen* screen =
            owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen()) {
        preview.resize(screen->availableSize() * 3 / 4);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&paint](QPrinter* target) { paint(*target); });
    preview.exec();
    takeOver(*printer, choice);
}

} // namespace pelmora::ui
