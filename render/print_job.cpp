#include "render/print_job.h"

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/printer_dc.h"
#include "render/geometry.h"
#include "render/print_layout.h"
#include "render/styles.h"
#include "render/view_state.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;

// Raises the printing flag for as long as it lives.
class PrintingFlag {
public:
    PrintingFlag() { theView.printing = 1; }
    ~PrintingFlag() { theView.printing = 0; }
    PrintingFlag(const PrintingFlag&) = delete;
    PrintingFlag& operator=(const PrintingFlag&) = delete;
};

// Shows the message of a failing spooler call and remembers the first failure.
void check(int result, const char* message, PrintJobStatus failure, PrintJobStatus& status) {
    if (result > 0) {
        return;
    }
    reportBadStuff(message);
    if (status == PrintJobStatus::Printed) {
        status = failure;
    }
}

} // namespace

SheetExtent SheetExtentOf(const std::vector<SheetFace>& faces, double paperWidth,
                          double paperHeight) {
    SheetExtent extent;
    extent.width = static_cast<std::int32_t>(paperWidth * 100);
    extent.height = static_cast<std::int32_t>(paperHeight * 100);
    bool first = true;
    for (const SheetFace& face : faces) {
        const RECT r{face.topLeft.x, face.topLeft.y, face.topLeft.x + kFaceWidth,
                     face.topLeft.y + FaceHeight(theView.format, face.position)};
        if (first) {
            extent.content = r;
            first = false;
            continue;
        }
        extent.content.left = std::min(extent.content.left, r.left);
        extent.content.top = std::max(extent.content.top, r.top);
        extent.content.right = std::max(extent.content.right, r.right);
        extent.content.bottom = std::min(extent.content.bottom, r.bottom);
    }
    return extent;
}

PrintJobStatus PrintLabels(std::unique_ptr<gdi::DeviceContext> printDC, int copies,
                           LabelSet& labels, const PrintSettings& settings,
                           const Calibration& calibration) {
    gdi::DeviceContext& dc = *printDC;
    PrintJobStatus status = PrintJobStatus::Printed;
    {
        // Restores the window scale and marks the logo fonts for re-creation at both ends.
        WindowScaleOverride fullSize(1.0);
        for (VAROINFO& label : labels.labels) {
            MeasureFontHeights(label, dc);
        }

        gdi::DOCINFO info;
        info.docName = kPrintDocumentName;
        check(gdi::StartDoc(dc, info), "Print - Unable to get StartDoc()",
              PrintJobStatus::StartDocFailed, status);
        PrintingFlag printing;

        const double paperWidth = dc.GetDeviceCaps(gdi::HORZSIZE) * kInchesPerMillimetre;
        const double paperHeight = dc.GetDeviceCaps(gdi::VERTSIZE) * kInchesPerMillimetre;
        const std::vector<SheetFace> faces =
            ArrangeSheet(theView.format, labels.currentLabelIndex, settings);
        for (int copy = 0; copy < (copies < 1 ? 1 : copies); ++copy) {
            check(gdi::StartPage(dc), "Print - Unable to get StartPage()",
                  PrintJobStatus::StartPageFailed, status);
            {
                const CalibratedMapping calibrated(dc, calibration,
                                                   SheetExtentOf(faces, paperWidth, paperHeight));
                PrintSheet(dc, labels, faces, settings.cropMarks != 0, paperWidth, paperHeight);
            }
            check(gdi::EndPage(dc), "Print - Unable to get EndPage()",
                  PrintJobStatus::EndPageFailed, status);
        }
        check(gdi::EndDoc(dc), "Print - Unable to get EndDoc()", PrintJobStatus::EndDocFailed,
              status);
        printDC.reset();
    }
    return status;
}

} // namespace pelmora
