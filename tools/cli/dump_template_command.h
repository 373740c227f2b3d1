#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// pelmora-cli dump-template FILE.PMT: a template file as JSON on standard output: its version
// code, the folder states in file order, the objects (images by path, not loaded) and the
// label block. A damaged file shows what was read, with a note on standard error. Returns
// the exit code; throws UsageError / InputError.
int runDumpTemplate(const std::vector<std::string>& args, std::ostream& out);

} // namespace pelmora::cli
