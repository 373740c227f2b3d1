// pelmora-cli print, run as a separate process on a scanned folder; the PDFs it writes are
// read back with the poppler tools (pdfinfo, pdftotext, pdftoppm).

#include "platform/gdi/printer_dc.h"
#include "render/geometry.h"
#include "render/print_job.h"
#include "render/print_layout.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora {
namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;
constexpr int kRasterDpi = 100; // one pixel per label unit
constexpr int kPaperA4 = 9;
constexpr int kPaperLetter = 1;

using CliRun = test::CommandRun;

CliRun runCli(const std::string& arguments) {
    return test::runCapturing(std::string("LC_ALL=C ") + PELMORA_CLI_PATH + " " + arguments);
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::set<std::string> folderListing(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The catalogued names, mixed case so that the scan keeps them as they are.
const char* const kNames[] = {"Quillon.txt", "Marmoset.doc", "Zephyr.bin", "Archive",
                              "Tangelo.pdf"};

class CliPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.writeFile("disk/Quillon.txt", 1500);
        dir_.writeFile("disk/Marmoset.doc", 4096);
        dir_.writeFile("disk/Zephyr.bin", 20000);
        dir_.writeFile("disk/Archive/Tangelo.pdf", 700);
        label_ = dir_.file("disk.PMB");
        const CliRun scan =
            runCli("scan " + test::quoted(dir_.file("disk")) + " -o " + test::quoted(label_));
        ASSERT_EQ(scan.exitCode, 0) << scan.err;
    }

    CliRun print(const std::string& output, const std::string& options) {
        return runCli("print " + test::quoted(label_) + " -o " + test::quoted(output) + " " +
                      options);
    }
    CliRun render(const std::string& output, const std::string& options) {
        return runCli("render " + test::quoted(label_) + " -o " + test::quoted(output) + " " +
                      options);
    }

    test::TempDir dir_;
    std::string label_;
};

TEST_F(CliPrintTest, WritesOnePageACopyOnTheChosenPaperWithTheCatalogOnEveryLabel) {
    struct Case {
        std::string options;
        int pages;
        std::string pageSize;
        int labelsPerPage;
    };
    const Case cases[] = {
        {"--copies 2 --paper letter", 2, "612 x 792 pts (letter)", 1},
        {"", 1, "595 x 842 pts (A4)", 1},
        {"--format quad --paper a4", 1, "595 x 842 pts (A4)", 1},
        {"--format fold-out --separate", 1, "595 x 842 pts (A4)", 2},
        {"--format four --copies 3", 3, "595 x 842 pts (A4)", 4},
    };
    for (const Case& c : cases) {
        const std::string pdf = dir_.file("labels.pdf");
        std::remove(pdf.c_str());
        const CliRun run = print(pdf, c.options);
        ASSERT_EQ(run.exitCode, 0) << c.options << ": " << run.err;
        EXPECT_EQ(run.err, "") << c.options;

        const CliRun info = test::runCapturing("pdfinfo " + test::quoted(pdf));
        ASSERT_EQ(info.exitCode, 0) << c.options << ": " << info.err;
        EXPECT_NE(info.out.find("Pages:" + std::string(11, ' ') + std::to_string(c.pages) + "\n"),
                  std::string::npos)
            << c.options << "\n"
            << info.out;
        EXPECT_NE(info.out.find("Page size:       " + c.pageSize), std::string::npos)
            << c.options << "\n"
            << info.out;
        for (int page = 1; page <= c.pages; ++page) {
            const std::string range = " -f " + std::to_string(page) + " -l " + std::to_string(page);
            const CliRun text =
                test::runCapturing("pdftotext" + range + " " + test::quoted(pdf) + " -");
            for (const char* name : kNames) {
                EXPECT_EQ(countOf(text.out, name), c.labelsPerPage)
                    << c.options << ", page " << page << ": " << name << "\n"
                    << text.out;
            }
        }
    }
}

