#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// pelmora-cli scan FOLDER [options]: scans the folder as a drive and prints the catalog.
// Returns the exit code; throws UsageError / InputError.
int runScan(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
