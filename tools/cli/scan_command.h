#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::cli {

// pelmora-cli scan FOLDER [options] [-o OUT.PMB] [--use-template]: scans the folder as a
// drive and prints the catalog; -o also writes the label as a label file, --use-template
// applies the folder's template file after the scan as Read Disk does. Patterns are stored as
// the Exclude/Include dialog stores them, and an output name without "PMB" in it gets ".PMB"
// as in Save As.
// Returns the exit code; throws UsageError / InputError.
// Names go to a terminal (`out` is standard output and that is a terminal) with their control
// characters shown as '?', so a crafted name cannot send escape sequences; anywhere else they
// are written as they are.
int runScan(const std::vector<std::string>& args, std::ostream& out);
int runScan(const std::vector<std::string>& args, std::ostream& out, bool terminal);

// `text` with each byte below 0x20 and 0x7F made '?' when `terminal`, else unchanged.
std::string forTerminal(std::string_view text, bool terminal);

} // namespace pelmora::cli
