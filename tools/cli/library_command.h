#pragma once
// pelmora-cli library add|refresh|remove|list|rebuild, find and duplicates: the label library
// (library/library.h) from the command line. Every command takes --library PATH; without it
// the library is $PELMORA_LIBRARY or ${XDG_DATA_HOME:-~/.local/share}/pelmora/library.sqlite.

#include <ostream>
#include <string>
#include <vector>

namespace pelmora::cli {

// Returns the exit code: 0 done, 1 usage, 2 a label or the library could not be used.
int runLibrary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// find: 0 with hits, 1 none (or a usage error), 2 the library or the pattern is unusable.
int runFind(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// duplicates: 0 with groups, 1 none, 2 the library is unusable.
int runDuplicates(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The "--library PATH" option, taken out of `args`; the default path without it.
std::string takeLibraryPath(std::vector<std::string>& args);

} // namespace pelmora::cli