// Where a printed sheet puts its faces and crop marks, in label units from the top-left
// corner of the printable area, and where that corner lies on the paper.
struct ExpectedSheet {
    double originX = 0; // pixels at kRasterDpi
    double originY = 0;
    std::vector<RECT> faces;
    std::vector<RECT> marks; // each a line from (left, top) to (right, bottom)
};

ExpectedSheet expectedSheet(LabelFormat format, const PrintSettings& settings, int paper) {
    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.port = "/dev/null";
    choice.paperSize = paper;
    const gdi::DeviceCaps caps = gdi::printerCaps(*gdi::createPrinter(choice));
    ExpectedSheet sheet;
    sheet.originX = caps.physicalOffsetX * double(kRasterDpi) / caps.logPixelsX;
    sheet.originY = caps.physicalOffsetY * double(kRasterDpi) / caps.logPixelsY;
    const int wx = static_cast<int>(caps.horzSizeMm * kInchesPerMillimetre * 100);
    const int hy = static_cast<int>(caps.vertSizeMm * kInchesPerMillimetre * -100);

    for (const SheetFace& face : ArrangeSheet(format, 0, settings)) {
        const int l = face.topLeft.x;
        const int t = face.topLeft.y;
        const int r = l + kFaceWidth;
        const int b = t + FaceHeight(format, face.position);
        sheet.faces.push_back(RECT{l, t, r, b});
        const std::pair<unsigned, RECT> lines[] = {
            {CROP_TOP_FROM_LEFT, {0, t, 100, t}},
            {CROP_TOP_FROM_RIGHT, {wx, t, wx - 100, t}},
            {CROP_BOTTOM_FROM_RIGHT, {wx, b, wx - 100, b}},
            {CROP_BOTTOM_FROM_LEFT, {0, b, 100, b}},
            {CROP_LEFT_FROM_TOP, {l, 0, l, -100}},
            {CROP_RIGHT_FROM_TOP, {r, 0, r, -100}},
            {CROP_RIGHT_FROM_BOTTOM, {r, hy, r, hy + 100}},
            {CROP_LEFT_FROM_BOTTOM, {l, hy, l, hy + 100}},
        };
        for (const auto& [bit, line] : lines) {
            if (face.cropMarks & bit) {
                sheet.marks.push_back(line);
            }
        }
    }
    return sheet;
}

// The first page of a PDF as a grey picture at kRasterDpi.
QImage rasterise(const std::string& pdf, const test::TempDir& dir) {
    const std::string prefix = dir.file("page");
    const CliRun run = test::runCapturing("pdftoppm -r " + std::to_string(kRasterDpi) +
                                          " -gray -singlefile -f 1 -l 1 " + test::quoted(pdf) +
                                          " " + test::quoted(prefix));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return QImage(QString::fromStdString(prefix + ".pgm"));
}

// Checks a rasterised sheet against its expected marks (or against none): every point of a
// mark outside the faces has a dark pixel within 2 pixels of it, and no dark pixel lies
// outside the faces except on a mark.
class SheetChecker {
public:
    SheetChecker(const QImage& image, const ExpectedSheet& sheet) : image_(image), sheet_(sheet) {}

    // Mark points outside the faces that have no dark pixel near them; `checked` counts the
    // points looked at.
    int missingAlong(const RECT& mark, int& checked) const {
        const QPoint from = toPixel(mark.left, mark.top);
        const QPoint to = toPixel(mark.right, mark.bottom);
        const QPoint step((to.x() > from.x()) - (to.x() < from.x()),
                          (to.y() > from.y()) - (to.y() < from.y()));
        const int length = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
        int missing = 0;
        for (int i = kTolerance + 1; i < length - kTolerance; ++i) {
            const QPoint p = from + step * i;
            if (nearFace(p)) {
                continue;
            }
            ++checked;
            missing += !darkNear(p, kTolerance);
        }
        return missing;
    }

