// Print, Print Preview and "-printlabel" from the window: the print dialog is answered
// through the modal layer with a PDF file, which is then read back with poppler's tools.

#include "catalog/records.h"
#include "render/calibration.h"
#include "resources/command_ids.h"
#include "shell_fixture.h"
#include "storage/label_file.h"
#include "storage/settings_store.h"

#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace pelmora::test {
namespace {

class PrintCommandTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        VAROINFO& label = app_->currentLabel();
        for (const char* name : {"Quarterly.XLS", "Minutes.DOC", "Budget.TXT"}) {
            FileEntry entry;
            std::strcpy(entry.name, name);
            entry.size = 1234;
            label.entries.push_back(entry);
        }
        label.layoutValid = 0;
        std::strcpy(label.volumeName, "OFFICE");
        requests_.clear();
    }

    // Answers the print dialog (or the preview, which also prints) with a PDF file.
    void answerWithPdf(const std::string& path, int copies, bool printFromPreview = false) {
        answer_ = [path, copies, printFromPreview](const ui::ModalRequest& request) {
            std::optional<ui::ModalAnswer> answer;
            if (request.kind == ui::ModalKind::Print ||
                request.kind == ui::ModalKind::PrintPreview) {
                request.printer->setOutputFormat(QPrinter::PdfFormat);
                request.printer->setOutputFileName(QString::fromStdString(path));
                request.printer->setCopyCount(copies);
                if (printFromPreview && request.paint) {
                    request.paint(*request.printer);
                }
                answer = ui::ModalAnswer{};
                answer->result = 1;
            }
            return answer;
        };
    }

    int requestsOf(ui::ModalKind kind) const {
        int count = 0;
        for (const ui::ModalRequest& request : requests_) {
            count += request.kind == kind ? 1 : 0;
        }
        return count;
    }

    // The text of a PDF (pdftotext) and its page count (pdfinfo).
    std::string pdfText(const std::string& pdf) {
        const std::string text = dir_.file("text.txt");
        EXPECT_EQ(runCommand("pdftotext -layout '" + pdf + "' '" + text + "'"), 0);
        return readFile(text);
    }
    int pdfPages(const std::string& pdf) {
        const std::string info = dir_.file("info.txt");
        EXPECT_EQ(runCommand("pdfinfo '" + pdf + "' > '" + info + "'"), 0);
        const std::string text = readFile(info);
        const std::size_t at = text.find("Pages:");
        return at == std::string::npos ? -1 : std::stoi(text.substr(at + 6));
    }
};

TEST_F(PrintCommandTest, PrintWritesEveryCopyAndPutsTheWindowBackAsItWas) {
    window_->sendCommand(CMD_WINDOW_SCALE_125);
    processEvents();
    const VAROINFO before = app_->currentLabel();
    const QImage screenBefore = window_->renderLabelArea();

    // Cancelled (the fixture cancels every dialog): nothing is printed or taken over.
    const PrinterIdentity identity = app_->printer;
    window_->sendCommand(CMD_PRINT);
    EXPECT_EQ(requestsOf(ui::ModalKind::Print), 1);
    EXPECT_STREQ(app_->printer.driver, identity.driver);

    const std::string pdf = dir_.file("labels.pdf");
    answerWithPdf(pdf, 2);
    window_->sendCommand(CMD_PRINT);

    EXPECT_EQ(requestsOf(ui::ModalKind::Print), 2);
    EXPECT_TRUE(requestsOf(ui::ModalKind::Message) == 0) << "no spooler failure";
    EXPECT_EQ(pdfPages(pdf), 2);
    const std::string text = pdfText(pdf);
    for (const char* name : {"Quarterly", "Minutes", "Budget", "OFFICE"}) {
        EXPECT_NE(text.find(name), std::string::npos) << name;
    }
    // The printer chosen in the dialog is the one the settings now name.
    EXPECT_STREQ(app_->printer.driver, "PDF");
    EXPECT_STREQ(app_->printer.device, "");
    EXPECT_EQ(std::string(app_->printer.port), pdf);

    // The window is as before: its scale, the labels' line heights and the picture.
    EXPECT_EQ(app_->view.windowScale, 1.25);
    EXPECT_EQ(app_->view.printing, 0);
    const VAROINFO& after = app_->currentLabel();
    EXPECT_EQ(after.fileFontHeight, before.fileFontHeight);
    EXPECT_EQ(after.folderFontHeight, before.folderFontHeight);
    EXPECT_EQ(after.commentFontHeight, before.commentFontHeight);
    EXPECT_EQ(window_->renderLabelArea(), screenBefore);
}

