#pragma once
// The print job: everything Print does once the print dialog has handed over a printer DC and
// a copy count. Runs synchronously; the window scale is 1.0 for the whole job and the
// printing flag is raised from StartDoc to the end.

#include "catalog/records.h"
#include "render/calibration.h"
#include "render/print_layout.h"
#include "render/print_settings.h"

#include <memory>
#include <vector>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// How a job went: every spooler call succeeded, or the first one that did not.
enum class PrintJobStatus { Printed, StartDocFailed, StartPageFailed, EndPageFailed, EndDocFailed };

// The document name the spooler shows.
constexpr const char* kPrintDocumentName = "Pelmora";

// Measures the three line heights of all four labels on `printDC` (its default mapping), then
// prints `copies` pages (at least one), each with the full arrangement of theView.format for
// `labels`, through StartDoc / StartPage / EndPage / EndDoc. A failing spooler call shows its
// message ("Print - Unable to get StartDoc()", ...; caption "BAD STUFF") and the job carries
// on; EndDoc always runs and the DC is released at the end. The cached logo fonts are made
// again for the next paint. `calibration` (the printer's, see calibration.h) moves and sizes
// everything printed; it is held so that no face that fitted on the sheet leaves it.
PrintJobStatus PrintLabels(std::unique_ptr<gdi::DeviceContext> printDC, int copies,
                           LabelSet& labels, const PrintSettings& settings,
                           const Calibration& calibration = Calibration{});

// The extent of the faces of `faces` on a printable area of paperWidth x paperHeight inches.
SheetExtent SheetExtentOf(const std::vector<SheetFace>& faces, double paperWidth,
                          double paperHeight);

} // namespace pelmora
