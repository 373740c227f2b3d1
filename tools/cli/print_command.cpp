#include "tools/cli/print_command.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/printer_dc.h"
#include "render/calibration.h"
#include "render/label_format.h"
#include "render/list_fit.h"
#include "render/paint_settings.h"
#include "render/print_job.h"
#include "render/print_settings.h"
#include "render/styles.h"
#include "render/view_state.h"
#include "storage/label_file.h"
#include "tools/cli/arguments.h"
#include "tools/cli/label_input.h"
#include "tools/cli/stored_settings.h"

#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace pelmora::cli {
namespace {

constexpr int kMaxCopies = 99;
constexpr double kMaxPositionInches = 99.0;
// Paper codes the printer layer takes (the system's DMPAPER_* values).
constexpr int kPaperA4 = 9;
constexpr int kPaperLetter = 1;

struct PrintOptions {
    std::string input;
    std::string output;
    LabelFormat format = ONE_LABEL;
    int border = 0;
    int copies = 1;
    int paperSize = kPaperA4;
    PrintSettings settings;
    bool fit = false;
    // --offset and --scale; what is not given comes from the PDF printer's stored calibration.
    std::optional<std::pair<double, double>> offset;
    std::optional<std::pair<double, double>> scale;
};

int parseCopies(const std::string& value) {
    int copies = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, copies);
    if (value.empty() || error != std::errc() || stop != end || copies < 1 || copies > kMaxCopies) {
        throw InputError("--copies takes a whole number from 1 to " + std::to_string(kMaxCopies) +
                         ", not \"" + value + "\"");
    }
    return copies;
}

// One coordinate of --at; from_chars reads "1.5" the same in every locale.
bool parseInches(std::string_view text, double& inches) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, inches);
    return !text.empty() && error == std::errc() && stop == end && std::isfinite(inches) &&
           inches >= 0 && inches <= kMaxPositionInches;
}

void parsePosition(const std::string& value, PrintSettings& settings) {
    const std::size_t comma = value.find(',');
    const std::string_view text(value);
    if (comma == std::string::npos || !parseInches(text.substr(0, comma), settings.positionX) ||
        !parseInches(text.substr(comma + 1), settings.positionY)) {
        throw InputError("--at takes X,Y in inches from 0 to 99, not \"" + value + "\"");
    }
    settings.defaultPosition = 0;
}

// "A,B": two numbers read the same in every locale, each within low..high.
std::optional<std::pair<double, double>> parsePair(std::string_view text, double low, double high) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    auto number = [low, high](std::string_view part, double& value) {
        const char* end = part.data() + part.size();
        const auto [stop, error] = std::from_chars(part.data(), end, value);
        return !part.empty() && error == std::errc() && stop == end && std::isfinite(value) &&
               value >= low && value <= high;
    };
    std::pair<double, double> pair;
    if (!number(text.substr(0, comma), pair.first) ||
        !number(text.substr(comma + 1), pair.second)) {
        return std::nullopt;
    }
    return pair;
}

PrintOptions parsePrintOptions(const std::vector<std::string>& args) {
    static const int kPapers[] = {kPaperA4, kPaperLetter};
    PrintOptions options;
    Arguments in(args);
    while (!in.done()) {
        const std::string arg = in.take();
        if (arg == "-o") {
            options.output = in.takeValue(arg);
        } else if (arg == "--format") {
            options.format = chooseFormat(arg, in.takeValue(arg));
        } else if (arg == "--crop-marks") {
            options.settings.cropMarks = 1;
        } else if (arg == "--border") {
            options.border = choose(arg, in.takeValue(arg), {"0", "1", "2", "3", "4", "5"});
        } else if (arg == "--separate") {
            options.settings.separate = 1;
        } else if (arg == "--at") {
            parsePosition(in.takeValue(arg), options.settings);
        } else if (arg == "--copies") {
            options.copies = parseCopies(in.takeValue(arg));
        } else if (arg == "--fit") {
            options.fit = true;
        } else if (arg == "--offset") {
            const std::string value = in.takeValue(arg);
            options.offset = parsePair(value, -kMaxCalibrationOffset, kMaxCalibrationOffset);
            if (!options.offset) {
                throw InputError("--offset takes DX,DY in inches from -2 to 2, not \"" + value +
                                 "\"");
            }
        } else if (arg == "--scale") {
            const std::string value = in.takeValue(arg);
            options.scale = parsePair(value, kMinCalibrationScale, kMaxCalibrationScale);
            if (!options.scale) {
                throw InputError("--scale takes SX,SY in percent from 90 to 110, not \"" + value +
                                 "\"");
            }
        } else if (arg == "--paper") {
            options.paperSize = kPapers[choose(arg, in.takeValue(arg), {"a4", "letter"})];
        } else {
            takeFileArgument("print", arg, options.input);
        }
    }
    requireFileAndOutput("print", options.input, options.output, "OUT.pdf");
    options.settings.paperSize = options.paperSize;
    return options;
}

// Loads the label file into every label the format prints, so each of them shows it.
void loadIntoLabels(const std::string& path, LabelFormat format, LabelSet& labels) {
    for (int i = 0; i < labelsInFormat(format); ++i) {
        VAROINFO& label = labels.labels[static_cast<std::size_t>(i)];
        loadLabelInput(path, label, i == 0);
    }
}

