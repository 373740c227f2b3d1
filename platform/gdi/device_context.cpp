// Device contexts: construction, selected objects, lines and rectangles, clipping, images and
// saved states. Mapping modes are in device_context_mapping.cpp, text in
// device_context_text.cpp.

#include "platform/gdi/dc_state.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/dib_placement.h"
#include "platform/gdi/paint_backend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace pelmora::gdi {

using namespace dc_detail;

// ---- construction -----------------------------------------------------------------------------

DeviceContext::DeviceContext(std::unique_ptr<PaintBackend> backend, const DeviceCaps& caps)
    : state_(std::make_unique<State>()), backend_(std::move(backend)), caps_(caps),
      fontCache_(std::make_unique<FontCache>()) {
    if (!backend_) {
        backend_ = std::make_unique<PaintBackend>();
    }
    state_->font = CreateFontIndirect(defaultLogFont());
    state_->pen = GetStockPen(BLACK_PEN);
    state_->brush = GetStockBrush(WHITE_BRUSH);
}

DeviceContext::~DeviceContext() = default;

PaintBackend& DeviceContext::backend() {
    return *backend_;
}

void DeviceContext::setRecorder(std::vector<DrawRecord>* records) {
    recorder_ = records;
}

void DeviceContext::setReportsRotatedExtents(bool on) {
    reportsRotatedExtents_ = on;
}

int DeviceContext::GetDeviceCaps(int index) const {
    switch (index) {
    case TECHNOLOGY:
        return caps_.technology;
    case HORZSIZE:
        return caps_.horzSizeMm;
    case VERTSIZE:
        return caps_.vertSizeMm;
    case HORZRES:
        return caps_.horzRes;
    case VERTRES:
        return caps_.vertRes;
    case RASTERCAPS:
        return caps_.rasterCaps;
    case LOGPIXELSX:
        return caps_.logPixelsX;
    case LOGPIXELSY:
        return caps_.logPixelsY;
    case PHYSICALWIDTH:
        return caps_.physicalWidth;
    case PHYSICALHEIGHT:
        return caps_.physicalHeight;
    case PHYSICALOFFSETX:
        return caps_.physicalOffsetX;
    case PHYSICALOFFSETY:
        return caps_.physicalOffsetY;
    default:
        return 0;
    }
}

// ---- objects ----------------------------------------------------------------------------------

HFONT DeviceContext::SelectObject(HFONT font) {
    if (!font) {
        return nullptr;
    }
    return std::exchange(state_->font, std::move(font));
}

HPEN DeviceContext::SelectObject(HPEN pen) {
    if (!pen) {
        return nullptr;
    }
    return std::exchange(state_->pen, std::move(pen));
}

HBRUSH DeviceContext::SelectObject(HBRUSH brush) {
    if (!brush) {
        return nullptr;
    }
    return std::exchange(state_->brush, std::move(brush));
}

HFONT DeviceContext::currentFont() const {
    return state_->font;
}

HPEN DeviceContext::currentPen() const {
    return state_->pen;
}

HBRUSH DeviceContext::currentBrush() const {
    return state_->brush;
}

// ---- shapes -----------------------------------------------------------------------------------

