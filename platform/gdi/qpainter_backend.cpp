#include "platform/gdi/qpainter_backend.h"

#include "platform/gdi/gdi_types.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QRegion>
#include <algorithm>
#include <vector>

namespace pelmora::gdi {
namespace {

// Dash and gap lengths of GDI's cosmetic styled pens, in pixels.
QList<qreal> dashPattern(int style) {
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

QPen toQPen(const DevicePen& pen, const QColor& color) {
    QPen qpen(color);
    if (pen.width <= 1) {
        // One-pixel pens leave out the end point of a line, as GDI does.
        qpen.setWidth(pen.width <= 0 ? 0 : 1);
        qpen.setCapStyle(Qt::FlatCap);
        qpen.setJoinStyle(Qt::MiterJoin);
    } else {
        // GDI's wide pens have round ends and joins.
        qpen.setWidth(pen.width);
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    QList<qreal> pattern = dashPattern(pen.style);
    if (!pattern.isEmpty()) {
        // Qt measures a pattern in pen widths; cosmetic pens count one pixel per unit.
        for (qreal& length : pattern) {
            length *= pen.dashScale;
        }
        qpen.setDashPattern(pattern);
    }
    return qpen;
}

// State changes only when they change something: a PDF writes every one it is given.
void usePen(QPainter& painter, const QPen& pen) {
    if (painter.pen() != pen) {
        painter.setPen(pen);
    }
}

void useBackgroundMode(QPainter& painter, Qt::BGMode mode) {
    if (painter.backgroundMode() != mode) {
        painter.setBackgroundMode(mode);
    }
}

void applyBackground(QPainter& painter, const DeviceRaster& raster, const QColor& background) {
    if (raster.opaqueBackground) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(QBrush(background));
    } else {
        useBackgroundMode(painter, Qt::TransparentMode);
    }
}

void paintRectangle(QPainter& painter, const QRect& rect, const std::optional<DevicePen>& pen,
                    const std::optional<QColor>& fill, const DeviceRaster& raster,
                    const std::optional<QColor>& forcedColor) {
    // The outline runs through left..right-1; the fill covers left..right-2 so that without a
    // pen the filled area is one pixel smaller than the rectangle, as with GDI.
    const QRect outline(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1);
    if (fill && outline.width() > 0 && outline.height() > 0) {
        painter.fillRect(outline, forcedColor.value_or(*fill));
    }
    if (pen) {
        painter.setPen(toQPen(*pen, forcedColor.value_or(pen->color)));
        painter.setBrush(Qt::NoBrush);
        applyBackground(painter, raster, forcedColor.value_or(raster.background));
        if (rect.width() == 1) {
            // A one-pixel-wide rectangle is a single column (the line leaves out its end).
            painter.drawLine(rect.topLeft(), QPoint(rect.left(), rect.top() + rect.height()));
        } else if (rect.height() == 1) {
            painter.drawLine(rect.topLeft(), QPoint(rect.left() + rect.width(), rect.top()));
        } else {
            painter.drawRect(outline);
        }
    }
}

void paintLine(QPainter& painter, const QPoint& from, const QPoint& to, const DevicePen& pen,
               const DeviceRaster& raster, const std::optional<QColor>& forcedColor) {
    usePen(painter, toQPen(pen, forcedColor.value_or(pen.color)));
    applyBackground(painter, raster, forcedColor.value_or(raster.background));
    painter.drawLine(from, to);
}

// The opaque pixels of `mask` as a region, one rectangle per run of a row (rows in order, runs
// left to right: the banded form QRegion::setRects expects).
QRegion coverageRegion(const QImage& mask) {
    std::vector<QRect> runs;
    for (int y = 0; y < mask.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        int x = 0;
        while (x < mask.width()) {
            while (x < mask.width() && qAlpha(row[x]) == 0) {
                ++x;
            }
            const int start = x;
            while (x < mask.width() && qAlpha(row[x]) != 0) {
                ++x;
            }
            if (x > start) {
                runs.emplace_back(start, y, x - start, 1);
            }
        }
    }
    QRegion region;
    if (!runs.empty()) {
        region.setRects(runs.data(), static_cast<int>(runs.size()));
    }
    return region;
}

// Sets a clip for one primitive and takes it away again. Every primitive sets the pen, brush,
// background and font it draws with, so only a clip needs the painter's state saved.
class ClipScope {
public:
    ClipScope(QPainter& painter, const std::optional<QRect>& clip)
        : painter_(painter), saved_(clip.has_value()) {
        if (saved_) {
            painter_.save();
            painter_.setClipRect(*clip, Qt::IntersectClip);
        }
    }
    ~ClipScope() {
        if (saved_) {
            painter_.restore();
        }
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    QPainter& painter_;
    bool saved_;
};

// True when upright text needs no clip: its cell lies inside `clip`, widened for italic
// glyphs that reach past their advance. Raster devices always clip exactly as asked; a
// vector device (a PDF) is spared a saved state and a clip path for every string.
bool insideClip(const DeviceText& text, const QRect& clip, bool raster) {
    if (raster) {
        return false;
    }
    const double height = text.ascent + text.descent;
    const double margin = text.font.italic() ? height / 2 : 0;
    const QRectF cell(text.reference.x() + text.baselineStart.x() - margin,
                      text.reference.y() + text.baselineStart.y() - text.ascent,
                      text.advance + 2 * margin, height);
    return QRectF(clip).contains(cell);
}

} // namespace

bool QPainterBackend::paints() const {
    return painter_ != nullptr && painter_->isActive();
}

std::optional<QRect> QPainterBackend::deviceArea() const {
    if (!paints()) {
        return std::nullopt;
    }
    // A picture recording (print preview pages) grows with what is drawn: no fixed area.
    const QPaintDevice* device = painter_->device();
    if (device == nullptr || device->devType() == QInternal::Picture || device->width() <= 0 ||
        device->height() <= 0) {
        return std::nullopt;
    }
    bool invertible = false;
    const QTransform toPainter = painter_->transform().inverted(&invertible);
    if (!invertible) {
        return std::nullopt;
    }
    return toPainter.mapRect(QRect(0, 0, device->width(), device->height()));
}

bool QPainterBackend::canInvert() const {
    return paints() && painter_->paintEngine() != nullptr &&
           painter_->paintEngine()->type() == QPaintEngine::Raster;
}

void QPainterBackend::invertCoverage(const QRect& bounds, const std::optional<QRect>& clip,
                                     const std::function<void(QPainter&)>& draw) {
    if (!canInvert()) {
        return;
    }
    QRect area = bounds;
    if (clip) {
        area &= *clip;
    }
    // Only what can reach the device needs a mask.
    const QPaintDevice* device = painter_->device();
    bool invertible = false;
    const QTransform toPainter = painter_->transform().inverted(&invertible);
    if (device != nullptr && invertible) {
        area &= toPainter.mapRect(QRect(0, 0, device->width(), device->height()));
    }
    if (area.isEmpty()) {
        return;
    }
    QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull()) {
        return;
    }
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.translate(-area.topLeft());
        draw(maskPainter);
    }
    const QRegion region = coverageRegion(mask).translated(area.topLeft());
    if (region.isEmpty()) {
        return;
    }
    painter_->save();
    painter_->setClipRegion(region, Qt::IntersectClip);
    painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_->fillRect(area, Qt::black);
    painter_->restore();
}

void QPainterBackend::fillRect(const QRect& rect, const QColor& color, const DeviceRaster& raster) {
    if (!paints() || rect.isEmpty()) {
        return;
    }
    if (raster.invert) {
        invertCoverage(rect, raster.clip, [&](QPainter& mask) { mask.fillRect(rect, Qt::black); });
        return;
    }
    ClipScope scope(*painter_, raster.clip);
    painter_->fillRect(rect, color);
}

void QPainterBackend::drawRectangle(const QRect& rect, const std::optional<DevicePen>& pen,
                                    const std::optional<QColor>& fill, const DeviceRaster& raster) {
    if (!paints() || rect.isEmpty() || (!pen && !fill)) {
        return;
    }
    if (raster.invert) {
        const int margin = pen ? std::max(pen->width, 1) + 1 : 1;
        invertCoverage(rect.adjusted(-margin, -margin, margin, margin), raster.clip,
                       [&](QPainter& mask) {
                           paintRectangle(mask, rect, pen, fill, raster, QColor(Qt::black));
                       });
        return;
    }
    ClipScope scope(*painter_, raster.clip);
    paintRectangle(*painter_, rect, pen, fill, raster, std::nullopt);
}

void QPainterBackend::drawLine(const QPoint& from, const QPoint& to, const DevicePen& pen,
                               const DeviceRaster& raster) {
    // A line to its own start point draws nothing in GDI; Qt would set one pixel.
    if (!paints() || from == to) {
        return;
    }
    if (raster.invert) {
        const int margin = std::max(pen.width, 1) + 1;
        const QRect bounds =
            QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin);
        invertCoverage(bounds, raster.clip, [&](QPainter& mask) {
            paintLine(mask, from, to, pen, raster, QColor(Qt::black));
        });
        return;
    }
    ClipScope scope(*painter_, raster.clip);
    paintLine(*painter_, from, to, pen, raster, std::nullopt);
}

