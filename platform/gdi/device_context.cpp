#include "platform/gdi/device_context.h"

#include "platform/gdi/dib.h"
#include "platform/gdi/dib_placement.h"
#include "platform/gdi/paint_backend.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
#include <tuple>
#include <utility>

namespace pelmora::gdi {

// ---- state ------------------------------------------------------------------------------------

namespace dc_detail {

// Everything SaveDC keeps. Helpers below work on it; DeviceContext::State is this record.
struct GdiState {
    int mapMode = MM_TEXT;
    SIZE windowExt{1, 1};
    SIZE viewportExt{1, 1};
    POINT windowOrg;
    POINT viewportOrg;
    int graphicsMode = GM_COMPATIBLE;

    HFONT font;
    HPEN pen;
    HBRUSH brush;

    unsigned textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int characterExtra = 0;

    int rop2 = R2_COPYPEN;
    std::optional<RECT> clip; // device coordinates, normalised
    int stretchMode = BLACKONWHITE;
    POINT currentPosition;
};

} // namespace dc_detail

using dc_detail::GdiState;

struct DeviceContext::State : GdiState {};

namespace {

// A font as the device shows it: whole-pixel em, metrics in device pixels.
struct RealisedFont {
    QFont font;
    QFontMetricsF metrics{QFont()}; // of `font`, kept for measuring many strings
    int emPixels = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double averageWidth = 0;
    double maxWidth = 0;
};

} // namespace

struct DeviceContext::FontCache {
    std::map<std::string, RealisedFont> fonts;
    // The last font looked up: painters draw many strings in one font, and this spares them
    // building the key every time. The handle is held so its address cannot be reused.
    HFONT lastFont;
    double lastXs = 0;
    double lastYs = 0;
    int lastDefaultEm = 0;
    const RealisedFont* last = nullptr;
};

namespace {

constexpr std::size_t kFontCacheLimit = 256;
// Fonts and pens come from label files: sizes beyond these are cut back, not realised.
constexpr int kMaxEmPixels = 16384;
constexpr int kMaxPenPixels = 16384;
constexpr int kMaxExtraPixels = 4096;
// Device coordinates handed to Qt stay within this, so that a rectangle's width and height
// (right - left, as an int) cannot overflow; no device comes near it.
constexpr int kMaxDeviceCoordinate = (1 << 30) - 1;

// Rounds to the nearest integer within [low, high]; also safe for huge values and NaN.
int roundClamped(double value, int low, int high) {
    if (!(value > low)) {
        return low;
    }
    if (value >= high) {
        return high;
    }
    return static_cast<int>(std::lround(value));
}

std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Scale factors of the mapping: device pixels per logical unit along each axis.
double xScale(const GdiState& s) {
    return std::abs(static_cast<double>(s.viewportExt.cx) / s.windowExt.cx);
}
double yScale(const GdiState& s) {
    return std::abs(static_cast<double>(s.viewportExt.cy) / s.windowExt.cy);
}

// +1 when the mapping keeps the device's handedness, -1 when it flips one axis (the y-up
// label mapping). Escapements turn the other way round in a flipped mapping: with y up, a
// font at 900 runs down the page and one at 2700 reads upward.
int handedness(const GdiState& s) {
    const bool xKeeps = (s.viewportExt.cx > 0) == (s.windowExt.cx > 0);
    const bool yKeeps = (s.viewportExt.cy > 0) == (s.windowExt.cy > 0);
    return xKeeps == yKeeps ? 1 : -1;
}

std::int32_t toLogical(double devicePixels, double scale) {
    return roundClamped(devicePixels / scale, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max());
}

QColor toQColor(COLORREF color) {
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
}

int onDevice(std::int32_t coordinate) {
    return std::clamp(coordinate, -kMaxDeviceCoordinate, kMaxDeviceCoordinate);
}

QPoint toQPoint(const POINT& p) {
    return QPoint(onDevice(p.x), onDevice(p.y));
}

QRect toQRect(const RECT& r) {
    const int left = onDevice(r.left);
    const int top = onDevice(r.top);
    return QRect(QPoint(left, top), QSize(onDevice(r.right) - left, onDevice(r.bottom) - top));
}

RECT normalised(const POINT& a, const POINT& b) {
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

std::optional<RECT> intersect(const std::optional<RECT>& a, const RECT& b) {
    if (!a) {
        return b;
    }
    RECT r{std::max(a->left, b.left), std::max(a->top, b.top), std::min(a->right, b.right),
           std::min(a->bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

std::optional<QRect> toQClip(const std::optional<RECT>& clip) {
    if (!clip) {
        return std::nullopt;
    }
    return toQRect(*clip);
}

std::string fontKey(const LOGFONTA& logFont, double xs, double ys, int defaultEm) {
    LOGFONTA normalisedFont = logFont;
    const std::size_t nameLength = strnlen(logFont.lfFaceName, LF_FACESIZE);
    std::memset(normalisedFont.lfFaceName, 0, LF_FACESIZE);
    std::memcpy(normalisedFont.lfFaceName, logFont.lfFaceName,
                std::min<std::size_t>(nameLength, LF_FACESIZE - 1));
    std::string key(sizeof normalisedFont + 2 * sizeof(double) + sizeof defaultEm, '\0');
    char* at = key.data();
    std::memcpy(at, &normalisedFont, sizeof normalisedFont);
    at += sizeof normalisedFont;
    std::memcpy(at, &xs, sizeof xs);
    at += sizeof xs;
    std::memcpy(at, &ys, sizeof ys);
    at += sizeof ys;
    std::memcpy(at, &defaultEm, sizeof defaultEm);
    return key;
}

QFont::Weight qtWeight(std::int32_t lfWeight) {
    if (lfWeight <= 0) {
        return QFont::Normal;
    }
    // Rounded to the hundred in 64 bits: a weight read from a file may be any 32-bit value.
    const auto hundreds = std::clamp<std::int64_t>((std::int64_t{lfWeight} + 50) / 100, 1, 9);
    return static_cast<QFont::Weight>(hundreds * 100);
}

double cellHeight(const QFont& font) {
    const QFontMetricsF metrics(font);
    return std::round(metrics.ascent()) + std::round(metrics.descent());
}

RealisedFont realise(const LOGFONTA& logFont, double xs, double ys, int defaultEm) {
    const std::size_t nameLength = strnlen(logFont.lfFaceName, LF_FACESIZE);
    const QString face =
        nameLength > 0 ? QString::fromUtf8(logFont.lfFaceName, static_cast<qsizetype>(nameLength))
                       : QStringLiteral("Arial");
    QFont font(face);
    // Advances follow the outlines (no horizontal hinting) and ignore kerning, so a string
    // measures the same in logical units on every device, as GDI's text does.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setKerning(false);
    font.setWeight(qtWeight(logFont.lfWeight));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);

    int em = defaultEm;
    if (logFont.lfHeight < 0) {
        em = roundClamped(std::abs(static_cast<double>(logFont.lfHeight)) * ys, 1, kMaxEmPixels);
    } else if (logFont.lfHeight > 0) {
        // A cell height: scale the em by the face's cell-to-em ratio, then take the whole-pixel
        // em whose cell comes closest (the smaller one on a tie).
        const double wantedCell = roundClamped(logFont.lfHeight * ys, 1, kMaxEmPixels);
        constexpr int kProbeEm = 200;
        font.setPixelSize(kProbeEm);
        const QFontMetricsF probe(font);
        const double ratio = (probe.ascent() + probe.descent()) / kProbeEm;
        const int guess = roundClamped(wantedCell / ratio, 1, kMaxEmPixels);
        double bestError = std::numeric_limits<double>::max();
        for (int candidate = std::max(1, guess - 1); candidate <= std::min(guess + 1, kMaxEmPixels);
             ++candidate) {
            font.setPixelSize(candidate);
            const double error = std::abs(cellHeight(font) - wantedCell);
            if (error < bestError) {
                bestError = error;
                em = candidate;
            }
        }
    }
    em = std::clamp(em, 1, kMaxEmPixels);
    font.setPixelSize(em);

    if (logFont.lfWidth > 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        if (natural > 0) {
            const double wanted = logFont.lfWidth * xs;
            const int stretch = roundClamped(100.0 * wanted / natural, 1, 4000);
            if (stretch != 100) {
                font.setStretch(stretch);
            }
        }
    }

    RealisedFont realised;
    realised.font = font;
    realised.metrics = QFontMetricsF(font);
    realised.emPixels = em;
    const QFontMetricsF& metrics = realised.metrics;
    realised.ascent = metrics.ascent();
    realised.descent = metrics.descent();
    realised.leading = std::max(0.0, metrics.leading());
    realised.averageWidth = metrics.averageCharWidth();
    realised.maxWidth = metrics.maxWidth();
    return realised;
}

LOGFONTA defaultLogFont() {
    LOGFONTA logFont;
    copyTruncatedUtf8(logFont.lfFaceName, "Arial");
    return logFont;
}

} // namespace

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

// ---- mapping ----------------------------------------------------------------------------------

int DeviceContext::SetMapMode(int mode) {
    const int previous = state_->mapMode;
    switch (mode) {
    case MM_TEXT:
        state_->windowExt = SIZE{1, 1};
        state_->viewportExt = SIZE{1, 1};
        break;
    case MM_LOENGLISH:
        state_->windowExt = SIZE{100, 100};
        state_->viewportExt = SIZE{caps_.logPixelsX, -caps_.logPixelsY};
        break;
    case MM_ANISOTROPIC:
        break; // the extents in force stay until set
    default:
        return 0;
    }
    state_->mapMode = mode;
    return previous;
}

int DeviceContext::GetMapMode() const {
    return state_->mapMode;
}

bool DeviceContext::SetWindowExtEx(int x, int y, SIZE* previous) {
    if (previous != nullptr) {
        *previous = state_->windowExt;
    }
    if (state_->mapMode != MM_ANISOTROPIC) {
        return true; // ignored by the fixed mapping modes
    }
    if (x == 0 || y == 0) {
        return false;
    }
    state_->windowExt = SIZE{x, y};
    return true;
}

bool DeviceContext::SetViewportExtEx(int x, int y, SIZE* previous) {
    if (previous != nullptr) {
        *previous = state_->viewportExt;
    }
    if (state_->mapMode != MM_ANISOTROPIC) {
        return true;
    }
    if (x == 0 || y == 0) {
        return false;
    }
    state_->viewportExt = SIZE{x, y};
    return true;
}

bool DeviceContext::GetWindowExtEx(SIZE* extent) const {
    if (extent == nullptr) {
        return false;
    }
    *extent = state_->windowExt;
    return true;
}

bool DeviceContext::GetViewportExtEx(SIZE* extent) const {
    if (extent == nullptr) {
        return false;
    }
    *extent = state_->viewportExt;
    return true;
}

bool DeviceContext::SetWindowOrgEx(int x, int y, POINT* previous) {
    if (previous != nullptr) {
        *previous = state_->windowOrg;
    }
    state_->windowOrg = POINT{x, y};
    return true;
}

bool DeviceContext::SetViewportOrgEx(int x, int y, POINT* previous) {
    if (previous != nullptr) {
        *previous = state_->viewportOrg;
    }
    state_->viewportOrg = POINT{x, y};
    return true;
}

bool DeviceContext::GetWindowOrgEx(POINT* origin) const {
    if (origin == nullptr) {
        return false;
    }
    *origin = state_->windowOrg;
    return true;
}

bool DeviceContext::GetViewportOrgEx(POINT* origin) const {
    if (origin == nullptr) {
        return false;
    }
    *origin = state_->viewportOrg;
    return true;
}

bool DeviceContext::LPtoDP(POINT* points, int count) const {
    if (points == nullptr || count < 0) {
        return false;
    }
    const State& s = *state_;
    for (int i = 0; i < count; ++i) {
        // Integer division truncates toward zero, as the painters' own arithmetic does.
        const std::int64_t x = (static_cast<std::int64_t>(points[i].x) - s.windowOrg.x) *
                                   s.viewportExt.cx / s.windowExt.cx +
                               s.viewportOrg.x;
        const std::int64_t y = (static_cast<std::int64_t>(points[i].y) - s.windowOrg.y) *
                                   s.viewportExt.cy / s.windowExt.cy +
                               s.viewportOrg.y;
        points[i] = POINT{clampToInt32(x), clampToInt32(y)};
    }
    return true;
}

bool DeviceContext::DPtoLP(POINT* points, int count) const {
    if (points == nullptr || count < 0) {
        return false;
    }
    const State& s = *state_;
    for (int i = 0; i < count; ++i) {
        const std::int64_t x = (static_cast<std::int64_t>(points[i].x) - s.viewportOrg.x) *
                                   s.windowExt.cx / s.viewportExt.cx +
                               s.windowOrg.x;
        const std::int64_t y = (static_cast<std::int64_t>(points[i].y) - s.viewportOrg.y) *
                                   s.windowExt.cy / s.viewportExt.cy +
                               s.windowOrg.y;
        points[i] = POINT{clampToInt32(x), clampToInt32(y)};
    }
    return true;
}

int DeviceContext::SetGraphicsMode(int mode) {
    if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) {
        return 0;
    }
    const int previous = state_->graphicsMode;
    state_->graphicsMode = mode;
    return previous;
}

int DeviceContext::GetGraphicsMode() const {
    return state_->graphicsMode;
}

bool DeviceContext::ModifyWorldTransform(int mode) {
    return mode == MWT_IDENTITY && state_->graphicsMode == GM_ADVANCED;
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

// ---- text -------------------------------------------------------------------------------------

namespace {

// The font realised for a DC's current mapping; cached per DC.
template <typename Cache>
const RealisedFont& realisedFor(Cache& cache, const GdiState& s, const DeviceCaps& caps) {
    const double xs = xScale(s);
    const double ys = yScale(s);
    // lfHeight 0 asks for the device's default size: 12 points.
    const int defaultEm = roundClamped(12.0 * caps.logPixelsY / 72.0, 1, kMaxEmPixels);
    if (cache.last != nullptr && cache.lastFont == s.font && cache.lastXs == xs &&
        cache.lastYs == ys && cache.lastDefaultEm == defaultEm) {
        return *cache.last;
    }
    std::string key = fontKey(s.font->logFont, xs, ys, defaultEm);
    auto found = cache.fonts.find(key);
    if (found == cache.fonts.end()) {
        if (cache.fonts.size() >= kFontCacheLimit) {
            cache.fonts.clear();
        }
        found =
            cache.fonts.emplace(std::move(key), realise(s.font->logFont, xs, ys, defaultEm)).first;
    }
    cache.lastFont = s.font;
    cache.lastXs = xs;
    cache.lastYs = ys;
    cache.lastDefaultEm = defaultEm;
    cache.last = &found->second;
    return found->second;
}

// Character extra in device pixels.
double deviceExtra(const GdiState& s) {
    return roundClamped(s.characterExtra * xScale(s), -kMaxExtraPixels, kMaxExtraPixels);
}

QFont withExtra(const QFont& font, double extra) {
    if (extra == 0) {
        return font;
    }
    QFont spaced = font;
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, extra);
    return spaced;
}

// The advance of `text` in `font` spaced by `extra` device pixels a character.
double advanceOf(const RealisedFont& font, double extra, const QString& text) {
    if (extra == 0) {
        return font.metrics.horizontalAdvance(text);
    }
    return QFontMetricsF(withExtra(font.font, extra)).horizontalAdvance(text);
}

bool turnedSideways(const LOGFONTA& logFont) {
    const int escapement = ((logFont.lfEscapement % 3600) + 3600) % 3600;
    return escapement == 900 || escapement == 2700;
}

} // namespace

QFont DeviceContextAccess::selectedFont(const DeviceContext& dc) {
    return realisedFor(*dc.fontCache_, *dc.state_, dc.caps_).font;
}

bool DeviceContext::GetTextMetrics(TEXTMETRIC* metrics) const {
    if (metrics == nullptr) {
        return false;
    }
    const State& s = *state_;
    const RealisedFont& font = realisedFor(*fontCache_, s, caps_);
    const double xs = xScale(s);
    const double ys = yScale(s);
    TEXTMETRIC tm;
    tm.tmAscent = toLogical(font.ascent, ys);
    tm.tmDescent = toLogical(font.descent, ys);
    tm.tmHeight = clampToInt32(std::int64_t{tm.tmAscent} + tm.tmDescent);
    tm.tmInternalLeading = clampToInt32(std::int64_t{tm.tmHeight} - toLogical(font.emPixels, ys));
    tm.tmExternalLeading = toLogical(font.leading, ys);
    tm.tmAveCharWidth = toLogical(font.averageWidth, xs);
    tm.tmMaxCharWidth = toLogical(font.maxWidth, xs);
    tm.tmWeight = s.font->logFont.lfWeight > 0 ? s.font->logFont.lfWeight : FW_NORMAL;
    *metrics = tm;
    return true;
}

bool DeviceContext::GetTextExtentPoint32(std::string_view text, SIZE* size) const {
    if (size == nullptr) {
        return false;
    }
    const State& s = *state_;
    const RealisedFont& font = realisedFor(*fontCache_, s, caps_);
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const double advance = advanceOf(font, deviceExtra(s), qtext);
    const double ys = yScale(s);
    SIZE extent{
        toLogical(advance, xScale(s)),
        clampToInt32(std::int64_t{toLogical(font.ascent, ys)} + toLogical(font.descent, ys))};
    if (reportsRotatedExtents_ && turnedSideways(s.font->logFont)) {
        std::swap(extent.cx, extent.cy);
    }
    *size = extent;
    return true;
}

bool DeviceContext::ExtTextOut(int x, int y, unsigned options, const RECT* rect,
                               std::string_view text) {
    State& s = *state_;
    const bool updateCp = (s.textAlign & TA_UPDATECP) != 0;
    const POINT logicalRef = updateCp ? s.currentPosition : POINT{x, y};
    POINT deviceRef = logicalRef;
    LPtoDP(&deviceRef, 1);

    const RealisedFont& font = realisedFor(*fontCache_, s, caps_);
    DeviceText out;
    out.font = withExtra(font.font, deviceExtra(s));
    out.text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    out.reference = QPointF(deviceRef.x, deviceRef.y);
    out.angleDegrees = s.font->logFont.lfEscapement / 10.0 * handedness(s);
    out.advance = advanceOf(font, deviceExtra(s), out.text);
    out.ascent = std::round(font.ascent);
    out.descent = std::round(font.descent);
    out.color = toQColor(s.textColor);

    double along = 0;
    switch (s.textAlign & TA_CENTER) {
    case TA_RIGHT:
        along = -out.advance;
        break;
    case TA_CENTER:
        along = -out.advance / 2;
        break;
    default:
        break;
    }
    double across = out.ascent; // TA_TOP: the cell's top edge on the reference point
    switch (s.textAlign & TA_BASELINE) {
    case TA_BOTTOM:
        across = -out.descent;
        break;
    case TA_BASELINE:
        across = 0;
        break;
    default:
        break;
    }
    out.baselineStart = QPointF(along, across);
    if (s.bkMode == OPAQUE) {
        out.cellBackground = toQColor(s.bkColor);
    }

    std::optional<RECT> deviceRect;
    if (rect != nullptr) {
        POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
        LPtoDP(corners, 2);
        deviceRect = normalised(corners[0], corners[1]);
    }
    std::optional<RECT> clip = s.clip;
    if (deviceRect && (options & ETO_OPAQUE) != 0) {
        out.opaqueRect = toQRect(*deviceRect);
        out.opaqueColor = toQColor(s.bkColor);
    }
    if (deviceRect && (options & ETO_CLIPPED) != 0) {
        clip = intersect(clip, *deviceRect);
    }
    out.clip = toQClip(clip);
    backend_->drawText(out);

    if (updateCp) {
        double moved = 0;
        switch (s.textAlign & TA_CENTER) {
        case TA_RIGHT:
            moved = -out.advance;
            break;
        case TA_CENTER:
            break;
        default:
            moved = out.advance;
            break;
        }
        const double radians = out.angleDegrees * std::numbers::pi / 180.0;
        POINT next{clampToInt32(std::llround(deviceRef.x + moved * std::cos(radians))),
                   clampToInt32(std::llround(deviceRef.y - moved * std::sin(radians)))};
        DPtoLP(&next, 1);
        s.currentPosition = next;
    }

    if (recorder_ != nullptr) {
        DrawRecord record;
        record.kind = DrawRecord::Kind::Text;
        record.logicalPoint = logicalRef;
        record.devicePoint = deviceRef;
        if (rect != nullptr) {
            record.logicalRect = *rect;
            record.deviceRect = *deviceRect;
        }
        record.clipped = rect != nullptr && (options & ETO_CLIPPED) != 0;
        record.options = options;
        record.text = std::string(text);
        record.font = s.font->logFont;
        record.color = s.textColor;
        record.bkMode = s.bkMode;
        record.bkColor = s.bkColor;
        record.rop2 = s.rop2;
        record.textAlign = s.textAlign;
        record.characterExtra = s.characterExtra;
        record.hasClip = s.clip.has_value();
        if (s.clip) {
            record.deviceClip = *s.clip;
        }
        recorder_->push_back(std::move(record));
    }
    return true;
}

unsigned DeviceContext::SetTextAlign(unsigned align) {
    return std::exchange(state_->textAlign, align);
}

unsigned DeviceContext::GetTextAlign() const {
    return state_->textAlign;
}

COLORREF DeviceContext::SetTextColor(COLORREF color) {
    return std::exchange(state_->textColor, color & 0x00FFFFFFu);
}

COLORREF DeviceContext::GetTextColor() const {
    return state_->textColor;
}

int DeviceContext::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return std::exchange(state_->bkMode, mode);
}

int DeviceContext::GetBkMode() const {
    return state_->bkMode;
}

COLORREF DeviceContext::SetBkColor(COLORREF color) {
    return std::exchange(state_->bkColor, color & 0x00FFFFFFu);
}

COLORREF DeviceContext::GetBkColor() const {
    return state_->bkColor;
}

int DeviceContext::SetTextCharacterExtra(int extra) {
    return std::exchange(state_->characterExtra, extra);
}

int DeviceContext::GetTextCharacterExtra() const {
    return state_->characterExtra;
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
        DrawRecord record;
        record.kind = DrawRecord::Kind::Line;
        record.logicalPoint = logicalStart;
        record.devicePoint = ends[0];
        record.logicalPoint2 = POINT{x, y};
        record.devicePoint2 = ends[1];
        record.color = s.pen->color;
        record.penStyle = s.pen->style;
        record.penWidth = s.pen->width;
        noteClip(record, s);
        recorder_->push_back(std::move(record));
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