    // Dark pixels that lie neither in (or on the border of) a face nor, when `marksDrawn`,
    // on a mark.
    int strayDarkPixels(bool marksDrawn) const {
        int stray = 0;
        for (int y = 0; y < image_.height(); ++y) {
            for (int x = 0; x < image_.width(); ++x) {
                const QPoint p(x, y);
                if (dark(p) && !nearFace(p) && !(marksDrawn && nearMark(p))) {
                    ++stray;
                }
            }
        }
        return stray;
    }

private:
    static constexpr int kTolerance = 2;

    QPoint toPixel(int x, int y) const {
        return QPoint(static_cast<int>(sheet_.originX + x), static_cast<int>(sheet_.originY - y));
    }
    QRect pixelRect(const RECT& r) const {
        return QRect(toPixel(r.left, r.top), toPixel(r.right, r.bottom)).normalized();
    }
    bool nearFace(QPoint p) const {
        return std::any_of(sheet_.faces.begin(), sheet_.faces.end(), [&](const RECT& face) {
            return pixelRect(face)
                .adjusted(-kTolerance - 1, -kTolerance - 1, kTolerance + 1, kTolerance + 1)
                .contains(p);
        });
    }
    bool nearMark(QPoint p) const {
        return std::any_of(sheet_.marks.begin(), sheet_.marks.end(), [&](const RECT& mark) {
            return pixelRect(mark)
                .adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance)
                .contains(p);
        });
    }
    bool dark(QPoint p) const { return image_.rect().contains(p) && qGray(image_.pixel(p)) < 128; }
    bool darkNear(QPoint p, int radius) const {
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                if (dark(p + QPoint(dx, dy))) {
                    return true;
                }
            }
        }
        return false;
    }

    const QImage& image_;
    const ExpectedSheet& sheet_;
};

TEST_F(CliPrintTest, CropMarksRunAnInchFromThePrintableEdgeInLineWithTheFaceEdges) {
    PrintSettings moved;
    moved.separate = 1;
    moved.defaultPosition = 0;
    moved.positionX = 0.5;
    moved.positionY = 0.25;
    struct Case {
        std::string options;
        LabelFormat format;
        PrintSettings settings;
        int paper;
        std::size_t marks;
    };
    const Case cases[] = {
        {"--format one", ONE_LABEL, PrintSettings{}, kPaperA4, 8},
        {"--format quad --paper letter", QUAD_LABEL, PrintSettings{}, kPaperLetter, 10},
        {"--format four --separate --at 0.5,0.25", FOUR_LABELS, moved, kPaperA4, 32},
    };
    for (const Case& c : cases) {
        const ExpectedSheet sheet = expectedSheet(c.format, c.settings, c.paper);
        ASSERT_EQ(sheet.marks.size(), c.marks) << c.options;
        const std::string pdf = dir_.file("marks.pdf");

        const CliRun marked = print(pdf, c.options + " --crop-marks");
        ASSERT_EQ(marked.exitCode, 0) << c.options << ": " << marked.err;
        const QImage withMarks = rasterise(pdf, dir_);
        ASSERT_FALSE(withMarks.isNull()) << c.options;
        const SheetChecker onSheet(withMarks, sheet);
        for (const RECT& mark : sheet.marks) {
            int checked = 0;
            EXPECT_EQ(onSheet.missingAlong(mark, checked), 0)
                << c.options << ": mark (" << mark.left << ", " << mark.top << ") - (" << mark.right
                << ", " << mark.bottom << ")";
            EXPECT_GE(checked, 8) << c.options << ": too little of the mark lies outside faces";
        }
        EXPECT_EQ(onSheet.strayDarkPixels(true), 0) << c.options << ": ink beside the marks";

        const CliRun plain = print(pdf, c.options);
        ASSERT_EQ(plain.exitCode, 0) << c.options << ": " << plain.err;
        const QImage withoutMarks = rasterise(pdf, dir_);
        ASSERT_FALSE(withoutMarks.isNull()) << c.options;
        EXPECT_EQ(SheetChecker(withoutMarks, sheet).strayDarkPixels(false), 0)
            << c.options << ": ink outside the faces without crop marks";
    }
}