namespace {

std::optional<DevicePen> devicePen(const Pen& pen, const GdiState& s, const DeviceCaps& caps) {
    if (pen.style == PS_NULL) {
        return std::nullopt;
    }
    DevicePen out;
    // GDI draws styled pens wider than one unit solid.
    out.style = pen.width > 1 ? PS_SOLID : pen.style;
    out.width = pen.width == 0 ? 0 : roundClamped(pen.width * xScale(s), 1, kMaxPenPixels);
    // A one-pixel pen's dashes are GDI's screen lengths at 96 dpi, kept at that physical
    // length on finer devices so that a dashed border still looks dashed on paper.
    out.dashScale = out.width == 0 ? std::max(1.0, std::round(caps.logPixelsX / 96.0)) : 1.0;
    out.color = toQColor(pen.color);
    return out;
}

DeviceRaster deviceRaster(const GdiState& s) {
    DeviceRaster raster;
    raster.invert = s.rop2 == R2_NOT;
    raster.opaqueBackground = s.bkMode == OPAQUE;
    raster.background = toQColor(s.bkColor);
    raster.clip = toQClip(s.clip);
    return raster;
}

void noteClip(DrawRecord& record, const GdiState& s) {
    record.hasClip = s.clip.has_value();
    if (s.clip) {
        record.deviceClip = *s.clip;
    }
    record.rop2 = s.rop2;
    record.bkMode = s.bkMode;
    record.bkColor = s.bkColor;
}

// The record of one line from logical[0] to logical[1], at `device` on the device.
DrawRecord lineRecord(const std::array<POINT, 2>& logical, const POINT (&device)[2],
                      const GdiState& s) {
    DrawRecord record;
    record.kind = DrawRecord::Kind::Line;
    record.logicalPoint = logical[0];
    record.devicePoint = device[0];
    record.logicalPoint2 = logical[1];
    record.devicePoint2 = device[1];
    record.color = s.pen->color;
    record.penStyle = s.pen->style;
    record.penWidth = s.pen->width;
    noteClip(record, s);
    return record;
}

} // namespace

bool DeviceContext::FillRect(const RECT& rect, const HBRUSH& brush) {
    if (!brush) {
        return false;
    }
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    LPtoDP(corners, 2);
    const RECT device = normalised(corners[0], corners[1]);
    if (!brush->null) {
        // FillRect copies the brush whatever the raster operation is (GDI's PatBlt).
        DeviceRaster raster = deviceRaster(*state_);
        raster.invert = false;
        backend_->fillRect(toQRect(device), toQColor(brush->color), raster);
    }
    if (recorder_ != nullptr) {
        DrawRecord record;
        record.kind = DrawRecord::Kind::FillRect;
        record.logicalRect = rect;
        record.deviceRect = device;
        record.color = brush->color;
        record.nullFill = brush->null;
        noteClip(record, *state_);
        recorder_->push_back(std::move(record));
    }
    return true;
}

bool DeviceContext::Rectangle(int left, int top, int right, int bottom) {
    const State& s = *state_;
    POINT corners[2] = {{left, top}, {right, bottom}};
    LPtoDP(corners, 2);
    const RECT device = normalised(corners[0], corners[1]);
    std::optional<QColor> fill;
    if (!s.brush->null) {
        fill = toQColor(s.brush->color);
    }
    backend_->drawRectangle(toQRect(device), devicePen(*s.pen, s, caps_), fill, deviceRaster(s));
    if (recorder_ != nullptr) {
        DrawRecord record;
        record.kind = DrawRecord::Kind::Rectangle;
        record.logicalRect = RECT{left, top, right, bottom};
        record.deviceRect = device;
        record.color = s.pen->color;
        record.penStyle = s.pen->style;
        record.penWidth = s.pen->width;
        record.fill = s.brush->color;
        record.nullFill = s.brush->null;
        noteClip(record, s);
        recorder_->push_back(std::move(record));
    }
    return true;
}

bool DeviceContext::MoveToEx(int x, int y, POINT* previous) {
    if (previous != nullptr) {
        *previous = state_->currentPosition;
    }
    state_->currentPosition = POINT{x, y};
    return true;
}

bool DeviceContext::GetCurrentPositionEx(POINT* position) const {
    if (position == nullptr) {
        return false;
    }
    *position = state_->currentPosition;
    return true;
}

