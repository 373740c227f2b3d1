#include "render/alignment_sheet.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/printer_dc.h"
#include "render/geometry.h"
#include "render/print_layout.h"
#include "render/text.h"
#include "render/view_state.h"

#include <string>

namespace pelmora {

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;

void line(gdi::DeviceContext& dc, int x1, int y1, int x2, int y2) {
    dc.MoveToEx(x1, y1);
    dc.LineTo(x2, y2);
}

int tickLength(int tenth) {
    if (tenth % 10 == 0) {
        return kInchTickLength;
    }
    return tenth % 5 == 0 ? kHalfTickLength : kTenthTickLength;
}

} // namespace

void DrawAlignmentSheet(gdi::DeviceContext& dc, double paperWidth, double paperHeight) {
    static const gdi::HPEN hairline = gdi::CreatePen(gdi::PS_SOLID, 0, RGB(0, 0, 0));
    const WindowScaleOverride fullSize(1.0);
    const int previousMode = SetLabelMapping(dc);
    gdi::HPEN previousPen = dc.SelectObject(hairline);
    gdi::HFONT font = CreatePointFont(dc, "Arial", 70, 0, 0, 1, 0);
    gdi::HFONT previousFont = dc.SelectObject(font);
    const COLORREF previousColor = dc.SetTextColor(RGB(0, 0, 0));
    const int previousBk = dc.SetBkMode(gdi::TRANSPARENT);

    const int width = static_cast<int>(paperWidth * 100);
    const int height = static_cast<int>(paperHeight * 100);
    // Top ruler: ticks hang down from the top edge; left ruler: they reach in from the left.
    for (int tenth = 0; tenth * 10 <= width; ++tenth) {
        const int x = tenth * 10;
        line(dc, x, 0, x, -tickLength(tenth));
        if (tenth % 10 == 0 && tenth > 0) {
            const std::string inches = std::to_string(tenth / 10);
            MyDrawText(dc, inches.c_str(), -1, RECT{x + 2, -kHalfTickLength, x + 40, -30},
                       DT_LEFT | DT_TOP | DT_SINGLELINE, 0);
        }
    }
    for (int tenth = 0; tenth * 10 <= height; ++tenth) {
        const int y = -tenth * 10;
        line(dc, 0, y, tickLength(tenth), y);
        if (tenth % 10 == 0 && tenth > 0) {
            const std::string inches = std::to_string(tenth / 10);
            MyDrawText(dc, inches.c_str(), -1, RECT{kHalfTickLength + 2, y - 2, 60, y - 20},
                       DT_LEFT | DT_TOP | DT_SINGLELINE, 0);
        }
    }

    // The one-label face at its default place.
    PrintSettings defaults;
    const POINT origin = SheetOrigin(ONE_LABEL, defaults);
    const int right = origin.x + kFaceWidth;
    const int bottom = origin.y + kFrontFaceHeight;
    line(dc, origin.x, origin.y, right, origin.y);
    line(dc, right, origin.y, right, bottom);
    line(dc, right, bottom, origin.x, bottom);
    line(dc, origin.x, bottom, origin.x, origin.y);
    MyDrawText(dc, kAlignmentInstruction, -1, RECT{origin.x, bottom - 10, right + 300, bottom - 60},
               DT_LEFT | DT_TOP, 0);
    MyDrawText(dc, "Pelmora alignment sheet", -1,
               RECT{origin.x + 10, origin.y - 10, right - 10, origin.y - 40},
               DT_LEFT | DT_TOP | DT_SINGLELINE, 0);

    dc.SetBkMode(previousBk);
    dc.SetTextColor(previousColor);
    dc.SelectObject(previousFont);
    dc.SelectObject(previousPen);
    dc.SetMapMode(previousMode);
}

PrintJobStatus PrintAlignmentSheet(std::unique_ptr<gdi::DeviceContext> printDC) {
    gdi::DeviceContext& dc = *printDC;
    PrintJobStatus status = PrintJobStatus::Printed;
    auto check = [&status](int result, const char* message, PrintJobStatus failure) {
        if (result > 0) {
            return;
        }
        reportBadStuff(message);
        if (status == PrintJobStatus::Printed) {
            status = failure;
        }
    };
    gdi::DOCINFO info;
    info.docName = kPrintDocumentName;
    check(gdi::StartDoc(dc, info), "Print - Unable to get StartDoc()",
          PrintJobStatus::StartDocFailed);
    check(gdi::StartPage(dc), "Print - Unable to get StartPage()", PrintJobStatus::StartPageFailed);
    DrawAlignmentSheet(dc, dc.GetDeviceCaps(gdi::HORZSIZE) * kInchesPerMillimetre,
                       dc.GetDeviceCaps(gdi::VERTSIZE) * kInchesPerMillimetre);
    check(gdi::EndPage(dc), "Print - Unable to get EndPage()", PrintJobStatus::EndPageFailed);
    check(gdi::EndDoc(dc), "Print - Unable to get EndDoc()", PrintJobStatus::EndDocFailed);
    printDC.reset();
    return status;
}

} // namespace pelmora