void QPainterBackend::drawLines(const std::vector<QLine>& lines, const DevicePen& pen,
                                const DeviceRaster& raster) {
    if (!paints()) {
        return;
    }
    if (raster.invert) {
        PaintBackend::drawLines(lines, pen, raster);
        return;
    }
    // Lines to their own start point draw nothing, as drawLine.
    std::vector<QLine> drawn;
    drawn.reserve(lines.size());
    for (const QLine& line : lines) {
        if (line.p1() != line.p2()) {
            drawn.push_back(line);
        }
    }
    if (drawn.empty()) {
        return;
    }
    ClipScope scope(*painter_, raster.clip);
    usePen(*painter_, toQPen(pen, pen.color));
    applyBackground(*painter_, raster, raster.background);
    painter_->drawLines(drawn.data(), static_cast<int>(drawn.size()));
}

void QPainterBackend::drawText(const DeviceText& text) {
    if (!paints()) {
        return;
    }
    // Upright text without fills that lies well inside its clip draws as it is: most strings
    // of a label, which spares a vector device (a PDF) a saved state and a clip path apiece.
    if (text.angleDegrees == 0 && !text.opaqueRect && !text.cellBackground &&
        (!text.clip || insideClip(text, *text.clip, canInvert()))) {
        drawPlainText(text, text.reference + text.baselineStart);
        return;
    }
    if (text.angleDegrees == 0 && !text.opaqueRect && !text.cellBackground) {
        // Upright text cut by its clip (a name longer than its cell): only the clip changes,
        // the text is placed where it stands, without a turned frame of its own.
        ClipScope scope(*painter_, text.clip);
        drawPlainText(text, text.reference + text.baselineStart);
        return;
    }
    painter_->save();
    if (text.clip) {
        painter_->setClipRect(*text.clip, Qt::IntersectClip);
    }
    if (text.opaqueRect) {
        painter_->fillRect(*text.opaqueRect, text.opaqueColor);
    }
    painter_->translate(text.reference);
    // QPainter turns clockwise on a y-down device.
    painter_->rotate(-text.angleDegrees);
    if (text.cellBackground) {
        painter_->fillRect(QRectF(text.baselineStart.x(), text.baselineStart.y() - text.ascent,
                                  text.advance, text.ascent + text.descent),
                           *text.cellBackground);
    }
    drawPlainText(text, text.baselineStart);
    painter_->restore();
}

void QPainterBackend::drawPlainText(const DeviceText& text, const QPointF& baselineStart) {
    if (text.text.isEmpty()) {
        return;
    }
    if (painter_->font() != text.font) {
        painter_->setFont(text.font);
    }
    // Text takes only the pen's colour, so a line pen of that colour serves as it is.
    const QPen current = painter_->pen();
    if (current.style() == Qt::NoPen || current.color() != text.color) {
        painter_->setPen(text.color);
    }
    useBackgroundMode(*painter_, Qt::TransparentMode);
    painter_->drawText(baselineStart, text.text);
}

void QPainterBackend::drawImage(const QRectF& target, const QImage& image, bool smooth,
                                const std::optional<QRect>& clip) {
    if (!paints() || image.isNull() || target.isEmpty()) {
        return;
    }
    painter_->save();
    if (clip) {
        painter_->setClipRect(*clip, Qt::IntersectClip);
    }
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_->drawImage(target, image);
    painter_->restore();
}

ImageBackend::ImageBackend(QImage& image) : imagePainter_(&image) {
    setPainter(&imagePainter_);
}

ImageBackend::~ImageBackend() {
    if (imagePainter_.isActive()) {
        imagePainter_.end();
    }
}

} // namespace pelmora::gdi
