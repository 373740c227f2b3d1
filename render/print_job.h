#pragma once
// The print job: everything Print does once the print dialog has handed over a printer DC and
// a copy count. Runs synchronously; the window scale is 1.0 for the whole job and the
// printing flag is raised from StartDoc to the end.

#include "catalog/records.h"
#include "render/print_settings.h"

#include <memory>

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
// again for the next paint.
PrintJobStatus PrintLabels(std::unique_ptr<gdi::DeviceContext> printDC, int copies,
                           LabelSet& labels, const PrintSettings& settings);

} // namespace pelmora
