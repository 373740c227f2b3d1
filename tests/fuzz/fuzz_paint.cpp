#include "tests/fuzz/fuzz_paint.h"

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/label_format.h"
#include "render/object_painter.h"
#include "render/print_layout.h"
#include "render/view_state.h"

#include <QGuiApplication>
#include <QImage>
#include <cstring>

namespace pelmora::fuzz {
namespace {

// A face at 24 dpi is about 85 x 103 pixels: every primitive runs, few pixels are filled.
constexpr int kDotsPerMeter = 945;
constexpr int kSheetSide = 280;

QImage smallImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(Qt::white);
    return image;
}

void usePaintSettings(const PaintSettings& paint) {
    thePaintSettings = paint;
    if (thePaintSettings.spineInitials[0] == '\0') {
        std::strcpy(thePaintSettings.spineInitials, "varo");
    }
    if (thePaintSettings.spineNumber[0] == '\0') {
        std::strcpy(thePaintSettings.spineNumber, "120");
    }
}

} // namespace

void startGui() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "pelmora-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    // Fonts are found and cached on first use; doing it here keeps those one-time allocations
    // out of the leak check of the first input.
    VAROINFO warmUp;
    paintLabel(warmUp);
}

void paintLabel(VAROINFO& label, const PaintSettings& paint) {
    usePaintSettings(paint);
    theView = ViewState{};
    theView.format = QUAD_LABEL;
    theView.viewOriginX = 0;
    theView.viewOriginY = 0;
    QImage image = smallImage(kSheetSide / 2, kSheetSide / 2);
    const std::unique_ptr<gdi::DeviceContext> dc = gdi::createImageDC(image);
    const struct {
        int zoomed;
        int position;
    } faces[] = {{1, 1}, {1, 2}, {0, 3}};
    for (const auto& face : faces) {
        PlaceFace(face.zoomed, face.position, 0, label);
        PaintFace(*dc, face.zoomed, face.position, label);
    }
    DrawSelectionOutline(*dc, label, 1);
}

void printSheet(LabelSet& labels, int format, const PrintSettings& print,
                const PaintSettings& paint) {
    usePaintSettings(paint);
    theView = ViewState{};
    theView.format = isLabelFormat(format) ? static_cast<LabelFormat>(format) : ONE_LABEL;
    theView.printing = 1;
    QImage image = smallImage(kSheetSide, kSheetSide);
    const std::unique_ptr<gdi::DeviceContext> dc = gdi::createImageDC(image);
    PrintSheet(*dc, labels, ArrangeSheet(theView.format, labels.currentLabelIndex, print),
               print.cropMarks != 0, 8.5, 11.0);
}

} // namespace pelmora::fuzz
