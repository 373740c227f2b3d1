#include "platform/gdi/devices.h"

#include "platform/gdi/qpainter_backend.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <cmath>

namespace pelmora::gdi {
namespace {

constexpr int kRasterCaps = RC_BITBLT | RC_DIBTODEV | RC_STRETCHDIB;

int millimetres(int pixels, int dpi) {
    return static_cast<int>(std::lround(pixels * 25.4 / dpi));
}

} // namespace

DeviceCaps imageCaps(const QImage& image) {
    const auto dpi = [](int dotsPerMeter) {
        const int rounded = static_cast<int>(std::lround(dotsPerMeter * 0.0254));
        return rounded > 0 ? rounded : 96;
    };
    DeviceCaps caps;
    caps.technology = DT_RASDISPLAY;
    caps.logPixelsX = dpi(image.dotsPerMeterX());
    caps.logPixelsY = dpi(image.dotsPerMeterY());
    caps.horzRes = image.width();
    caps.vertRes = image.height();
    caps.horzSizeMm = millimetres(image.width(), caps.logPixelsX);
    caps.vertSizeMm = millimetres(image.height(), caps.logPixelsY);
    caps.rasterCaps = kRasterCaps;
    return caps;
}

DeviceCaps displayCaps() {
    int width = 1920;
    int height = 1080;
    if (QGuiApplication::instance() != nullptr &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            width = screen->size().width();
            height = screen->size().height();
        }
    }
    DeviceCaps caps;
    caps.technology = DT_RASDISPLAY;
    caps.logPixelsX = 96;
    caps.logPixelsY = 96;
    caps.horzRes = width;
    caps.vertRes = height;
    caps.horzSizeMm = millimetres(width, 96);
    caps.vertSizeMm = millimetres(height, 96);
    caps.rasterCaps = kRasterCaps;
    return caps;
}

std::unique_ptr<DeviceContext> createImageDC(QImage& image) {
    return std::make_unique<DeviceContext>(std::make_unique<ImageBackend>(image), imageCaps(image));
}

std::unique_ptr<DeviceContext> createPainterDC(QPainter& painter, const DeviceCaps& caps) {
    return std::make_unique<DeviceContext>(std::make_unique<QPainterBackend>(&painter), caps);
}

std::unique_ptr<DeviceContext> createInformationContext(const DeviceCaps& caps) {
    return std::make_unique<DeviceContext>(std::make_unique<PaintBackend>(), caps);
}

std::unique_ptr<DeviceContext> createRecordingDC(const DeviceCaps& caps,
                                                 std::vector<DrawRecord>& records) {
    auto dc = createInformationContext(caps);
    dc->setRecorder(&records);
    return dc;
}

std::unique_ptr<DeviceContext> createRecordingImageDC(QImage& image,
                                                      std::vector<DrawRecord>& records) {
    auto dc = createImageDC(image);
    dc->setRecorder(&records);
    return dc;
}

QFont realisedFont(const DeviceContext& dc) {
    return DeviceContextAccess::selectedFont(dc);
}

} // namespace pelmora::gdi
