// Device contexts: fonts, text measurement and text output.

#include "platform/gdi/dc_state.h"
#include "platform/gdi/paint_backend.h"

#include <QFontMetricsF>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <utility>

namespace pelmora::gdi {

using namespace dc_detail;

namespace {

constexpr std::size_t kFontCacheLimit = 256;

// Realising a font (finding its whole-pixel em) costs far more than drawing a string, and a
// print job or paint makes a new DC each time: the realisations are shared by key (font,
// scale, default em: all that decides them) across DCs on the GUI thread.
std::shared_ptr<const RealisedFont> sharedRealisation(const std::string& key,
                                                      const LOGFONTA& logFont, double xs, double ys,
                                                      int defaultEm) {
    static std::map<std::string, std::shared_ptr<const RealisedFont>> shared;
    if (auto found = shared.find(key); found != shared.end()) {
        return found->second;
    }
    if (shared.size() >= kFontCacheLimit) {
        shared.clear(); // DCs keep what they hold
    }
    auto font = std::make_shared<const RealisedFont>(realise(logFont, xs, ys, defaultEm));
    shared.emplace(key, font);
    return font;
}

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
        found = cache.fonts.emplace(key, sharedRealisation(key, s.font->logFont, xs, ys, defaultEm))
                    .first;
    }
    cache.lastFont = s.font;
    cache.lastXs = xs;
    cache.lastYs = ys;
    cache.lastDefaultEm = defaultEm;
    cache.last = found->second.get();
    return *found->second;
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
        constexpr qsizetype kAdvanceCacheLimit = 8192;
        if (const auto found = font.advances.constFind(text); found != font.advances.cend()) {
            return *found;
        }
        if (font.advances.size() >= kAdvanceCacheLimit) {
            font.advances.clear();
        }
        const double advance = font.metrics.horizontalAdvance(text);
        font.advances.insert(text, advance);
        return advance;
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

} // namespace pelmora::gdi
