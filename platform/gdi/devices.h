#pragma once
// The devices a DeviceContext can stand for: an image, a window's painter, nothing (an
// information context for measuring), or nothing with a record of every primitive (tests).
// Printers are in printer_dc.h. Every DC needs a QGuiApplication (fonts come from Qt).

#include "platform/gdi/device_context.h"

#include <QFont>
#include <memory>
#include <vector>

class QImage;
class QPainter;

namespace pelmora::gdi {

// An image's own resolution (its dots per metre, rounded to whole dpi) and size.
DeviceCaps imageCaps(const QImage& image);

// The screen as the painters see it: 96 dpi logical, the primary screen's size in
// device-independent pixels (1920 x 1080 when there is no real screen, as on the offscreen
// platform), millimetres at 96 dpi.
DeviceCaps displayCaps();

// Paints into `image`, which must outlive the DC and be a format QPainter paints on.
std::unique_ptr<DeviceContext> createImageDC(QImage& image);

// Paints through an active painter (a window's paintEvent) with the caps the caller states;
// device pixels are the painter's coordinates. The painter must outlive the DC.
std::unique_ptr<DeviceContext> createPainterDC(QPainter& painter, const DeviceCaps& caps);

// Measures only: fonts, metrics and mapping work; drawing succeeds and draws nothing.
std::unique_ptr<DeviceContext> createInformationContext(const DeviceCaps& caps);

// An information context that appends every primitive to `records`.
std::unique_ptr<DeviceContext> createRecordingDC(const DeviceCaps& caps,
                                                 std::vector<DrawRecord>& records);
// Paints into `image` and records every primitive.
std::unique_ptr<DeviceContext> createRecordingImageDC(QImage& image,
                                                      std::vector<DrawRecord>& records);

// The Qt font the DC's selected font is realised as under its current mapping, for Qt-side
// code that must match the DC's text and for checks of font resolution.
QFont realisedFont(const DeviceContext& dc);

} // namespace pelmora::gdi
