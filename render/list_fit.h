#pragma once
// How much of a label's catalog its faces hold: the display lines placed in the free cells of
// all of the label's pages and those left out, the sentence that tells the user, and the
// search for the largest file and folder font height at which every line fits.

#include "catalog/records.h"

#include <cstdint>
#include <string>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

struct ListFit {
    std::int64_t lines = 0;  // display lines of the catalog
    std::int64_t placed = 0; // lines that land in a free cell of one of the label's pages
    std::int64_t leftOut() const { return lines - placed; }
};

// Counts the label's display lines (rebuilt when stale) against the free cells of every page
// the current format (theView.format) gives a label, as printing lays them out (paint scale
// 1). A label without a file list (columns 0) shows no lines and leaves none out.
ListFit MeasureListFit(VAROINFO& label);

// "198 of 10,100 lines fit on the label; 9,902 are left out", numbers grouped by thousands
// ("on the labels" for the sum over several labels).
std::string LeftOutText(const ListFit& fit, bool severalLabels = false);
// A count with its thousands separated by commas: 10100 -> "10,100".
std::string GroupedCount(std::int64_t count);

// The smallest file and folder font height Fit the Catalog goes down to: 7 units of the
// font chooser's 96 per inch, the first height that is not below 5 points.
constexpr std::int32_t kSmallestFitHeight = 7;

struct FitResult {
    bool fits = false;    // every line is placed (with the fonts lowered when needed)
    bool changed = false; // the file or folder font was lowered
    ListFit fit;          // with the fonts the label ends up with, or at the smallest height
};

// Lowers the label's file and folder fonts (each to at most the height found, never raising
// one) to the largest height down to kSmallestFitHeight at which every display line fits,
// with the line heights measured on `ic` (the printer's information context). When even the
// smallest height leaves lines out, the fonts and line heights are put back as they were and
// `fit` tells how many lines that height would still leave out.
FitResult FitCatalog(VAROINFO& label, gdi::DeviceContext& ic);

} // namespace pelmora
