#include "platform/ui/dialogs.h"
#include "platform/ui/print_dialogs.h"
#include "render/dialogs/printer_setup_dialog.h"

#include <QAbstractItemDelegate>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelmora {
namespace {

// Installs `answerer` for the scope and puts the previous one back.
class ScopedAnswerer {
public:
    explicit ScopedAnswerer(ui::DialogAnswerer answerer)
        : previous_(ui::setDialogAnswerer(std::move(answerer))) {}
    ~ScopedAnswerer() { ui::setDialogAnswerer(previous_); }

private:
    ui::DialogAnswerer previous_;
};

std::optional<ui::ModalAnswer> answer(int result) {
    ui::ModalAnswer reply;
    reply.result = result;
    return reply;
}

PrinterIdentity identity(const char* driver, const char* device, const char* port) {
    PrinterIdentity printer;
    std::strcpy(printer.driver, driver);
    std::strcpy(printer.device, device);
    std::strcpy(printer.port, port);
    return printer;
}

std::vector<std::string> names(const PrinterIdentity& printer) {
    return {printer.driver, printer.device, printer.port};
}

template <typename Widget> Widget* child(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

TEST(PrinterSetupDialog, ShowsTheSettingsAndOffersThePositionOnlyWithoutTheDefault) {
    PrinterIdentity printer = identity("DISPLAY", "", "");
    PrintSettings print;
    print.cropMarks = 1;
    print.separate = 0;
    print.defaultPosition = 1;
    print.positionX = 1.5;
    print.positionY = 0.25;
    PaintSettings paint;
    paint.borderIndex = 3;
    PrinterSetupDialog dialog(nullptr, printer, print, paint, {});

    EXPECT_EQ(dialog.windowTitle().toStdString(), "Printer Setup");
    auto* borders = child<QComboBox>(dialog, "borderList");
    EXPECT_EQ(borders->currentIndex(), 3);
    EXPECT_EQ(dialog.focusWidget(), borders);
    EXPECT_TRUE(child<QCheckBox>(dialog, "cropMarks")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "spaceBetweenLabels")->isChecked());
    EXPECT_EQ(child<QLabel>(dialog, "printerName")->text().toStdString(), "(no printer)");
    auto* x = child<QLineEdit>(dialog, "positionX");
    auto* y = child<QLineEdit>(dialog, "positionY");
    EXPECT_EQ(x->text().toStdString(), "1.500");
    EXPECT_EQ(y->text().toStdString(), "0.250");

    auto* useDefault = child<QCheckBox>(dialog, "defaultPosition");
    EXPECT_TRUE(useDefault->isChecked());
    EXPECT_FALSE(x->isEnabled());
    EXPECT_FALSE(y->isEnabled());
    useDefault->click();
    EXPECT_TRUE(x->isEnabled());
    EXPECT_TRUE(y->isEnabled());
    useDefault->click();
    EXPECT_FALSE(x->isEnabled());

    print.defaultPosition = 0;
    PrinterSetupDialog own(nullptr, printer, print, paint, {});
    EXPECT_TRUE(child<QLineEdit>(own, "positionX")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>(own, "positionY")->isEnabled());
}

TEST(PrinterSetup, OkStoresEveryChoiceAndKeepsAPositionThatIsNotANumber) {
    PrinterIdentity printer = identity("PDF", "", "/tmp/labels.pdf");
    PrintSettings print;
    print.cropMarks = 1;
    print.separate = 0;
    print.defaultPosition = 0;
    print.positionX = 1.5;
    print.positionY = 1.0;
    PaintSettings paint;
    paint.borderIndex = 0;
    int changes = 0;
    ScopedAnswerer answerer([](const ui::ModalRequest& request) {
        QDialog& dialog = *request.dialog;
        child<QComboBox>(dialog, "borderList")->setCurrentIndex(4);
        child<QCheckBox>(dialog, "cropMarks")->click();
        child<QCheckBox>(dialog, "spaceBetweenLabels")->click();
        child<QLineEdit>(dialog, "positionX")->setText(QStringLiteral("abc"));
        child<QLineEdit>(dialog, "positionY")->setText(QStringLiteral("2.75"));
        // The edits are disabled now, and are still read.
        child<QCheckBox>(dialog, "defaultPosition")->click();
        return answer(QDialog::Accepted);
    });
    POINT remembered{40, 60};

    EXPECT_EQ(PrinterSetup(nullptr, printer, print, paint, remembered, [&] { ++changes; }), 1);
    EXPECT_EQ(paint.borderIndex, 4);
    EXPECT_EQ(print.cropMarks, 0);
    EXPECT_EQ(print.separate, 1);
    EXPECT_EQ(print.defaultPosition, 1);
    EXPECT_EQ(print.positionX, 1.5);
    EXPECT_EQ(print.positionY, 2.75);
    EXPECT_EQ(names(printer), (std::vector<std::string>{"PDF", "", "/tmp/labels.pdf"}));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(remembered, (POINT{40, 60}));
}

// The printer button is answered with a PDF file in landscape; the dialog itself with `close`.
struct PrinterSwitch {
    explicit PrinterSwitch(int close)
        : answerer(
              [this, close](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
                  if (request.kind == ui::ModalKind::PrintSetup) {
                      request.printer->setOutputFormat(QPrinter::PdfFormat);
                      request.printer->setOutputFileName(QStringLiteral("/tmp/x.pdf"));
                      request.printer->setPageOrientation(QPageLayout::Landscape);
                      request.printer->setPageSize(QPageSize(QPageSize::A5));
                      return answer(1);
                  }
                  child<QPushButton>(*request.dialog, "printerButton")->click();
                  shownName = child<QLabel>(*request.dialog, "printerName")->text().toStdString();
                  return answer(close);
              }) {}

