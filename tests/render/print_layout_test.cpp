// The printed sheet: where each format puts its faces, the crop marks around them, and the
// print job on a real PDF printer. Faces and marks are read back from a recording DC with the
// caps of a 600-dpi printer.

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"
#include "render/print_job.h"
#include "render/print_layout.h"
#include "render/view_state.h"
#include "tests/support/test_support.h"

#include <QPrinter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <tuple>
#include <vector>

namespace pelmora {
namespace {

using gdi::DrawRecord;

gdi::DeviceCaps printerLikeCaps() {
    gdi::DeviceCaps caps;
    caps.technology = gdi::DT_RASPRINTER;
    caps.logPixelsX = 600;
    caps.logPixelsY = 600;
    caps.horzSizeMm = 203; // 7.99 in
    caps.vertSizeMm = 267; // 10.51 in
    caps.horzRes = 4795;
    caps.vertRes = 6307;
    return caps;
}

// The labels told apart by their body colour; label n is 0x10 * (n + 1) grey.
LabelSet colouredLabels() {
    LabelSet labels;
    for (int i = 0; i < 4; ++i) {
        const unsigned grey = 0x10u * static_cast<unsigned>(i + 1);
        labels.labels[static_cast<std::size_t>(i)].bodyBackColor = RGB(grey, grey, grey);
    }
    return labels;
}

// A face as the sheet shows it: which label, its top-left corner and its height.
struct PrintedFace {
    int label;
    int left;
    int top;
    int height;
    bool operator==(const PrintedFace&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PrintedFace& f) {
    return out << "{label " << f.label << " at " << f.left << "," << f.top << " h " << f.height
               << "}";
}

// Each face paints its body background first and its border last.
std::vector<PrintedFace> facesOf(const std::vector<DrawRecord>& records) {
    std::vector<PrintedFace> faces;
    int label = -1;
    for (const DrawRecord& r : records) {
        if (r.kind == DrawRecord::Kind::FillRect && label < 0) {
            label = static_cast<int>(GetRValue(r.color) / 0x10) - 1;
        } else if (r.kind == DrawRecord::Kind::Rectangle && r.nullFill) {
            faces.push_back({label, r.logicalRect.left, r.logicalRect.top,
                             r.logicalRect.bottom - r.logicalRect.top});
            label = -1;
        }
    }
    return faces;
}

std::vector<DrawRecord> printOneSheet(LabelFormat format, const PrintSettings& settings,
                                      double paperWidth = 8.0, double paperHeight = 10.5) {
    theView.format = format;
    LabelSet labels = colouredLabels();
    std::vector<DrawRecord> records;
    auto dc = gdi::createRecordingDC(printerLikeCaps(), records);
    PrintSheet(*dc, labels, ArrangeSheet(format, 0, settings), settings.cropMarks != 0, paperWidth,
               paperHeight);
    return records;
}

PrintSettings userPosition(double x, double y) {
    PrintSettings settings;
    settings.defaultPosition = 0;
    settings.positionX = x;
    settings.positionY = y;
    return settings;
}

PrintSettings separated() {
    PrintSettings settings;
    settings.separate = 1;
    return settings;
}

class PrintSheetTest : public ::testing::Test {
protected:
    void TearDown() override { theView = ViewState{}; }
};

TEST_F(PrintSheetTest, EachFormatPlacesItsFacesInPrintingOrder) {
    struct Case {
        const char* what;
        LabelFormat format;
        PrintSettings settings;
        std::vector<PrintedFace> faces;
    };
    const std::vector<Case> cases = {
        {"one, default place", ONE_LABEL, {}, {{0, 100, -100, -431}}},
        {"one, user place", ONE_LABEL, userPosition(1.5, 2.25), {{0, 150, -225, -431}}},
        {"quad: pages 3 and 2 above 4 and 1",
         QUAD_LABEL,
         {},
         {{0, 20, -125, -350}, {0, 376, -125, -350}, {0, 20, -475, -350}, {0, 376, -475, -431}}},
        {"fold-around: spine between the faces",
         TWO_FOLD_AROUND,
         {},
         {{0, 20, -125, -431}, {0, 20, -556, -350}, {1, 376, -125, -431}, {1, 376, -556, -350}}},
        {"fold-around, space between labels",
         TWO_FOLD_AROUND,
         separated(),
         {{0, 20, -125, -431}, {0, 20, -556, -350}, {1, 382, -125, -431}, {1, 382, -556, -350}}},
        {"fold-out at 0.5, 1.0: spine at the bottom",
         TWO_FOLD_OUT,
         userPosition(0.5, 1.0),
         {{0, 50, -100, -350}, {0, 50, -450, -431}, {1, 406, -100, -350}, {1, 406, -450, -431}}},
        {"four, default place",
         FOUR_LABELS,
         {},
         {{0, 40, -70, -431}, {1, 396, -70, -431}, {2, 40, -501, -431}, {3, 396, -501, -431}}},
        {"four, space between labels",
         FOUR_LABELS,
         separated(),
         {{0, 40, -70, -431}, {1, 402, -70, -431}, {2, 40, -507, -431}, {3, 402, -507, -431}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(facesOf(printOneSheet(c.format, c.settings)), c.faces);
    }

    // At 600 dpi the one-label default place is one inch from the printable area's corner.
    const std::vector<DrawRecord> records = printOneSheet(ONE_LABEL, {});
    auto border = std::find_if(records.begin(), records.end(), [](const DrawRecord& r) {
        return r.kind == DrawRecord::Kind::Rectangle && r.nullFill;
    });
    ASSERT_NE(border, records.end());
    EXPECT_EQ(border->deviceRect.left, 600);
    EXPECT_EQ(border->deviceRect.top, 600);

    // A placement beyond any sheet is held at 1000 inches rather than overflowing.
    const POINT far = SheetOrigin(ONE_LABEL, userPosition(1e300, std::nan("")));
    EXPECT_EQ(far.x, 100000);
    EXPECT_EQ(far.y, 0);
    EXPECT_EQ(SheetOrigin(ONE_LABEL, userPosition(-1e12, 1e12)).y, -100000);
}

using Line = std::tuple<int, int, int, int>;

// The lines that start on an edge of the 8 x 10.5 inch printable area: the crop marks.
std::multiset<Line> cropMarksOf(const std::vector<DrawRecord>& records) {
    std::multiset<Line> marks;
    for (const DrawRecord& r : records) {
        if (r.kind != DrawRecord::Kind::Line) {
            continue;
        }
        const POINT a = r.logicalPoint;
        if (a.x == 0 || a.x == 800 || a.y == 0 || a.y == -1050) {
            EXPECT_EQ(r.penWidth, 0);
            EXPECT_EQ(r.color, RGB(0, 0, 0));
            marks.insert({a.x, a.y, r.logicalPoint2.x, r.logicalPoint2.y});
        }
    }
    return marks;
}

TEST_F(PrintSheetTest, CropMarksRunFromThePaperEdgesInLineWithTheFaces) {
    PrintSettings settings;
    settings.cropMarks = 1;
    // Quad: two marks each for pages 3, 2 and 4, four for page 1, whose bottom edge lies
    // 0.81 in below page 4's.
    EXPECT_EQ(cropMarksOf(printOneSheet(QUAD_LABEL, settings)),
              (std::multiset<Line>{
                  {0, -125, 100, -125},    // page 3: top edge from the left
                  {20, 0, 20, -100},       // page 3: left edge from the top
                  {800, -125, 700, -125},  // page 2: top edge from the right
                  {732, 0, 732, -100},     // page 2: right edge from the top
                  {0, -825, 100, -825},    // page 4: bottom edge from the left
                  {20, -1050, 20, -950},   // page 4: left edge from the bottom
                  {800, -906, 700, -906},  // page 1: bottom edge from the right
                  {0, -906, 100, -906},    // page 1: bottom edge from the left
                  {732, -1050, 732, -950}, // page 1: right edge from the bottom
                  {376, -1050, 376, -950}, // page 1: left edge from the bottom
              }));

    // One label: all eight around the face at (100, -100).
    EXPECT_EQ(cropMarksOf(printOneSheet(ONE_LABEL, settings)), (std::multiset<Line>{
                                                                   {0, -100, 100, -100},
                                                                   {800, -100, 700, -100},
                                                                   {800, -531, 700, -531},
                                                                   {0, -531, 100, -531},
                                                                   {100, 0, 100, -100},
                                                                   {456, 0, 456, -100},
                                                                   {456, -1050, 456, -950},
                                                                   {100, -1050, 100, -950},
                                                               }));

    settings.cropMarks = 0;
    EXPECT_TRUE(cropMarksOf(printOneSheet(QUAD_LABEL, settings)).empty());
}

int pdfPageCount(const std::string& path) {
    const QString pdf = QString::fromLatin1(test::readFile(path));
    return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

TEST_F(PrintSheetTest, AJobPrintsOnePagePerCopyAndPutsTheWindowBack) {
    test::TempDir dir;
    const std::string output = dir.file("sheet.pdf");
    theView.format = TWO_FOLD_AROUND;
    theView.windowScale = 1.5;
    theView.windowScaleChanged = false;
    LabelSet labels = colouredLabels();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(output));
    test::MessageRecorder messages;
    EXPECT_EQ(PrintLabels(gdi::createPrinterDC(printer), 2, labels, PrintSettings{}),
              PrintJobStatus::Printed);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(pdfPageCount(output), 2);
    EXPECT_EQ(theView.windowScale, 1.5);
    EXPECT_EQ(theView.printing, 0);
    EXPECT_TRUE(theView.windowScaleChanged) << "the logo fonts are made again for the screen";
    // The line heights were measured on the printer.
    for (const VAROINFO& label : labels.labels) {
        EXPECT_GT(label.fileFontHeight, 0);
    }
}

TEST_F(PrintSheetTest, AFailingSpoolerIsReportedAndLeavesNoFile) {
    test::TempDir dir;
    const std::string output = dir.file("missing-folder/sheet.pdf");
    LabelSet labels = colouredLabels();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(output));

    test::MessageRecorder messages;
    EXPECT_EQ(PrintLabels(gdi::createPrinterDC(printer), 1, labels, PrintSettings{}),
              PrintJobStatus::StartDocFailed);
    // The printer says why it cannot write the file; every spooler step still runs and
    // reports its own failure.
    std::vector<std::string> texts;
    for (const Message& m : messages.messages()) {
        EXPECT_EQ(m.caption, texts.empty() ? "Disk Error" : "BAD STUFF");
        texts.push_back(m.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Cannot write " + output + ": No such file or directory",
                         "Print - Unable to get StartDoc()", "Print - Unable to get StartPage()",
                         "Print - Unable to get EndPage()", "Print - Unable to get EndDoc()"}));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(theView.printing, 0);
    EXPECT_EQ(theView.windowScale, 1.0);
}

} // namespace
} // namespace pelmora
