#include "render/text.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "render/geometry.h"
#include "render/view_state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace pelmora {

using gdi::DeviceContext;

gdi::HFONT CreatePointFont(DeviceContext& dc, const char* faceName, int tenthsHeight,
                           int tenthsWidth, int style, int logicalResolution, int escapement,
                           LOGFONTA* logFontOut) {
    double windowScale = theView.windowScale;
    dc.SaveDC();
    dc.SetGraphicsMode(gdi::GM_ADVANCED);
    dc.ModifyWorldTransform(gdi::MWT_IDENTITY);
    dc.SetViewportOrgEx(0, 0);
    dc.SetWindowOrgEx(0, 0);

    double xdpi = dc.GetDeviceCaps(gdi::LOGPIXELSX);
    double ydpi = dc.GetDeviceCaps(gdi::LOGPIXELSY);
    if (!logicalResolution) {
        int horzSize = dc.GetDeviceCaps(gdi::HORZSIZE);
        int vertSize = dc.GetDeviceCaps(gdi::VERTSIZE);
        // A device that does not know its size keeps its logical density.
        if (horzSize > 0) {
            xdpi = dc.GetDeviceCaps(gdi::HORZRES) * 25.4 / horzSize;
        }
        if (vertSize > 0) {
            ydpi = dc.GetDeviceCaps(gdi::VERTRES) * 25.4 / vertSize;
        }
    }

    // The size in tenths of a device pixel, then in tenths of a logical unit. The window scale
    // goes in here and the label mapping takes it out again, so a label-mapped DC gets the
    // same size in label units at every window scale.
    int scaledWidth = static_cast<int>(windowScale * tenthsWidth);
    int scaledHeight = static_cast<int>(windowScale * tenthsHeight);
    POINT size{static_cast<std::int32_t>(scaledWidth * xdpi / 72),
               static_cast<std::int32_t>(ydpi * scaledHeight / 72)};
    dc.DPtoLP(&size, 1);

    LOGFONTA logFont;
    logFont.lfHeight = static_cast<std::int32_t>(-0.5 - std::abs(size.y) / 10.0);
    logFont.lfWidth = 0;
    logFont.lfEscapement = escapement;
    logFont.lfOrientation = escapement;
    logFont.lfWeight = (style & FONT_BOLD) ? FW_BOLD : 0;
    logFont.lfItalic = (style & FONT_ITALIC) ? 1 : 0;
    logFont.lfUnderline = (style & FONT_UNDERLINE) ? 1 : 0;
    logFont.lfStrikeOut = (style & FONT_STRIKEOUT) ? 1 : 0;
    logFont.lfCharSet = 0;
    logFont.lfOutPrecision = 0;
    logFont.lfClipPrecision = CLIP_LH_ANGLES;
    logFont.lfQuality = 0;
    logFont.lfPitchAndFamily = 0;
    copyTruncatedUtf8(logFont.lfFaceName, faceName);
    gdi::HFONT font = gdi::CreateFontIndirect(logFont);

    if (scaledWidth != 0 && size.y != 0) {
        // A given width stretches the face's average character width by width / height.
        gdi::HFONT previous = dc.SelectObject(font);
        gdi::TEXTMETRIC metrics;
        dc.GetTextMetrics(&metrics);
        if (previous) {
            dc.SelectObject(previous);
        }
        logFont.lfWidth = static_cast<std::int32_t>(
            std::abs(size.x) * static_cast<double>(metrics.tmAveCharWidth) / std::abs(size.y) +
            0.5);
        font = gdi::CreateFontIndirect(logFont);
    }

    dc.RestoreDC(-1);
    if (logFontOut) {
        *logFontOut = logFont;
    }
    return font;
}

namespace {

bool textExtent(DeviceContext& dc, std::string_view text, SIZE* size) {
    // The layer has one extent call; it stands for both the 32-bit call and the older one.
    return dc.GetTextExtentPoint32(text, size);
}

std::size_t textLength(const char* text, int length) {
    return length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
}

} // namespace

int MeasureText(DeviceContext& dc, const char* text, int length, int angle, SIZE* size) {
    SIZE measured;
    if (!textExtent(dc, std::string_view(text, textLength(text, length)), &measured)) {
        reportBadStuff("MyDrawText - GetTextExtentPoint failed!");
        return 0;
    }
    if (angle == 90 || angle == 270) {
        // Nine letters are always wider than tall: a probe that comes back taller than wide
        // means the driver measured along the rotated axes.
        SIZE probe;
        if (!textExtent(dc, "BJC620Bug", &probe)) {
            reportBadStuff("MyDrawText - GetTextExtentPoint failed!");
            return 0;
        }
        if (std::abs(probe.cx) < std::abs(probe.cy)) {
            measured = SIZE{measured.cy, measured.cx};
        }
    }
    *size = measured;
    return 1;
}

int MeasureFontHeight(DeviceContext& dc, const LOGFONTA& font) {
    gdi::HFONT created = gdi::CreateFontIndirect(font);
    gdi::HFONT previous = dc.SelectObject(created);
    gdi::TEXTMETRIC metrics;
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(previous);
    return metrics.tmHeight;
}

