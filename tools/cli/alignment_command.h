#pragma once
// pelmora-cli alignment-sheet -o OUT.pdf [--paper a4|letter]: the printer alignment sheet as
// a PDF, to measure a printer's calibration.

#include <iosfwd>
#include <string>
#include <vector>

namespace pelmora::cli {

int runAlignmentSheet(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
