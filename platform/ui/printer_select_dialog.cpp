#include "platform/ui/printer_select_dialog.h"

#include "platform/ui/dialog_units.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPageSize>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <strings.h>

namespace pelmora::ui {

namespace {

// The papers offered by their Windows codes (Letter, Legal, A4, A5); a printer's other paper
// is offered too when it is the one chosen.
constexpr int kPapers[] = {1, 5, 9, 11};
const QString kPdfEntry = QStringLiteral("PDF file");

QString paperName(int code) {
    return QPageSize(QPageSize::id(code)).name();
}

} // namespace

PrinterSelectDialog::PrinterSelectDialog(QWidget* owner, const gdi::PrinterChoice& choice)
    : QDialog(owner), original_(choice) {
    setObjectName(QStringLiteral("printerSelectDialog"));
    setWindowTitle(QStringLiteral("Select Printer"));
    setFixedSize(dluSize(220, 104));

    auto* explanation =
        new QLabel(QStringLiteral("The printer the labels are laid out for and printed on."), this);
    explanation->setGeometry(dluRect(7, 7, 150, 18));
    explanation->setWordWrap(true);

    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("printerList"));
    printers_->setGeometry(dluRect(44, 28, 113, 14));
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
        printers_->addItem(name);
    }
    printers_->addItem(kPdfEntry);
    const bool pdf = strcasecmp(choice.driver.c_str(), "PDF") == 0;
    const int current =
        pdf ? printers_->count() - 1 : printers_->findText(QString::fromStdString(choice.device));
    printers_->setCurrentIndex(current >= 0 ? current : 0);
    auto* printerCaption = new QLabel(QStringLiteral("&Printer:"), this);
    printerCaption->setGeometry(dluRect(7, 30, 35, 8));
    printerCaption->setBuddy(printers_);

    papers_ = new QComboBox(this);
    papers_->setObjectName(QStringLiteral("paperList"));
    papers_->setGeometry(dluRect(44, 46, 113, 14));
    for (int code : kPapers) {
        papers_->addItem(paperName(code), code);
    }
    if (choice.paperSize > 0 && papers_->findData(choice.paperSize) < 0) {
        papers_->addItem(paperName(choice.paperSize), choice.paperSize);
    }
    papers_->setCurrentIndex(std::max(0, papers_->findData(choice.paperSize)));
    if (choice.paperSize <= 0) {
        papers_->setCurrentIndex(papers_->findData(9));
    }
    auto* paperCaption = new QLabel(QStringLiteral("Pap&er:"), this);
    paperCaption->setGeometry(dluRect(7, 48, 35, 8));
    paperCaption->setBuddy(papers_);

    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), this);
    orientation->setGeometry(dluRect(7, 64, 150, 33));
    portrait_ = new QRadioButton(QStringLiteral("P&ortrait"), orientation);
    portrait_->setObjectName(QStringLiteral("portrait"));
    portrait_->setGeometry(dluRect(7, 14, 60, 10));
    landscape_ = new QRadioButton(QStringLiteral("&Landscape"), orientation);
    landscape_->setObjectName(QStringLiteral("landscape"));
    landscape_->setGeometry(dluRect(75, 14, 65, 10));
    (choice.orientation == 2 ? landscape_ : portrait_)->setChecked(true);

    auto* select = new QPushButton(QStringLiteral("&Select"), this);
    select->setObjectName(QStringLiteral("selectButton"));
    select->setDefault(true);
    select->setGeometry(dluRect(163, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(dluRect(163, 24, 50, 14));
    connect(select, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

gdi::PrinterChoice PrinterSelectDialog::choice() const {
    gdi::PrinterChoice chosen;
    if (printers_->currentText() == kPdfEntry &&
        printers_->currentIndex() == printers_->count() - 1) {
        chosen.driver = "PDF";
        // The file is asked for when printing; a PDF printer chosen before keeps its file.
        if (strcasecmp(original_.driver.c_str(), "PDF") == 0) {
            chosen.port = original_.port;
        }
    } else {
        chosen.driver = "CUPS";
        chosen.device = printers_->currentText().toStdString();
    }
    chosen.orientation = landscape_->isChecked() ? 2 : 1;
    chosen.paperSize = papers_->currentData().toInt();
    return chosen;
}

} // namespace pelmora::ui