    std::string shownName;
    ScopedAnswerer answerer;
};

TEST(PrinterSetup, ThePrinterButtonSwitchesAtOnceAndCancelSwitchesBack) {
    const PrinterIdentity original = identity("CUPS", "OfficeJet", "CUPS:");
    PrinterIdentity printer = original;
    PrintSettings print;
    print.paperSize = 1; // Letter, portrait
    PaintSettings paint;
    std::vector<std::vector<std::string>> measuredOn;
    const auto remeasure = [&] { measuredOn.push_back(names(printer)); };
    POINT remembered{0, 0};
    const std::vector<std::string> pdf{"PDF", "", "/tmp/x.pdf"};

    {
        PrinterSwitch cancelled(QDialog::Rejected);
        EXPECT_EQ(PrinterSetup(nullptr, printer, print, paint, remembered, remeasure), 0);
        EXPECT_EQ(cancelled.shownName, "PDF file: /tmp/x.pdf");
    }
    EXPECT_EQ(measuredOn, (std::vector<std::vector<std::string>>{pdf, names(original)}));
    EXPECT_EQ(names(printer), names(original));
    // The paper and orientation the printer button took over go back with the printer.
    EXPECT_EQ(print.orientation, 1);
    EXPECT_EQ(print.paperSize, 1);

    measuredOn.clear();
    {
        PrinterSwitch accepted(QDialog::Accepted);
        EXPECT_EQ(PrinterSetup(nullptr, printer, print, paint, remembered, remeasure), 1);
    }
    EXPECT_EQ(measuredOn, (std::vector<std::vector<std::string>>{pdf}));
    EXPECT_EQ(names(printer), pdf);
    EXPECT_EQ(print.orientation, 2);
}

bool dark(QRgb pixel) {
    return qGray(pixel) < 128;
}

int darkPixelsInRow(const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        count += dark(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

int darkPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        count += darkPixelsInRow(image, y);
    }
    return count;
}

int longestDarkRun(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = dark(image.pixel(x, y)) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

TEST(PrinterSetupDialog, TheBorderListDrawsEachPenStyle) {
    PrinterIdentity printer = identity("DISPLAY", "", "");
    PrintSettings print;
    PaintSettings paint;
    PrinterSetupDialog dialog(nullptr, printer, print, paint, {});
    auto* borders = child<QComboBox>(dialog, "borderList");
    ASSERT_EQ(borders->count(), 6);

    const auto drawItem = [&](int row, QStyle::State state) {
        QImage image(120, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.state = QStyle::State_Enabled | state;
        QPainter painter(&image);
        borders->itemDelegate()->paint(&painter, option, borders->model()->index(row, 0));
        EXPECT_EQ(borders->itemDelegate()->sizeHint(option, borders->model()->index(row, 0)),
                  QSize(120, 20));
        return image;
    };
    const int middle = 10;

    const QImage solid = drawItem(0, {});
    EXPECT_EQ(darkPixelsInRow(solid, middle), solid.width());
    EXPECT_EQ(darkPixels(solid), solid.width()); // one pixel thick
    EXPECT_EQ(solid.pixel(5, 3), qRgb(255, 255, 255));

    const QImage dashed = drawItem(1, {});
    EXPECT_GT(darkPixelsInRow(dashed, middle), dashed.width() / 2);
    EXPECT_LT(darkPixelsInRow(dashed, middle), dashed.width());
    EXPECT_EQ(darkPixels(dashed), darkPixelsInRow(dashed, middle));

    const QImage none = drawItem(5, {});
    EXPECT_EQ(darkPixels(none), 0);
    EXPECT_EQ(none.pixel(119, 19), qRgb(255, 255, 255)); // the box covers the whole item

    // The selected item is marked by a dotted focus rectangle around it.
    const QImage selected = drawItem(5, QStyle::State_Selected);
    EXPECT_GT(darkPixelsInRow(selected, 0), 0);
    EXPECT_LT(darkPixelsInRow(selected, 0), selected.width());

    // The closed list shows the selected style in place of text.
    const auto longestLineShown = [&](int row) {
        borders->setCurrentIndex(row);
        return longestDarkRun(borders->grab().toImage());
    };
    EXPECT_GT(longestLineShown(0), 100);
    EXPECT_LT(longestLineShown(1), 30);
    EXPECT_LT(longestLineShown(5), 10); // only the arrow
}

// The printer button's own dialog picks a printer, paper and orientation; it prints nothing,
// so it asks for no file and its main button says so.
TEST(PrinterSetup, ThePrinterButtonSelectsWithoutPrinting) {
    int dialogs = 0;
    ScopedAnswerer answerer([&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind != ui::ModalKind::Dialog) {
            return std::nullopt; // the printer-selection dialog itself is shown
        }
        ++dialogs;
        QDialog& dialog = *request.dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Printer"));
        EXPECT_EQ(child<QPushButton>(dialog, "selectButton")->text(), QStringLiteral("&Select"));
        auto* printers = child<QComboBox>(dialog, "printerList");
        printers->setCurrentIndex(printers->findText(QStringLiteral("PDF file")));
        auto* papers = child<QComboBox>(dialog, "paperList");
        papers->setCurrentIndex(papers->findData(11)); // A5
        child<QRadioButton>(dialog, "landscape")->setChecked(true);
        return answer(dialogs == 1 ? QDialog::Accepted : QDialog::Rejected);
    });
    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.port = "/tmp/kept.pdf";
    choice.paperSize = 1;
    ASSERT_EQ(ui::askPrintSetup(nullptr, choice), 1);
    EXPECT_EQ(choice.driver, "PDF");
    EXPECT_EQ(choice.port, "/tmp/kept.pdf");
    EXPECT_EQ(choice.paperSize, 11);
    EXPECT_EQ(choice.orientation, 2);

    const gdi::PrinterChoice before = choice;
    EXPECT_EQ(ui::askPrintSetup(nullptr, choice), 0);
    EXPECT_EQ(choice.paperSize, before.paperSize);
    EXPECT_EQ(choice.orientation, before.orientation);
    EXPECT_EQ(dialogs, 2);
}

} // namespace
} // namespace pelmora