TEST_F(CliPrintTest, RefusedInputOrUnwritableOutputExitsTwoAndLeavesNoFile) {
    const std::string folder = dir_.makeDir("out");
    const std::string pdf = folder + "/labels.pdf";
    const std::string future = dir_.writeText("future.PMB", "42\n.NEW\n");
    struct Case {
        std::string arguments;
        int exitCode;
        std::string saying;
    };
    const std::string from = "print " + test::quoted(label_);
    const std::string to = " -o " + test::quoted(pdf);
    const Case cases[] = {
        {from + " -o " + test::quoted(folder + "/none/labels.pdf"), 2, "No such file or directory"},
        {from + " -o " + test::quoted(label_ + "/labels.pdf"), 2, "Not a directory"},
        // Legal as a name, but the job's temporary file beside it would not be.
        {from + " -o " + test::quoted(folder + "/" + std::string(250, 'n') + ".pdf"), 2,
         "File name too long"},
        {from + " -o " + test::quoted(folder), 2, "folder"},
        {"print " + test::quoted(dir_.file("missing.PMB")) + to, 2, "missing.PMB"},
        {"print " + test::quoted(future) + to, 2, "future.PMB"},
        {from + to + " --at x,1", 2, "--at"},
        {from + to + " --at 1", 2, "--at"},
        {from + to + " --border 9", 2, "--border"},
        {from + to + " --copies 0", 2, "--copies"},
        {from + to + " --copies 100", 2, "--copies"},
        {from + to + " --paper a3", 2, "--paper"},
        {from + to + " --format six", 2, "--format"},
        {from, 1, "-o"},
        {from + to + " --copies", 1, "--copies"},
        {from + to + " --frobnicate", 1, "--frobnicate"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("pelmora-cli: ", 0), 0u) << c.arguments << "\n" << run.err;
        EXPECT_NE(run.err.substr(0, run.err.find('\n')).find(c.saying), std::string::npos)
            << c.arguments << "\n"
            << run.err;
        if (c.exitCode == 2) {
            EXPECT_EQ(countOf(run.err, "\n"), 1) << c.arguments << "\n" << run.err;
        }
        EXPECT_EQ(folderListing(folder), std::set<std::string>()) << c.arguments;
    }

    // A folder the user may not write to; as root, permission bits stop only other users.
    ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    const std::string locked = dir_.makeDir("locked");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    const std::string report = test::runUnprivileged([&] {
        const CliRun run = print(locked + "/labels.pdf", "");
        return std::to_string(run.exitCode) + " " + run.err;
    });
    EXPECT_EQ(report.rfind("2 pelmora-cli: ", 0), 0u) << report;
    EXPECT_NE(report.find("Permission denied"), std::string::npos) << report;
    EXPECT_EQ(countOf(report, "\n"), 1) << report;
    EXPECT_EQ(folderListing(locked), std::set<std::string>());
}

