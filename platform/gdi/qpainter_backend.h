#pragma once
// Puts the DC's primitives on a QPainter: a window's painter, an image, or a printer page.

#include "platform/gdi/paint_backend.h"

#include <QPainter>
#include <functional>

class QImage;

namespace pelmora::gdi {

class QPainterBackend : public PaintBackend {
public:
    // `painter` may be null or inactive; nothing is drawn until it is active.
    explicit QPainterBackend(QPainter* painter = nullptr) : painter_(painter) {}

    bool paints() const override;
    std::optional<QRect> deviceArea() const override;
    void fillRect(const QRect& rect, const QColor& color, const DeviceRaster& raster) override;
    void drawRectangle(const QRect& rect, const std::optional<DevicePen>& pen,
                       const std::optional<QColor>& fill, const DeviceRaster& raster) override;
    void drawLine(const QPoint& from, const QPoint& to, const DevicePen& pen,
                  const DeviceRaster& raster) override;
    void drawLines(const std::vector<QLine>& lines, const DevicePen& pen,
                   const DeviceRaster& raster) override;
    void drawText(const DeviceText& text) override;
    void drawImage(const QRectF& target, const QImage& image, bool smooth,
                   const std::optional<QRect>& clip) override;

    // R2_NOT needs a raster paint engine (images, window backing stores). Vector devices such
    // as PDF accept the raster-op mode but would paint the shape black, so there inverted
    // shapes are left out instead.
    bool canInvert() const;

protected:
    void setPainter(QPainter* painter) { painter_ = painter; }
    QPainter* painter() const { return painter_; }

private:
    // The text itself at `baselineStart` in the painter's current frame.
    void drawPlainText(const DeviceText& text, const QPointF& baselineStart);
    // Inverts the destination wherever `draw` (painting opaque black into a mask placed at
    // `bounds`) leaves coverage. Overlapping parts of one shape are inverted once, as GDI does.
    void invertCoverage(const QRect& bounds, const std::optional<QRect>& clip,
                        const std::function<void(QPainter&)>& draw);

    QPainter* painter_ = nullptr;
};

// Owns a painter on `image` for its lifetime; the image must outlive it.
class ImageBackend : public QPainterBackend {
public:
    explicit ImageBackend(QImage& image);
    ~ImageBackend() override;

private:
    QPainter imagePainter_;
};

} // namespace pelmora::gdi