TEST_F(PrintCommandTest, PrintPreviewPaintsTheSheetThatPrints) {
    app_->view.format = QUAD_LABEL;
    app_->settings.print.cropMarks = 1;
    const std::string pdf = dir_.file("preview.pdf");
    answerWithPdf(pdf, 1, true);
    window_->sendCommand(CMD_PRINT_PREVIEW);

    EXPECT_EQ(requestsOf(ui::ModalKind::PrintPreview), 1);
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_NE(pdfText(pdf).find("Quarterly"), std::string::npos);
    EXPECT_EQ(app_->view.printing, 0);
}

TEST_F(PrintCommandTest, PrintLabelOnTheCommandLinePrintsOnceAndExits) {
    const std::string label = dir_.file("office.PMB");
    ASSERT_TRUE(saveLabelFile(label, app_->currentLabel()));
    clearLabel(app_->currentLabel());
    const std::string pdf = dir_.file("from-command-line.pdf");
    answerWithPdf(pdf, 1);
    ASSERT_TRUE(window_->isVisible());

    app_->shell.commandLine = "-printlabel " + label;
    window_->sendCommand(CMD_CMDLINE_PRINT);

    EXPECT_EQ(requestsOf(ui::ModalKind::Print), 1);
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_NE(pdfText(pdf).find("Minutes"), std::string::npos);
    EXPECT_FALSE(window_->isVisible()) << "the program ends after printing";
}

TEST_F(PrintCommandTest, PrinterSetupKeepsWhatTheDialogSays) {
    answer_ = [](const ui::ModalRequest& request) {
        std::optional<ui::ModalAnswer> answer;
        if (request.kind == ui::ModalKind::Dialog) {
            request.dialog->findChild<QCheckBox*>("cropMarks")->setChecked(true);
            answer = ui::ModalAnswer{};
            answer->result = QDialog::Accepted;
        }
        return answer;
    };
    window_->sendCommand(CMD_PRINTER_SETUP);
    EXPECT_EQ(app_->settings.print.cropMarks, 1);
}

} // namespace
} // namespace pelmora::test

namespace pelmora::test {
namespace {

// A catalog longer than the label: the status bar says how many lines are left out, Print asks
// first (hint "Lines Left Out", silenced by its check box), and Fit the Catalog lowers the
// fonts until every line fits, after which nothing is said.
TEST_F(PrintCommandTest, LeftOutLinesAreToldAndFitTheCatalogMakesThemFit) {
    VAROINFO& label = app_->currentLabel();
    for (int i = 0; i < 67; ++i) {
        FileEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "Entry%03d.DAT", i);
        label.entries.push_back(entry);
    }
    label.layoutValid = 0;
    window_->repaint();
    processEvents();
    const std::string told = window_->leftOutText();
    EXPECT_NE(told.find(" of 70 lines fit on the label; "), std::string::npos) << told;
    EXPECT_NE(told.find(" left out"), std::string::npos) << told;

    const std::string pdf = dir_.file("left-out.pdf");
    int hints = 0;
    bool printAnyway = false;
    answerWithPdf(pdf, 1);
    const auto answerPrint = answer_;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        if (request.kind == ui::ModalKind::Dialog &&
            request.dialog->objectName() == QStringLiteral("hintDialog")) {
            ++hints;
            EXPECT_EQ(request.dialog->windowTitle(), QStringLiteral("Lines Left Out"));
            request.dialog->findChild<QCheckBox*>("hintSilence")->setChecked(printAnyway);
            ui::ModalAnswer answer;
            answer.result = printAnyway ? QDialog::Accepted : QDialog::Rejected;
            return answer;
        }
        return answerPrint(request);
    };
    window_->sendCommand(CMD_PRINT);
    EXPECT_EQ(hints, 1);
    EXPECT_EQ(requestsOf(ui::ModalKind::Print), 0) << "\"Don't Print\" prints nothing";

