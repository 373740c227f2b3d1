#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// pelmora-cli scan FOLDER [options] [-o OUT.PMB] [--use-template]: scans the folder as a
// drive and prints the catalog; -o also writes the label as a label file, --use-template
// applies the folder's template file after the scan as Read Disk does. Patterns are stored as
// the Exclude/Include dialog stores them, and an output name without "PMB" in it gets ".PMB"
// as in Save As.
// Returns the exit code; throws UsageError / InputError.
int runScan(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
