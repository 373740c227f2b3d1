#pragma once
// The file list on a label's body: the catalog flattened into display lines and laid out in a
// grid of cells across the label's faces, flowing around objects placed above the label.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <cstdint>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// Rebuilds the label's display lines from its tree (open folders list their entries under
// them), stores lineCount and marks the layout valid. Returns the line count.
std::int32_t BuildDisplayLines(VAROINFO& label);

// The grid of one face: body rectangle (scaled and placed), paint scale and column count.
struct FileListGrid {
    RECT body;          // Rl, Rt, Rr, Rb in the DC's label units
    double scale = 1.0; // s: 1.0 zoomed and printing, 0.5 in the overview
    std::int32_t columns = 0;
    std::int32_t rows = 0; // n, may be <= 0 on a body too short for one row
    double lineUnit = 0;   // A = max(file, folder font height) + 1
    double pitch = 0;      // P = A x s
    double margin = 0;     // m
    double columnWidth = 0;

    FileListGrid(const VAROINFO& label, const RECT& body, double scale, std::int32_t columns,
                 std::int32_t position);
    // Content start Nk and column boundary Bk of column k; bottom line Y(r) of row r.
    double contentStart(std::int32_t k) const;
    double boundary(std::int32_t k) const { return contentStart(k) - margin; }
    double rowLine(std::int32_t r) const;
    // The text cell of column k, row r.
    RECT cell(std::int32_t k, std::int32_t r) const;
};

// 1 when an "Above Label" object on `position` overlaps `cell` (given in the DC's units; it is
// made face-relative with the label's placement, and the objects' outlines are scaled by s).
int IsCellCovered(const VAROINFO& label, const RECT& cell, std::int32_t position, double s);

// The number of cells of one face that are not covered (0 when columns < 1).
std::int32_t CountFreeCells(const VAROINFO& label, const RECT& body, double s, std::int32_t columns,
                            std::int32_t position);

// The body rectangle of `position` scaled by s and placed at the label's face origin.
RECT PlacedBodyRect(const VAROINFO& label, std::int32_t position, double s);

// The first display line of a face: the free cells of the label's earlier positions. Pages are
// laid out at full size on the face whatever the paint scale, so the overview, the zoomed view
// and the print show the same lines on each page.
std::int32_t FirstLineOfPosition(const VAROINFO& label, std::int32_t position);

// Draws one face's part of the list from display line `firstLine`, and on position 1 the
// comment. The DC must be in the label mapping. The rows and the cells left free for objects
// are those of the face's body laid out at full size; `body` and s only place the drawing.
void DrawFileList(VAROINFO& label, gdi::DeviceContext& dc, const RECT& body, double s,
                  std::int32_t firstLine, std::int32_t columns, std::int32_t position);

} // namespace pelmora