    printAnyway = true;
    window_->sendCommand(CMD_PRINT_PREVIEW);
    EXPECT_EQ(hints, 2);
    EXPECT_EQ(requestsOf(ui::ModalKind::PrintPreview), 1);
    window_->sendCommand(CMD_PRINT);
    EXPECT_EQ(hints, 2) << "the silenced hint is not asked again";
    EXPECT_EQ(requestsOf(ui::ModalKind::Print), 1);
    EXPECT_EQ(pdfPages(pdf), 1);

    const std::int32_t before = std::abs(label.fileFont.lfHeight);
    window_->sendCommand(CMD_FIT_CATALOG);
    EXPECT_LT(std::abs(label.fileFont.lfHeight), before);
    EXPECT_GE(std::abs(label.fileFont.lfHeight), 7) << "never below 5 points";
    EXPECT_EQ(requestsOf(ui::ModalKind::Message), 0);
    window_->repaint();
    processEvents();
    EXPECT_EQ(window_->leftOutText(), "");
    EXPECT_TRUE(app_->document().changed);

    // Far more lines than 5 points can hold: the fonts stay and a message says what is left.
    for (int i = 0; i < 400; ++i) {
        FileEntry entry;
        std::snprintf(entry.name, sizeof entry.name, "More%03d.DAT", i);
        label.entries.push_back(entry);
    }
    label.layoutValid = 0;
    const LOGFONTA fitted = label.fileFont;
    window_->sendCommand(CMD_FIT_CATALOG);
    EXPECT_EQ(label.fileFont.lfHeight, fitted.lfHeight);
    ASSERT_EQ(requestsOf(ui::ModalKind::Message), 1);
    EXPECT_NE(requests_.back().text.find("Even at 5 points, "), std::string::npos)
        << requests_.back().text;
}

} // namespace
} // namespace pelmora::test

namespace pelmora::test {
namespace {

// The same label file with the same settings prints the same sheet from the window and from
// pelmora-cli: the user's spine initials and number included.
TEST_F(PrintCommandTest, TheCommandLinePrintsTheSheetTheWindowPrints) {
    std::strcpy(app_->paint.spineInitials, "QZW");
    std::strcpy(app_->paint.spineNumber, "88");
    ASSERT_TRUE(WriteSpineInitials(app_->paint, iniPath()));
    app_->settings.print.paperSize = 9; // A4, as the command line prints by default
    const std::string label = dir_.file("office.PMB");
    ASSERT_TRUE(saveLabelFile(label, app_->currentLabel()));

    const std::string fromWindow = dir_.file("window.pdf");
    answerWithPdf(fromWindow, 1);
    window_->sendCommand(CMD_PRINT);
    const std::string fromCli = dir_.file("cli.pdf");
    ASSERT_EQ(runCommand(std::string(PELMORA_CLI_PATH) + " print '" + label + "' -o '" + fromCli +
                         "' > /dev/null"),
              0);

    auto raster = [this](const std::string& pdf, const std::string& name) {
        const std::string prefix = dir_.file(name);
        EXPECT_EQ(runCommand("pdftoppm -r 150 -gray -singlefile '" + pdf + "' '" + prefix + "'"),
                  0);
        return QImage(QString::fromStdString(prefix + ".pgm"));
    };
    const QImage window = raster(fromWindow, "window");
    const QImage cli = raster(fromCli, "cli");
    ASSERT_FALSE(window.isNull());
    ASSERT_EQ(window.size(), cli.size());
    EXPECT_TRUE(window == cli) << "the two sheets differ";
    for (const std::string& pdf : {fromWindow, fromCli}) {
        const std::string text = pdfText(pdf);
        EXPECT_NE(text.find("QZW"), std::string::npos) << pdf << "\n" << text;
        EXPECT_NE(text.find("88"), std::string::npos) << pdf;
    }
}

} // namespace
} // namespace pelmora::test

