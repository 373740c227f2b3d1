#pragma once
// The alignment sheet: one page that shows how a printer places and sizes what it is given.
// Rulers run along the top and left edges of the printable area (a tick every tenth of an
// inch, longer at halves, labelled at whole inches), the one-label face outline stands at its
// default place, and a line tells the user what to measure. Printed without calibration, so
// what is measured is the correction itself.

#include "render/print_job.h"

#include <memory>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// Tick lengths, label units (0.01 inch).
constexpr int kTenthTickLength = 8;
constexpr int kHalfTickLength = 12;
constexpr int kInchTickLength = 20;

// The instruction printed under the outline.
constexpr const char* kAlignmentInstruction =
    "Measure this outline: it belongs 1.00 in from both rulers' zero, 3.56 x 4.31 in large.\r\n"
    "Type how far it landed off as the offset, and measured size / true size as the scale.";

// Draws the sheet on a page of a DC whose printable area is paperWidth x paperHeight inches.
void DrawAlignmentSheet(gdi::DeviceContext& dc, double paperWidth, double paperHeight);

// Prints the sheet as a one-page job (StartDoc .. EndDoc, failures reported as PrintLabels
// reports them); the DC is released at the end.
PrintJobStatus PrintAlignmentSheet(std::unique_ptr<gdi::DeviceContext> printDC);

} // namespace pelmora
