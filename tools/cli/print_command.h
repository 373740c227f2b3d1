#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// pelmora-cli print FILE.PMB -o OUT.pdf [--format one|quad|fold-around|fold-out|four]
//                   [--crop-marks] [--border 0..5] [--separate] [--at X,Y] [--copies N]
//                   [--paper a4|letter] [--fit] [--offset DX,DY] [--scale SX,SY]
// The spine initials and number and the PDF printer's calibration come from the settings;
// lines the label leaves out are counted on standard error; --fit lowers the list fonts until
// every line fits (an input error when 5 points are not enough).
// Prints the file's label into every label the format uses and sends the whole sheet, once
// per copy, through the print job to a PDF file. The file appears only when the whole job
// succeeded. Needs a QGuiApplication. Returns the exit code; throws UsageError / InputError.
int runPrint(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