namespace pelmora::test {
namespace {

// Printer Setup > Calibrate keeps one correction per printer; the settings carry them across
// a restart; the window's print applies the PDF printer's as pelmora-cli does.
TEST_F(PrintCommandTest, CalibrationIsKeptPerPrinterAndPrintsAsTheCommandLineDoes) {
    std::vector<std::string> shown;
    std::vector<std::string> typed;
    answer_ = [&](const ui::ModalRequest& request) -> std::optional<ui::ModalAnswer> {
        ui::ModalAnswer accepted;
        accepted.result = QDialog::Accepted;
        if (request.kind != ui::ModalKind::Dialog) {
            return std::nullopt;
        }
        QDialog& dialog = *request.dialog;
        if (dialog.objectName() == QStringLiteral("printerSetupDialog")) {
            dialog.findChild<QPushButton*>("calibrateButton")->click();
            return accepted;
        }
        if (dialog.objectName() == QStringLiteral("calibrationDialog")) {
            const char* const edits[] = {"offsetX", "offsetY", "scaleX", "scaleY"};
            for (std::size_t i = 0; i < std::size(edits); ++i) {
                auto* edit = dialog.findChild<QLineEdit*>(edits[i]);
                shown.push_back(edit->text().toStdString());
                if (i < typed.size()) {
                    edit->setText(QString::fromStdString(typed[i]));
                }
            }
            return accepted;
        }
        return std::nullopt;
    };
    auto setPrinter = [this](const char* driver) {
        std::strcpy(app_->printer.driver, driver);
        app_->printer.device[0] = '\0';
        app_->printer.port[0] = '\0';
    };
    setPrinter("PDF");
    typed = {"0.125", "-0.05", "98.5", "101"};
    window_->sendCommand(CMD_PRINTER_SETUP);
    setPrinter("DISPLAY");
    typed = {"-0.3", "0.2", "120", "90"}; // 120 % is held at 110 %
    window_->sendCommand(CMD_PRINTER_SETUP);
    EXPECT_EQ(shown, (std::vector<std::string>{"0.000", "0.000", "100.0", "100.0", "0.000", "0.000",
                                               "100.0", "100.0"}));

    app_->document().changed = false;
    ASSERT_TRUE(window_->close());
    theProgramSettings.calibrations.clear();
    start();
    const CalibrationTable& table = app_->settings.calibrations;
    EXPECT_EQ(FindCalibration(table, "PDF"), (Calibration{0.125, -0.05, 98.5, 101}));
    EXPECT_EQ(FindCalibration(table, "DISPLAY"), (Calibration{-0.3, 0.2, 110, 90}));
    EXPECT_TRUE(FindCalibration(table, "CUPS:Other").isIdentity());
    shown.clear();
    typed.clear();
    setPrinter("PDF");
    window_->sendCommand(CMD_PRINTER_SETUP);
    EXPECT_EQ(shown, (std::vector<std::string>{"0.125", "-0.050", "98.5", "101.0"}));

    // The same file printed from the window and by pelmora-cli, which reads the PDF printer's
    // calibration from the same settings; without it the sheet differs.
    app_->settings.print.paperSize = 9;
    const std::string label = dir_.file("office.PMB");
    ASSERT_TRUE(saveLabelFile(label, app_->currentLabel()));
    const std::string fromWindow = dir_.file("window.pdf");
    answerWithPdf(fromWindow, 1);
    window_->sendCommand(CMD_PRINT);
    auto cli = [&](const std::string& pdf, const std::string& options) {
        EXPECT_EQ(runCommand(std::string(PELMORA_CLI_PATH) + " print '" + label + "' -o '" + pdf +
                             "' " + options + " > /dev/null"),
                  0);
    };
    cli(dir_.file("cli.pdf"), "");
    cli(dir_.file("plain.pdf"), "--offset 0,0 --scale 100,100");
    auto raster = [this](const std::string& pdf) {
        const std::string prefix = pdf + "-page";
        EXPECT_EQ(runCommand("pdftoppm -r 100 -gray -singlefile '" + pdf + "' '" + prefix + "'"),
                  0);
        return QImage(QString::fromStdString(prefix + ".pgm"));
    };
    const QImage window = raster(fromWindow);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window == raster(dir_.file("cli.pdf")));
    EXPECT_FALSE(window == raster(dir_.file("plain.pdf")));
}

} // namespace
} // namespace pelmora::test