// Fails with the reason, before anything is painted, when no file can be created beside
// `output`: the document is written there under a temporary name first. The probe's name is
// longer than the target's (".NAME.XXXXXX"), so a name too long for a temporary one is caught
// here as well.
void checkOutputWritable(const std::string& output) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (fs::is_directory(output, ignored)) {
        throw InputError("cannot write " + output + ": it is a folder");
    }
    const fs::path target(output);
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string probe = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        throw InputError("cannot write " + output + ": cannot create a file in " + folder.string() +
                         ": " + std::strerror(errno));
    }
    ::close(fd);
    ::unlink(probe.c_str());
}

// Holds back the messages shown while it lives: a failed job becomes one line of this tool's
// own, and the messages of a job that succeeded are shown afterwards as usual.
class MessageCapture {
public:
    MessageCapture()
        : previous_(setMessageHandler([this](const Message& message) {
              held_.push_back(message);
              return static_cast<int>(IDOK);
          })) {}
    ~MessageCapture() { setMessageHandler(previous_); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::vector<Message> take() { return std::move(held_); }

private:
    std::vector<Message> held_;
    MessageHandler previous_;
};

void preparePainters(const PrintOptions& options, const StoredSettings& stored) {
    theView = ViewState{};
    theView.format = options.format;
    thePaintSettings = stored.paint;
    thePaintSettings.borderIndex = options.border;
}

// The calibration the job applies: --offset and --scale where given, the rest from the PDF
// printer's stored calibration.
Calibration calibrationOf(const PrintOptions& options, const StoredSettings& stored) {
    Calibration calibration =
        FindCalibration(stored.program.calibrations, CalibrationKey("PDF", ""));
    if (options.offset) {
        calibration.offsetX = options.offset->first;
        calibration.offsetY = options.offset->second;
    }
    if (options.scale) {
        calibration.scaleX = options.scale->first;
        calibration.scaleY = options.scale->second;
    }
    return calibration;
}

// The file and folder fonts' size as the font chooser shows it (96 units to the inch).
std::string FontPointsText(const VAROINFO& label) {
    const double units = std::max(std::abs(static_cast<double>(label.fileFont.lfHeight)),
                                  std::abs(static_cast<double>(label.folderFont.lfHeight)));
    char text[32];
    std::snprintf(text, sizeof text, "%.1f points", units * 72.0 / 96.0);
    return text;
}

// Measures every printed label's line heights as the job will (on the printer's own
// resolution and paper), lowers the fonts with --fit, and tells how many lines each label
// leaves out. A --fit that cannot reach a fit is an input error: nothing is printed.
void fitOrReport(const PrintOptions& options, LabelSet& labels, QPrinter& printer,
                 std::ostream& out) {
    const std::unique_ptr<gdi::DeviceContext> ic =
        gdi::createInformationContext(gdi::printerCaps(printer));
    for (int i = 0; i < labelsInFormat(options.format); ++i) {
        VAROINFO& label = labels.labels[static_cast<std::size_t>(i)];
        MeasureFontHeights(label, *ic);
        // Every printed label holds the same file: the first one speaks for all.
        const bool speaks = i == 0;
        if (options.fit) {
            const FitResult result = FitCatalog(label, *ic);
            if (!result.fits) {
                throw InputError(options.input + ": even at 5 points, " +
                                 GroupedCount(result.fit.leftOut()) + " of " +
                                 GroupedCount(result.fit.lines) +
                                 " lines would be left out; nothing printed");
            }
            if (result.changed && speaks) {
                out << options.input << ": file and folder fonts lowered to "
                    << FontPointsText(label) << " so that all " << GroupedCount(result.fit.lines)
                    << " lines fit\n";
            }
            continue;
        }
        const ListFit fit = MeasureListFit(label);
        if (fit.leftOut() > 0 && speaks) {
            std::cerr << "pelmora-cli: " << options.input << ": " << LeftOutText(fit) << '\n';
        }
    }
}

} // namespace

int runPrint(const std::vector<std::string>& args, std::ostream& out) {
    const PrintOptions options = parsePrintOptions(args);

    LabelSet labels;
    loadIntoLabels(options.input, options.format, labels);
    checkOutputWritable(options.output);
    const StoredSettings stored = readStoredSettings();
    preparePainters(options, stored);

    gdi::PrinterChoice choice;
    choice.driver = "PDF";
    choice.port = options.output;
    choice.orientation = 1;
    choice.paperSize = options.paperSize;
    const std::unique_ptr<QPrinter> printer = gdi::createPrinter(choice);
    fitOrReport(options, labels, *printer, out);

    PrintJobStatus status;
    std::vector<Message> held;
    {
        MessageCapture capture;
        status = PrintLabels(gdi::createPrinterDC(*printer), options.copies, labels,
                             options.settings, calibrationOf(options, stored));
        held = capture.take();
    }
    if (status != PrintJobStatus::Printed) {
        // The printer's own word on the file (with the system's reason) says most; a failed
        // job writes no file and leaves the one that was there.
        for (const Message& message : held) {
            if (message.caption == gdi::kPrintFileErrorCaption) {
                throw InputError(message.text);
            }
        }
        throw InputError("cannot write " + options.output + ": " +
                         (held.empty() ? std::string("the print job failed") : held.front().text));
    }
    for (const Message& message : held) {
        reportMessage(message.owner, message.text, message.caption, message.flags);
    }
    out << options.output << ": " << options.copies << (options.copies == 1 ? " page" : " pages")
        << '\n';
    return 0;
}

} // namespace pelmora::cli
