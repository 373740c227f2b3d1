// Scans a tree of 10,000 files into a label and prints it as a quad-length sheet with crop
// marks into a PDF through the print job, and compares the time with drawing the same
// strings at the same device positions with plain QPainter on a QPdfWriter of the same
// resolution and paper, measured in the same run. Then checks that the PDF holds every name
// the sheet drew; exits 1 when any is missing.
//
// usage: bench_print [--keep FOLDER]   (leaves the tree and both PDFs in FOLDER)

#include "bench/bench_timing.h"
#include "catalog/read_disk.h"
#include "platform/core/drives.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"
#include "render/paint_settings.h"
#include "render/print_job.h"
#include "render/print_layout.h"
#include "render/view_state.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

using namespace pelmora;
namespace fs = std::filesystem;

namespace {

constexpr char kDrive = 'B';
constexpr int kFiles = 10'000;
constexpr int kPaperA4 = 9;
constexpr int kRuns = 10;
constexpr double kInchesPerMillimetre = 0.03937007874015748;

// 100 folders of 100 files, mixed-case names so that the scan keeps them as they are.
void buildTree(const fs::path& root) {
    for (int folder = 0; folder < kFiles / 100; ++folder) {
        char name[32];
        std::snprintf(name, sizeof name, "Folder%03d", folder);
        const fs::path dir = root / name;
        fs::create_directories(dir);
        for (int file = 0; file < 100; ++file) {
            std::snprintf(name, sizeof name, "Doc%03d_%02d.txt", folder, file);
            std::ofstream(dir / name) << std::string(static_cast<std::size_t>(file * 37), 'x');
        }
    }
}

void collectNames(const VAROINFO& node, std::set<std::string>& names) {
    for (const FileEntry& entry : node.entries) {
        names.insert(entry.name);
        if (entry.child) {
            collectNames(*entry.child, names);
        }
    }
}

std::unique_ptr<QPrinter> pdfPrinter(const std::string& output) {
    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.port = output;
    choice.paperSize = kPaperA4;
    return gdi::createPrinter(choice);
}

// A string as the sheet drew it, in the printer's device pixels.
struct PlacedText {
    QPoint at;
    QFont font;
    QString text;
    std::string raw;
};

// Paints the sheet once through a recording DC with the printer's caps and keeps its strings;
// `others` counts the primitives that are not text (lines, fills), which the plain drawing
// leaves out.
std::vector<PlacedText> recordSheet(LabelSet& labels, const PrintSettings& settings,
                                    const gdi::DeviceCaps& caps, std::size_t& others) {
    std::vector<gdi::DrawRecord> records;
    {
        auto dc = gdi::createRecordingDC(caps, records);
        theView.printing = 1;
        PrintSheet(*dc, labels, ArrangeSheet(QUAD_LABEL, 0, settings), true,
                   caps.horzSizeMm * kInchesPerMillimetre, caps.vertSizeMm * kInchesPerMillimetre);
        theView.printing = 0;
    }
    std::vector<PlacedText> placed;
    others = 0;
    for (const gdi::DrawRecord& r : records) {
        if (r.kind != gdi::DrawRecord::Kind::Text) {
            ++others;
            continue;
        }
        if (r.text.empty()) {
            continue;
        }
        // The recorded height is in label units (0.01 inch).
        QFont font(QString::fromLatin1(r.font.lfFaceName));
        font.setPixelSize(std::max(1, std::abs(r.font.lfHeight) * caps.logPixelsY / 100));
        font.setBold(r.font.lfWeight >= 600);
        font.setItalic(r.font.lfItalic != 0);
        placed.push_back({QPoint(r.devicePoint.x, r.devicePoint.y), font,
                          QString::fromUtf8(r.text.c_str()), r.text});
    }
    return placed;
}

[[gnu::noinline]] void drawPlain(const std::vector<PlacedText>& placed, const std::string& output,
                                 const QPrinter& like) {
    QPdfWriter pdf(QString::fromStdString(output));
    pdf.setResolution(like.resolution());
    pdf.setPageLayout(like.pageLayout());
    QPainter painter(&pdf);
    for (const PlacedText& p : placed) {
        painter.setFont(p.font);
        painter.drawText(p.at + QPoint(0, QFontMetrics(p.font).ascent()), p.text);
    }
}

std::string pdfText(const std::string& pdf) {
    std::string text;
    const std::string command = "pdftotext '" + pdf + "' - 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[65536];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, n);
    }
    pclose(pipe);
    return text;
}

using bench::bestOf;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);

    const bool keep = argc > 2 && std::strcmp(argv[1], "--keep") == 0;
    std::string work = keep ? std::string(argv[2]) : std::string();
    if (!keep) {
        work = (fs::temp_directory_path() / "pelmora-bench-print-XXXXXX").string();
        if (mkdtemp(work.data()) == nullptr) {
            std::perror("mkdtemp");
            return 1;
        }
    }
    const fs::path root = fs::path(work) / "disk";
    buildTree(root);

    LabelSet labels;
    VAROINFO& label = labels.labels[0];
    resetFormat(label);
    clearLabel(label);
    CatalogSettings catalog;
    catalog.driveLetter = kDrive;
    setDriveFolder(kDrive, root.string());
    readDisk(labels, catalog);
    label.columns = 5; // the densest sheet: more of the catalog on paper
    std::set<std::string> catalogued;
    collectNames(label, catalogued);
    std::printf("catalogued names: %zu\n", catalogued.size());

    theView = ViewState{};
    theView.format = QUAD_LABEL;
    std::strcpy(thePaintSettings.spineInitials, "PM");
    std::strcpy(thePaintSettings.spineNumber, "120");
    PrintSettings settings;
    settings.cropMarks = 1;
    settings.paperSize = kPaperA4;

    const std::string ours = (fs::path(work) / "sheet.pdf").string();
    const std::string plain = (fs::path(work) / "plain.pdf").string();
    const double printTime = bestOf(kRuns, [&] {
        auto printer = pdfPrinter(ours);
        if (PrintLabels(gdi::createPrinterDC(*printer), 1, labels, settings) !=
            PrintJobStatus::Printed) {
            std::fprintf(stderr, "the print job failed\n");
            std::exit(1);
        }
    });

    auto printer = pdfPrinter(plain);
    std::size_t others = 0;
    const std::vector<PlacedText> placed =
        recordSheet(labels, settings, gdi::printerCaps(*printer), others);
    const double plainTime = bestOf(kRuns, [&] { drawPlain(placed, plain, *printer); });

    const std::string text = pdfText(ours);
    std::set<std::string> drawn;
    for (const PlacedText& p : placed) {
        if (catalogued.count(p.raw) != 0) {
            drawn.insert(p.raw);
        }
    }
    int missing = 0;
    for (const std::string& name : drawn) {
        missing += text.find(name) == std::string::npos;
    }

    std::printf("strings on the sheet: %zu (catalogued names drawn: %zu), other primitives: %zu\n",
                placed.size(), drawn.size(), others);
    std::printf("print job (quad sheet, crop marks): %.2f ms\n", printTime * 1000);
    std::printf("plain QPainter on QPdfWriter:       %.2f ms\n", plainTime * 1000);
    std::printf("ratio print/plain: %.2f (goal <= 1.50)\n", printTime / plainTime);
    std::printf("names missing: %d\n", missing);

    if (!keep) {
        std::error_code ignored;
        fs::remove_all(work, ignored);
    }
    return missing == 0 && !drawn.empty() ? 0 : 1;
}
