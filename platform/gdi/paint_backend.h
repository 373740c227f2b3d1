#pragma once
// The device behind a DeviceContext. The DC resolves every GDI setting (mapping, selected
// objects, alignment, clip) into device pixels and hands the backend finished primitives; the
// backend only puts them on a device. This base class is the "nothing" device of information
// contexts: every primitive is accepted and draws nothing.
//
// Internal to platform/gdi: painters never include this header.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QPointF>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace pelmora::gdi {

// A pen resolved to device pixels. Only drawable styles reach the backend (never PS_NULL).
struct DevicePen {
    int style = 0;          // PS_SOLID .. PS_DASHDOTDOT
    int width = 0;          // device pixels; 0 = one-pixel cosmetic pen
    double dashScale = 1.0; // dash and gap lengths of cosmetic pens are multiplied by this
    QColor color;
};

// What every shape needs besides its geometry.
struct DeviceRaster {
    bool invert = false;           // R2_NOT: invert what the shape covers, ignore its colours
    bool opaqueBackground = false; // gaps of dashed pens take `background`
    QColor background;
    std::optional<QRect> clip; // device rectangle; none = whole device
};

// One line of text, laid out by the DC. Coordinates are in the text's own frame: x along the
// writing direction, y down across it, origin at the reference point, before the rotation.
struct DeviceText {
    QFont font;
    QString text;
    QPointF reference;       // device point the text turns about
    double angleDegrees = 0; // counter-clockwise as seen on the device
    QPointF baselineStart;   // where the first glyph's baseline begins, text frame
    double advance = 0;      // length of the text along the baseline, character extra included
    double ascent = 0;       // the cell spans baseline - ascent .. baseline + descent
    double descent = 0;
    QColor color;
    std::optional<QColor> cellBackground; // OPAQUE background mode: fill the text cell
    std::optional<QRect> opaqueRect;      // ETO_OPAQUE: device rectangle filled first
    QColor opaqueColor;
    std::optional<QRect> clip; // region clip and ETO_CLIPPED combined
};

class PaintBackend {
public:
    virtual ~PaintBackend() = default;

    // True when primitives reach a device (false for information contexts and for a printer
    // outside StartDoc/EndDoc).
    virtual bool paints() const { return false; }
    // The device rectangle primitives can reach (the whole page, image or window); none when
    // the device does not say.
    virtual std::optional<QRect> deviceArea() const { return std::nullopt; }

    // `rect` is normalised and excludes its right and bottom edges.
    virtual void fillRect(const QRect& /*rect*/, const QColor& /*color*/,
                          const DeviceRaster& /*raster*/) {}
    // The outline runs through the pixels left..right-1 x top..bottom-1 of `rect` (GDI's
    // Rectangle); `fill`, when set, covers the inside of that outline.
    virtual void drawRectangle(const QRect& /*rect*/, const std::optional<DevicePen>& /*pen*/,
                               const std::optional<QColor>& /*fill*/,
                               const DeviceRaster& /*raster*/) {}
    // The end point is not drawn.
    virtual void drawLine(const QPoint& /*from*/, const QPoint& /*to*/, const DevicePen& /*pen*/,
                          const DeviceRaster& /*raster*/) {}
    // Many lines of one pen and raster at once (each as drawLine would draw it): a vector
    // device then writes one path instead of one per line.
    virtual void drawLines(const std::vector<QLine>& lines, const DevicePen& pen,
                           const DeviceRaster& raster) {
        for (const QLine& line : lines) {
            drawLine(line.p1(), line.p2(), pen, raster);
        }
    }
    virtual void drawText(const DeviceText& /*text*/) {}
    // Draws `image` into `target` (normalised device rectangle); the image is already mirrored
    // as the call asked.
    virtual void drawImage(const QRectF& /*target*/, const QImage& /*image*/, bool /*smooth*/,
                           const std::optional<QRect>& /*clip*/) {}
};

class DeviceContext;

// Qt-side views of a DC that its public (Qt-free) interface does not offer.
struct DeviceContextAccess {
    // The QFont the selected font is realised as under the DC's current mapping (without the
    // character extra).
    static QFont selectedFont(const DeviceContext& dc);
};

} // namespace pelmora::gdi