namespace {

// Text placement works in 64 bits: a string of thousands of lines in a font as tall as a file
// may ask for reaches past the int range before the clip takes it away.
using Wide = std::int64_t;

int toInt(Wide value) {
    return static_cast<int>(
        std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// One line of a CR LF separated text: [begin, end) and where the next line begins.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

Line lineAt(std::string_view text, std::size_t begin) {
    std::size_t feed = text.find('\n', begin);
    if (feed == std::string_view::npos) {
        return Line{begin, text.size(), text.size()};
    }
    std::size_t end = feed;
    if (end > begin && text[end - 1] == '\r') {
        --end;
    }
    return Line{begin, end, feed + 1};
}

// The coordinate along the text of a line `advance` long, by the horizontal flags.
Wide alongText(int angle, const RECT& rect, unsigned flags, Wide advance) {
    const Wide width = Wide{rect.right} - rect.left;
    const Wide height = Wide{rect.bottom} - rect.top;
    bool centre = flags & DT_CENTER;
    bool right = flags & DT_RIGHT;
    switch (angle) {
    case 90:
        return centre  ? rect.bottom - (height - advance) / 2
               : right ? rect.bottom + advance
                       : Wide{rect.top};
    case 180:
        return centre  ? rect.right - (width - advance) / 2
               : right ? rect.left + advance
                       : Wide{rect.right};
    case 270:
        return centre  ? rect.top + (height - advance) / 2
               : right ? rect.top - advance
                       : Wide{rect.bottom};
    default:
        return centre  ? rect.left + (width - advance) / 2
               : right ? rect.right - advance
                       : Wide{rect.left};
    }
}

// The coordinate across the text of the first line of a block `total` high.
Wide acrossText(int angle, const RECT& rect, unsigned flags, Wide total) {
    const Wide width = Wide{rect.right} - rect.left;
    const Wide height = Wide{rect.bottom} - rect.top;
    bool vcentre = flags & DT_VCENTER;
    bool bottom = flags & DT_BOTTOM;
    switch (angle) {
    case 90:
        return vcentre  ? rect.left + (width + total) / 2
               : bottom ? rect.left + total
                        : Wide{rect.right};
    case 180:
        return vcentre  ? rect.bottom - (height + total) / 2
               : bottom ? rect.top - total
                        : Wide{rect.bottom};
    case 270:
        return vcentre  ? rect.left + (width - total) / 2
               : bottom ? rect.right - total
                        : Wide{rect.left};
    default:
        return vcentre  ? rect.top + (height + total) / 2
               : bottom ? rect.bottom + total
                        : Wide{rect.top};
    }
}

// Text at 90 and 270 degrees runs along y and its lines stack along x.
bool runsAlongY(int angle) {
    return angle == 90 || angle == 270;
}

void drawLine(DeviceContext& dc, Wide x, Wide y, const RECT& clip, std::string_view line) {
    unsigned previousAlign = dc.SetTextAlign(gdi::TA_LEFT | gdi::TA_TOP | gdi::TA_NOUPDATECP);
    int previousExtra = dc.SetTextCharacterExtra(0);
    int previousMode = dc.SetBkMode(gdi::TRANSPARENT);
    bool drawn = dc.ExtTextOut(toInt(x), toInt(y), gdi::ETO_CLIPPED, &clip, line);
    dc.SetTextAlign(previousAlign);
    dc.SetTextCharacterExtra(previousExtra);
    dc.SetBkMode(previousMode);
    if (!drawn) {
        reportBadStuff("MyDrawText - TextOut failure");
    }
}

} // namespace

void MyDrawText(DeviceContext& dc, const char* text, int length, const RECT& rect, unsigned flags,
                int angle) {
    std::string_view all(text, textLength(text, length));
    RECT clip = rect;
    GrowRect(clip, 2);

    int lineCount = 1;
    for (char c : all) {
        if (c == '\n') {
            ++lineCount;
        }
    }

    // The first line sets the line height for all of them.
    Line line = lineAt(all, 0);
    SIZE first{};
    MeasureText(dc, all.data() + line.begin, static_cast<int>(line.end - line.begin), angle,
                &first);
    const Wide lineHeight = first.cy;
    const Wide total = lineCount * lineHeight;

    Wide along = alongText(angle, rect, flags, first.cx);
    Wide across = acrossText(angle, rect, flags, total);
    for (int i = 0;; ++i) {
        if (i > 0) {
            Wide advance = 0;
            if (line.end > line.begin) {
                SIZE measured;
                if (MeasureText(dc, all.data() + line.begin,
                                static_cast<int>(line.end - line.begin), angle, &measured)) {
                    advance = measured.cx;
                }
            }
            // Lines stack toward -y at 0, -x at 90, +y at 180 and +x at 270.
            across += angle == 180 || angle == 270 ? lineHeight : -lineHeight;
            along = alongText(angle, rect, flags, advance);
        }
        if (line.end > line.begin) {
            std::string_view piece = all.substr(line.begin, line.end - line.begin);
            if (runsAlongY(angle)) {
                drawLine(dc, across, along, clip, piece);
            } else {
                drawLine(dc, along, across, clip, piece);
            }
        }
        if (i + 1 >= lineCount) {
            break;
        }
        line = lineAt(all, line.next);
    }
}

} // namespace pelmora