bool DeviceContext::LineTo(int x, int y) {
    State& s = *state_;
    POINT ends[2] = {s.currentPosition, {x, y}};
    const POINT logicalStart = ends[0];
    LPtoDP(ends, 2);
    if (const std::optional<DevicePen> pen = devicePen(*s.pen, s, caps_)) {
        backend_->drawLine(toQPoint(ends[0]), toQPoint(ends[1]), *pen, deviceRaster(s));
    }
    s.currentPosition = POINT{x, y};
    if (recorder_ != nullptr) {
        recorder_->push_back(lineRecord({logicalStart, POINT{x, y}}, ends, s));
    }
    return true;
}

bool DeviceContext::DrawSegments(const POINT* points, std::size_t segments) {
    State& s = *state_;
    const std::optional<DevicePen> pen = devicePen(*s.pen, s, caps_);
    std::vector<QLine> lines;
    lines.reserve(segments);
    for (std::size_t i = 0; i < segments; ++i) {
        POINT ends[2] = {points[2 * i], points[2 * i + 1]};
        LPtoDP(ends, 2);
        lines.emplace_back(toQPoint(ends[0]), toQPoint(ends[1]));
        if (recorder_ != nullptr) {
            recorder_->push_back(lineRecord({points[2 * i], points[2 * i + 1]}, ends, s));
        }
    }
    if (pen && !lines.empty()) {
        backend_->drawLines(lines, *pen, deviceRaster(s));
    }
    return true;
}

int DeviceContext::SetROP2(int mode) {
    if (mode < 1 || mode > 16) {
        return 0;
    }
    return std::exchange(state_->rop2, mode);
}

int DeviceContext::GetROP2() const {
    return state_->rop2;
}

// ---- clipping ---------------------------------------------------------------------------------

namespace {

int regionKind(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top ? NULLREGION : SIMPLEREGION;
}

} // namespace

int DeviceContext::SelectClipRgn(const HRGN& region) {
    return ExtSelectClipRgn(region, RGN_COPY);
}

int DeviceContext::ExtSelectClipRgn(const HRGN& region, int mode) {
    State& s = *state_;
    if (mode == RGN_COPY) {
        if (!region) {
            s.clip.reset();
            return SIMPLEREGION;
        }
        s.clip = region->deviceRect;
        return regionKind(*s.clip);
    }
    if (mode == RGN_AND) {
        if (!region) {
            return RGN_ERROR;
        }
        s.clip = intersect(s.clip, region->deviceRect);
        return regionKind(*s.clip);
    }
    return RGN_ERROR;
}

int DeviceContext::GetClipRgn(HRGN* region) const {
    if (region == nullptr) {
        return -1;
    }
    if (!state_->clip) {
        return 0;
    }
    const RECT& r = *state_->clip;
    *region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    return 1;
}

// ---- images -----------------------------------------------------------------------------------

int DeviceContext::SetStretchBltMode(int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) {
        return 0;
    }
    return std::exchange(state_->stretchMode, mode);
}

int DeviceContext::GetStretchBltMode() const {
    return state_->stretchMode;
}

