#include "render/face_painter.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "render/file_list.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "render/paint_settings.h"
#include "render/text.h"
#include "render/view_state.h"

namespace pelmora {

PaintSettings thePaintSettings;

namespace {

using gdi::DeviceContext;

int trunc(double v) {
    return static_cast<int>(v);
}

// The logo fonts are kept between paints and rebuilt when the paint scale or the window scale
// changes.
struct LogoFonts {
    gdi::HFONT initials;
    gdi::HFONT number;
    double scale = 0;
};

LogoFonts& logoFonts() {
    static LogoFonts fonts;
    return fonts;
}

gdi::HPEN blackPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 1, RGB(0, 0, 0));
    return pen;
}

gdi::HBRUSH logoGreenBrush() {
    static const gdi::HBRUSH brush = gdi::CreateSolidBrush(RGB(0, 128, 0));
    return brush;
}

void fillWith(DeviceContext& dc, const RECT& rect, COLORREF color, const char* failure) {
    gdi::HBRUSH brush = gdi::CreateSolidBrush(color);
    if (!brush) {
        reportBadStuff(failure);
        return;
    }
    dc.FillRect(rect, brush);
}

void refreshLogoFonts(DeviceContext& dc, double s) {
    LogoFonts& fonts = logoFonts();
    if (fonts.scale != s || theView.windowScaleChanged) {
        fonts = LogoFonts{};
        fonts.scale = s;
        theView.windowScaleChanged = false;
    }
    if (!fonts.initials) {
        const int tenths = trunc(120 * s);
        fonts.initials = CreatePointFont(dc, "Arial", tenths, tenths, 0, 1, 0);
    }
    if (!fonts.number) {
        const int tenths = trunc(65 * s);
        fonts.number = CreatePointFont(dc, "Arial", tenths, tenths, FONT_BOLD, 1, 2700);
    }
}

// Initials box and number box at the spine's left end; returns where the spine text starts.
int paintLogo(DeviceContext& dc, double s, const RECT& spine, const VAROINFO& label) {
    const LogoFonts& fonts = logoFonts();
    gdi::HFONT previousFont = dc.SelectObject(fonts.initials);
    const COLORREF previousColor = dc.SetTextColor(RGB(0, 0, 0));
    const int previousMode = dc.SetBkMode(gdi::TRANSPARENT);
    gdi::HBRUSH previousBrush = dc.SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));

    const char* initials = thePaintSettings.spineInitials;
    SIZE extent{};
    MeasureText(dc, initials, -1, 0, &extent);
    const int initialsRight = label.labelLeft + extent.cx + trunc(7 * s);
    MyDrawText(dc, initials, -1, RECT{label.labelLeft, spine.top, initialsRight, spine.bottom},
               DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0);

    dc.SelectObject(fonts.number);
    const char* number = thePaintSettings.spineNumber;
    SIZE numberExtent{};
    MeasureText(dc, number, -1, 90, &numberExtent);
    const RECT box{initialsRight, spine.top, initialsRight + numberExtent.cy, spine.bottom};
    dc.FillRect(box, label.colorLogo ? logoGreenBrush() : gdi::GetStockBrush(gdi::GRAY_BRUSH));
    dc.SetTextColor(RGB(255, 255, 255));
    MyDrawText(dc, number, -1, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 270);
    dc.MoveToEx(box.left, spine.top);
    dc.LineTo(box.left, spine.bottom);
    dc.MoveToEx(box.right, spine.top);
    dc.LineTo(box.right, spine.bottom);

    dc.SelectObject(previousBrush);
    dc.SetBkMode(previousMode);
    dc.SetTextColor(previousColor);
    dc.SelectObject(previousFont);
    return box.right;
}

void paintSpineText(DeviceContext& dc, double s, const RECT& spine, int start,
                    const VAROINFO& label) {
    LOGFONTA font = label.spineFont;
    font.lfHeight = trunc(font.lfHeight * s);
    font.lfWidth = trunc(font.lfWidth * s);
    font.lfEscapement = 0;
    font.lfOrientation = 0;
    gdi::HFONT previousFont = dc.SelectObject(gdi::CreateFontIndirect(font));
    const COLORREF previousColor = dc.SetTextColor(label.spineColor);
    const int previousMode = dc.SetBkMode(gdi::TRANSPARENT);
    const RECT rect{start + trunc(8 * s), spine.top - 2,
                    label.labelLeft + trunc(s * label.labelWidth) - trunc(8 * s), spine.bottom + 2};
    const unsigned align = label.spineAlign == 1   ? DT_CENTER
                           : label.spineAlign == 2 ? DT_RIGHT
                                                   : DT_LEFT;
    MyDrawText(dc, label.volumeName, -1, rect, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, 0);
    dc.SetBkMode(previousMode);
    dc.SetTextColor(previousColor);
    dc.SelectObject(previousFont);
}

} // namespace

