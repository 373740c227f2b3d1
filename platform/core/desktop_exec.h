#pragma once
// Desktop entry Exec lines: one word of a command as the format needs it written.

#include <string>

namespace pelmora {

// `word` as one argument of an Exec line: as it is when it holds only plain characters,
// else in double quotes with '"', '`', '$' and '\' escaped, and every backslash then
// doubled once more as the key file format asks. A '%' is doubled in both forms.
std::string desktopExecArgument(const std::string& word);

} // namespace pelmora