int DeviceContext::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                                 int ySrc, int srcWidth, int srcHeight, const DibRef& dib,
                                 unsigned usage, std::uint32_t rop) {
    if (usage != DIB_RGB_COLORS || rop != SRCCOPY || srcWidth == 0 || srcHeight == 0) {
        return 0;
    }
    const std::optional<DibLayout> layout = readDibLayout(dib);
    if (!layout) {
        return 0;
    }
    const State& s = *state_;
    POINT corners[2] = {{xDest, yDest},
                        {clampToInt32(static_cast<std::int64_t>(xDest) + destWidth),
                         clampToInt32(static_cast<std::int64_t>(yDest) + destHeight)}};
    LPtoDP(corners, 2);
    const RECT device = normalised(corners[0], corners[1]);

    if (backend_->paints() && device.right > device.left && device.bottom > device.top) {
        // A negative device extent mirrors the picture along that axis. Source extents count
        // by their size only: painters pass biHeight, which is negative for a top-down DIB,
        // and such a DIB is drawn upright like any other.
        const std::int64_t sw = std::abs(static_cast<std::int64_t>(srcWidth));
        const std::int64_t sh = std::abs(static_cast<std::int64_t>(srcHeight));
        // Source origin: the lower-left corner for bottom-up DIBs, the upper-left otherwise.
        const SourcePlacement place{xSrc,
                                    layout->bottomUp ? layout->height - (std::int64_t{ySrc} + sh)
                                                     : ySrc,
                                    sw,
                                    sh,
                                    corners[1].x < corners[0].x,
                                    corners[1].y < corners[0].y,
                                    device};
        const std::int64_t visibleLeft = std::max<std::int64_t>(place.left, 0);
        const std::int64_t visibleTop = std::max<std::int64_t>(place.top, 0);
        const std::int64_t visibleRight = std::min<std::int64_t>(place.left + sw, layout->width);
        const std::int64_t visibleBottom = std::min<std::int64_t>(place.top + sh, layout->height);
        if (visibleRight > visibleLeft && visibleBottom > visibleTop) {
            QRect area(static_cast<int>(visibleLeft), static_cast<int>(visibleTop),
                       static_cast<int>(visibleRight - visibleLeft),
                       static_cast<int>(visibleBottom - visibleTop));
            QRectF target = place.targetOf(area);
            QSize size = area.size();
            std::optional<QRect> shown = backend_->deviceArea();
            if (s.clip) {
                shown = shown ? *shown & toQRect(*s.clip) : toQRect(*s.clip);
            }
            if (shown &&
                static_cast<std::int64_t>(area.width()) * area.height() > kDecodeWholePixels) {
                // A picture of up to 2^28 pixels (which a small run-length file can claim)
                // is decoded only where the device shows it, and no finer than its pixels.
                area = place.sourceBehind(target & QRectF(*shown), area);
                target = place.targetOf(area);
                size = QSize(
                    static_cast<int>(std::min<double>(area.width(), std::ceil(target.width()))),
                    static_cast<int>(std::min<double>(area.height(), std::ceil(target.height()))));
            }
            QImage picture = decodeDib(*layout, dib, area, size);
            if (!picture.isNull()) {
                if (place.mirrorX || place.mirrorY) {
                    picture = picture.mirrored(place.mirrorX, place.mirrorY);
                }
                backend_->drawImage(target, picture, s.stretchMode == HALFTONE, toQClip(s.clip));
            }
        }
    }

    if (recorder_ != nullptr) {
        DrawRecord record;
        record.kind = DrawRecord::Kind::StretchDib;
        record.logicalRect =
            RECT{xDest, yDest, clampToInt32(static_cast<std::int64_t>(xDest) + destWidth),
                 clampToInt32(static_cast<std::int64_t>(yDest) + destHeight)};
        record.deviceRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        record.sourceRect =
            RECT{xSrc, ySrc, clampToInt32(static_cast<std::int64_t>(xSrc) + srcWidth),
                 clampToInt32(static_cast<std::int64_t>(ySrc) + srcHeight)};
        noteClip(record, s);
        recorder_->push_back(std::move(record));
    }
    return layout->height;
}

// ---- saved states -----------------------------------------------------------------------------

int DeviceContext::SaveDC() {
    saved_.push_back(*state_);
    return static_cast<int>(saved_.size());
}

bool DeviceContext::RestoreDC(int saved) {
    const int depth = static_cast<int>(saved_.size());
    int index = 0; // zero-based index of the state to return to
    if (saved < 0) {
        if (-static_cast<long long>(saved) > depth) {
            return false;
        }
        index = depth + saved;
    } else if (saved >= 1 && saved <= depth) {
        index = saved - 1;
    } else {
        return false;
    }
    *state_ = saved_[static_cast<std::size_t>(index)];
    saved_.resize(static_cast<std::size_t>(index));
    return true;
}

} // namespace pelmora::gdi
