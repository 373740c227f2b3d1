// Print, Print Preview and "-printlabel" from the window: the print dialog is answered
// through the modal layer with a PDF file, which is then read back with poppler's tools.

#include "catalog/records.h"
#include "resources/command_ids.h"
#include "shell_fixture.h"
#include "storage/label_file.h"

#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QPrinter>
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
