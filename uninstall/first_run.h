#pragma once
// The end of Uninstall's first run: a copy of the program folder's "Uninstal" in a private
// temporary folder, started with "killemall".

#include <string>

namespace pelmora {

// The name every temporary folder of a second run starts with.
constexpr const char* kTemporaryFolderPrefix = "pelmora-uninstall-";

// Returns the exit code: 0 when the copy was started, 1 (reported) when it could not be made
// or started.
int startSecondRun(const std::string& programFolder);

} // namespace pelmora
