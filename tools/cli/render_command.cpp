#include "tools/cli/render_command.h"

#include "platform/core/atomic_file.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/label_format.h"
#include "render/list_fit.h"
#include "render/paint_settings.h"
#include "render/styles.h"
#include "render/view_state.h"
#include "storage/label_file.h"
#include "tools/cli/arguments.h"
#include "tools/cli/label_input.h"
#include "tools/cli/stored_settings.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <cmath>
#include <cstring>
#include <iostream>

namespace pelmora::cli {
namespace {

constexpr int kDefaultDpi = 96;
constexpr int kMaxDpi = 2400;

struct RenderOptions {
    std::string input;
    std::string output;
    LabelFormat format = ONE_LABEL;
    int position = 1;
    int zoomed = 1; // 1 paint scale 1, 0 paint scale 0.5
    int dpi = kDefaultDpi;
};

int parseDpi(const std::string& value) {
    int dpi = 0;
    std::size_t used = 0;
    try {
        dpi = std::stoi(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != value.size() || value.empty() || dpi < 1 || dpi > kMaxDpi) {
        throw InputError("--dpi takes a whole number from 1 to " + std::to_string(kMaxDpi) +
                         ", not \"" + value + "\"");
    }
    return dpi;
}

RenderOptions parseRenderOptions(const std::vector<std::string>& args) {
    RenderOptions options;
    Arguments in(args);
    while (!in.done()) {
        const std::string arg = in.take();
        if (arg == "-o") {
            options.output = in.takeValue(arg);
        } else if (arg == "--format") {
            options.format = chooseFormat(arg, in.takeValue(arg));
        } else if (arg == "--position") {
            options.position = 1 + choose(arg, in.takeValue(arg), {"1", "2", "3", "4"});
        } else if (arg == "--scale") {
            options.zoomed = choose(arg, in.takeValue(arg), {"0.5", "1"});
        } else if (arg == "--dpi") {
            options.dpi = parseDpi(in.takeValue(arg));
        } else {
            takeFileArgument("render", arg, options.input);
        }
    }
    requireFileAndOutput("render", options.input, options.output, "OUT.png");
    if (options.position > pagesPerLabel(options.format)) {
        throw InputError("this label format has no face " + std::to_string(options.position));
    }
    return options;
}

// Pixels covering `units` label units (0.01 inch) at `dpi`, rounded up so no edge is lost.
int unitsToPixels(int units, int dpi) {
    return static_cast<int>((static_cast<long long>(units) * dpi + 99) / 100);
}

} // namespace

int runRender(const std::vector<std::string>& args, std::ostream& out) {
    const RenderOptions options = parseRenderOptions(args);

    LabelSet labels;
    VAROINFO& label = labels.labels[0];
    loadLabelInput(options.input, label);

    theView = ViewState{};
    theView.format = options.format;
    theView.position = options.position;
    theView.zoomed = options.zoomed;
    theView.windowScale = 1.0;
    theView.viewOriginX = 0;
    theView.viewOriginY = 0;
    // The spine logo the user set up, as the window paints it.
    thePaintSettings = PaintSettings{};
    const PaintSettings stored = readStoredSettings().paint;
    std::strcpy(thePaintSettings.spineInitials, stored.spineInitials);
    std::strcpy(thePaintSettings.spineNumber, stored.spineNumber);

    // A label that was never measured on a printer (a scan written by this tool) has no
    // line heights; measure them as the program does when no printer is set up.
    if (label.fileFontHeight <= 0 || label.folderFontHeight <= 0 || label.commentFontHeight <= 0) {
        auto ic = gdi::createInformationContext(gdi::displayCaps());
        MeasureFontHeights(label, *ic);
    }

    const ListFit fit = MeasureListFit(label);
    if (fit.leftOut() > 0) {
        std::cerr << "pelmora-cli: " << options.input << ": " << LeftOutText(fit) << '\n';
    }

    PlaceFace(options.zoomed, options.position, 0, label);
    // The face's top-left corner is the picture's top-left pixel, whatever offset the
    // window would give it.
    label.labelLeft = 0;
    label.labelTop = 0;
    const double s = options.zoomed ? 1.0 : 0.5;
    const int widthUnits = static_cast<int>(std::trunc(label.labelWidth * s));
    const int heightUnits = static_cast<int>(std::trunc(-label.labelHeight * s));

    QImage image(unitsToPixels(widthUnits, options.dpi), unitsToPixels(heightUnits, options.dpi),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        throw InputError("cannot make a picture of that size");
    }
    const int dotsPerMeter = static_cast<int>(std::lround(options.dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        auto dc = gdi::createImageDC(image);
        PaintFace(*dc, options.zoomed, options.position, label);
    }
    // Encoded in memory and written by the atomic writer, which checks every write, the sync
    // and the close: a full disk leaves the previous picture, not a truncated one.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    if (!encoder.write(image)) {
        throw InputError("cannot write " + options.output + ": " +
                         encoder.errorString().toStdString());
    }
    std::string problem;
    if (!writeFileAtomically(
            options.output, std::string_view(png.constData(), static_cast<std::size_t>(png.size())),
            &problem)) {
        throw InputError("cannot write " + options.output + ": " + problem);
    }
    out << options.output << ": " << image.width() << " x " << image.height() << '\n';
    return 0;
}

} // namespace pelmora::cli