// A 64 KB tmpfs holding a PDF and a picture, then filled to its last block: printing and
// rendering again fail with the system's reason and exit 2, and the disk holds exactly what
// it held, old files untouched and no temporary file left. The window's print job, which
// prints through the same printer, says the document was not printed.
TEST_F(CliPrintTest, PrintAndRenderOntoAFullDiskExitTwoAndKeepTheOldFiles) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    const std::string disk = dir_.makeDir("full");
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    struct Unmount {
        std::string path;
        ~Unmount() { umount(path.c_str()); }
    } unmount{disk};

    const std::string pdf = disk + "/labels.pdf";
    const std::string png = disk + "/face.png";
    ASSERT_EQ(print(pdf, "").exitCode, 0);
    ASSERT_EQ(render(png, "").exitCode, 0);
    const std::string oldPdf = test::readFile(pdf);
    const std::string oldPng = test::readFile(png);
    ASSERT_GT(oldPdf.size(), 1000u);
    ASSERT_GT(oldPng.size(), 1000u);
    test::runCommand("dd if=/dev/zero of=" + test::quoted(disk + "/filler") + " bs=1k 2>/dev/null");
    const std::set<std::string> listing = {"labels.pdf", "face.png", "filler"};
    ASSERT_EQ(folderListing(disk), listing);

    const CliRun printed = print(pdf, "--copies 3");
    EXPECT_EQ(printed.exitCode, 2) << printed.out;
    EXPECT_EQ(printed.out, "");
    EXPECT_EQ(printed.err,
              "pelmora-cli: Cannot write " + pdf + ": write: No space left on device\n");
    const CliRun rendered = render(png, "--dpi 300");
    EXPECT_EQ(rendered.exitCode, 2) << rendered.out;
    EXPECT_EQ(rendered.err,
              "pelmora-cli: cannot write " + png + ": write: No space left on device\n");

    test::MessageRecorder messages;
    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.port = pdf;
    const std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    LabelSet labels;
    EXPECT_EQ(PrintLabels(gdi::createPrinterDC(*printer), 1, labels, PrintSettings{}),
              PrintJobStatus::EndDocFailed);
    EXPECT_TRUE(messages.saw(gdi::kPrintFileErrorCaption,
                             "Cannot write " + pdf + ": write: No space left on device"));
    EXPECT_TRUE(messages.saw("BAD STUFF", "Print - Unable to get EndDoc()"));

    EXPECT_EQ(test::readFile(pdf), oldPdf);
    EXPECT_EQ(test::readFile(png), oldPng);
    EXPECT_EQ(folderListing(disk), listing);
}

// A PDF and a picture the user made read-only, in a folder the user may write to: print and
// render refuse them with the reason (the rename of the new file would replace them) and
// leave them as they were. Run as another user where the test is root, whom permission bits
// do not stop.
TEST_F(CliPrintTest, ReadOnlyOutputIsRefusedWithTheReasonAndKept) {
    ASSERT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    const std::string shared = dir_.makeDir("shared");
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    const std::string pdf = dir_.writeText("shared/labels.pdf", "%PDF-1.4 kept");
    const std::string png = dir_.writeText("shared/face.png", "kept picture");
    ASSERT_EQ(chmod(pdf.c_str(), 0444), 0);
    ASSERT_EQ(chmod(png.c_str(), 0444), 0);

    const std::string report = test::runUnprivileged([&] {
        const CliRun printed = print(pdf, "");
        const CliRun rendered = render(png, "");
        return std::to_string(printed.exitCode) + " " + printed.err +
               std::to_string(rendered.exitCode) + " " + rendered.err;
    });
    EXPECT_EQ(report, "2 pelmora-cli: Cannot write " + pdf + ": Permission denied\n" +
                          "2 pelmora-cli: cannot write " + png +
                          ": not writable: Permission denied\n");
    EXPECT_EQ(test::readFile(pdf), "%PDF-1.4 kept");
    EXPECT_EQ(test::readFile(png), "kept picture");
    EXPECT_EQ(folderListing(shared), (std::set<std::string>{"labels.pdf", "face.png"}));
}