RECT SpineRect(const VAROINFO& label, double s) {
    RECT spine = kSpineRect;
    ScaleRect(spine, s);
    spine.left += label.labelLeft;
    spine.right += label.labelLeft;
    spine.top += label.labelTop;
    spine.bottom += label.labelTop;
    return spine;
}

void PaintBackgrounds(DeviceContext& dc, double s, const VAROINFO& label, int position) {
    const int previousMode = SetLabelMapping(dc);
    fillWith(dc,
             RECT{label.labelLeft, label.labelTop, trunc(s * label.labelWidth + label.labelLeft),
                  trunc(label.labelHeight * s + label.labelTop)},
             label.bodyBackColor, "Body Background Brush Failed!");
    if (position == 1) {
        fillWith(dc, SpineRect(label, s), label.spineBackColor, "Spine Background Brush Failed!");
    }
    dc.SetMapMode(previousMode);
}

void PaintLabelContent(DeviceContext& dc, double s, VAROINFO& label, int position) {
    const int previousMode = SetLabelMapping(dc);
    refreshLogoFonts(dc, s);
    gdi::HPEN previousPen = dc.SelectObject(blackPen());
    gdi::HBRUSH previousBrush = dc.currentBrush();
    if (position == 1) {
        const RECT spine = SpineRect(label, s);
        int start = spine.left;
        if (label.showLogo) {
            start = paintLogo(dc, s, spine, label);
        }
        paintSpineText(dc, s, spine, start, label);
        const int right = label.labelLeft + trunc(kFaceWidth * s);
        dc.MoveToEx(label.labelLeft, spine.top);
        dc.LineTo(right, spine.top);
        dc.MoveToEx(label.labelLeft, spine.bottom);
        dc.LineTo(right, spine.bottom);
    }
    dc.SelectObject(previousBrush);
    dc.SelectObject(previousPen);

    if (label.columns > 0) {
        DrawFileList(label, dc, PlacedBodyRect(label, position, s), s,
                     FirstLineOfPosition(label, position), label.columns, position);
    }
    dc.SetMapMode(previousMode);
}

void PaintBorder(DeviceContext& dc, const VAROINFO& label, double s) {
    const int previousMode = SetLabelMapping(dc);
    const int index = thePaintSettings.borderIndex;
    gdi::HPEN pen;
    if (theView.printing || index != kNoBorder) {
        const int style = index >= 0 && index <= kNoBorder ? index : 0;
        pen = gdi::CreatePen(style, style == gdi::PS_SOLID ? 1 : 0, RGB(0, 0, 0));
    } else {
        pen = gdi::CreatePen(gdi::PS_SOLID, 0, RGB(192, 192, 192));
    }
    gdi::HPEN previousPen = dc.SelectObject(pen);
    const int previousBk = dc.SetBkMode(gdi::OPAQUE);
    gdi::HBRUSH previousBrush = dc.SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));
    dc.Rectangle(label.labelLeft, label.labelTop, trunc(label.labelWidth * s) + label.labelLeft,
                 trunc(s * label.labelHeight) + label.labelTop);
    dc.SelectObject(previousBrush);
    dc.SetBkMode(previousBk);
    dc.SelectObject(previousPen);
    dc.SetMapMode(previousMode);
}

void PaintFace(DeviceContext& dc, int zoomed, int position, VAROINFO& label) {
    const double s = zoomed ? 1.0 : 0.5;
    PaintBackgrounds(dc, s, label, position);
    DrawVaroImages(dc, label, -1, position, zoomed);
    PaintLabelContent(dc, s, label, position);
    DrawVaroImages(dc, label, 0, position, zoomed);
    DrawVaroImages(dc, label, 1, position, zoomed);
    PaintBorder(dc, label, s);
}

} // namespace pelmora
