#pragma once
// Copies that replace their target whole: the data goes to a temporary file in the target's
// folder, which is then renamed over the target. A running program can be replaced this way
// (it keeps its old file), and a failed copy leaves the old target as it was.

#include <string>

namespace pelmora {

// Copies a regular file; the copy gets the source's permission bits unless `mode` is given.
// False on any failure (the temporary file is removed).
bool copyFileReplacing(const std::string& source, const std::string& target, int mode = -1);

} // namespace pelmora