// The bounding box of a picture's dark pixels (left, top, right, bottom in pixels).
QRect inkBounds(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// A catalog longer than the label: print and render say how many lines are left out; --fit
// lowers the fonts until every name is printed; when 5 points are not enough it says how many
// would still be left out, exits 2 and writes nothing.
TEST_F(CliPrintTest, LeftOutLinesAreToldAndFitLowersTheFontsOrRefuses) {
    const std::string windows = dir_.makeDir("windows");
    auto run = [&](const std::string& arguments) {
        return test::runCapturing("LC_ALL=C PELMORA_WINDIR=" + test::quoted(windows) + " " +
                                  PELMORA_CLI_PATH + " " + arguments);
    };
    auto scanned = [&](const std::string& name, int files) {
        for (int i = 0; i < files; ++i) {
            char file[64];
            std::snprintf(file, sizeof file, "%s/Item%04d.txt", name.c_str(), i);
            dir_.writeFile(file, 10);
        }
        const std::string label = dir_.file(name + ".PMB");
        const CliRun scan =
            run("scan " + test::quoted(dir_.file(name)) + " -o " + test::quoted(label));
        EXPECT_EQ(scan.exitCode, 0) << scan.err;
        return label;
    };
    const std::string seventy = scanned("seventy", 70);
    const std::string pdf = dir_.file("fit.pdf");

    const CliRun plain = run("print " + test::quoted(seventy) + " -o " + test::quoted(pdf));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_NE(plain.err.find(" of 70 lines fit on the label; "), std::string::npos) << plain.err;
    const std::string plainText = test::runCapturing("pdftotext " + test::quoted(pdf) + " -").out;
    EXPECT_LT(countOf(plainText, "Item"), 70);
    const CliRun rendered =
        run("render " + test::quoted(seventy) + " -o " + test::quoted(dir_.file("fit.png")));
    EXPECT_EQ(rendered.exitCode, 0) << rendered.err;
    EXPECT_NE(rendered.err.find(" of 70 lines fit on the label; "), std::string::npos)
        << rendered.err;

    const CliRun fitted =
        run("print " + test::quoted(seventy) + " -o " + test::quoted(pdf) + " --fit");
    ASSERT_EQ(fitted.exitCode, 0) << fitted.err;
    EXPECT_EQ(fitted.err, "");
    EXPECT_NE(fitted.out.find("lowered to"), std::string::npos) << fitted.out;
    const std::string text = test::runCapturing("pdftotext " + test::quoted(pdf) + " -").out;
    for (int i = 0; i < 70; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Item%04d", i);
        EXPECT_EQ(countOf(text, name), 1) << name;
    }

    // The quad label holds more, but not 900 names even at 5 points.
    const std::string many = scanned("many", 900);
    std::remove(pdf.c_str());
    const CliRun refused =
        run("print " + test::quoted(many) + " -o " + test::quoted(pdf) + " --format quad --fit");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("even at 5 points, "), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(" of 900 lines would be left out"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

// --offset and --scale move and size the printed face (its border) by the inches and percent
// given, about the printable area's corner; without them the PDF printer's stored calibration
// applies; an offset that would push the face off the paper is held at the edge.
TEST_F(CliPrintTest, CalibrationMovesAndSizesThePrintedFace) {
    const std::string windows = dir_.makeDir("windows");
    const ExpectedSheet sheet = expectedSheet(ONE_LABEL, PrintSettings{}, kPaperA4);
    const RECT face = sheet.faces.at(0);
    auto printed = [&](const std::string& options) {
        const std::string pdf = dir_.file("calibrated.pdf");
        const CliRun run = test::runCapturing(
            "LC_ALL=C PELMORA_WINDIR=" + test::quoted(windows) + " " + PELMORA_CLI_PATH +
            " print " + test::quoted(label_) + " -o " + test::quoted(pdf) + " " + options);
        EXPECT_EQ(run.exitCode, 0) << options << ": " << run.err;
        return inkBounds(rasterise(pdf, dir_));
    };
    auto expectFace = [&](const QRect& box, double dx, double dy, double sx, double sy,
                          const std::string& what) {
        const double left = sheet.originX + face.left * sx + dx * kRasterDpi;
        const double top = sheet.originY - face.top * sy + dy * kRasterDpi;
        const double right = sheet.originX + face.right * sx + dx * kRasterDpi;
        const double bottom = sheet.originY - face.bottom * sy + dy * kRasterDpi;
        EXPECT_NEAR(box.left(), left, 2) << what;
        EXPECT_NEAR(box.top(), top, 2) << what;
        EXPECT_NEAR(box.right(), right, 2) << what;
        EXPECT_NEAR(box.bottom(), bottom, 2) << what;
    };
    expectFace(printed(""), 0, 0, 1, 1, "uncalibrated");
    expectFace(printed("--offset 0.5,0.25"), 0.5, 0.25, 1, 1, "offset");
    expectFace(printed("--scale 95,105"), 0, 0, 0.95, 1.05, "scale");
    expectFace(printed("--offset -0.2,0.3 --scale 105,92"), -0.2, 0.3, 1.05, 0.92, "both");
    // One inch from the corner, a two-inch shift up and left stops at the printable edge.
    expectFace(printed("--offset -2,-2"), -1, -1, 1, 1, "held at the edge");

    dir_.writeText("windows/Pelmora.ini",
                   "[vexo]\nCalibrations=2\nCalPrinter0=CUPS:Office\n"
                   "CalOffsetX0=900\nCalPrinter1=PDF\nCalOffsetX1=300\n"
                   "CalOffsetY1=-100\nCalScaleX1=98000\nCalScaleY1=102500\n");
    expectFace(printed(""), 0.3, -0.1, 0.98, 1.025, "stored for the PDF printer");
    expectFace(printed("--scale 100,100"), 0.3, -0.1, 1, 1, "--scale over the stored scale");
}

// The alignment sheet's rulers: along the top and left edges of the printable area a tick
// every tenth of an inch, longer at each half inch, longest at each inch; the one-label
// outline at its default place.
TEST_F(CliPrintTest, AlignmentSheetRulerTicksSitEveryTenthOfAnInch) {
    for (const auto& [paper, code] :
         {std::pair{"a4", kPaperA4}, std::pair{"letter", kPaperLetter}}) {
        const std::string pdf = dir_.file("align.pdf");
        const CliRun run = runCli("alignment-sheet -o " + test::quoted(pdf) + " --paper " + paper);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage image = rasterise(pdf, dir_);
        ASSERT_FALSE(image.isNull());
        const ExpectedSheet sheet = expectedSheet(ONE_LABEL, PrintSettings{}, code);
        const int ox = static_cast<int>(sheet.originX);
        const int oy = static_cast<int>(sheet.originY);
        auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
        auto darkNear = [&](int x, int y, bool across) {
            for (int d = -1; d <= 1; ++d) {
                if (across ? dark(x + d, y) : dark(x, y + d)) {
                    return true;
                }
            }
            return false;
        };
        // Whole tenths that fit on both edges of the smaller (A4) printable area.
        for (int k = 1; k < 75; ++k) {
            const int at = 10 * k;
            SCOPED_TRACE(std::string(paper) + ", tick " + std::to_string(k));
            // Top ruler: every tick reaches 0.05 in down, halves 0.10 in, inches 0.15 in.
            EXPECT_TRUE(darkNear(ox + at, oy + 5, true));
            EXPECT_FALSE(dark(ox + at + 5, oy + 5));
            EXPECT_EQ(darkNear(ox + at, oy + 10, true), k % 5 == 0);
            if (k % 10 != 1) { // clear of the inch numbers
                EXPECT_EQ(darkNear(ox + at, oy + 15, true), k % 10 == 0);
            }
            // Left ruler, the same across.
            EXPECT_TRUE(darkNear(ox + 5, oy + at, false));
            EXPECT_FALSE(dark(ox + 5, oy + at + 5));
            EXPECT_EQ(darkNear(ox + 10, oy + at, false), k % 5 == 0);
            EXPECT_EQ(darkNear(ox + 13, oy + at, false), k % 10 == 0);
        }
        // The outline's corners: one inch in from the rulers' zero, 3.56 x 4.31 in.
        const RECT face = sheet.faces.at(0);
        for (const QPoint corner : {QPoint(face.left, face.top), QPoint(face.right, face.bottom)}) {
            const int x = ox + corner.x() - (corner.x() == face.right ? 1 : 0);
            const int y = oy - corner.y() - (corner.y() == face.bottom ? 1 : 0);
            EXPECT_TRUE(darkNear(x, y, true) || darkNear(x, y, false)) << paper;
        }
    }
}

} // namespace
} // namespace pelmora
