#pragma once
// Desktop entries: values written as the key file format needs them, so that a path or a name
// can never end a line early or be read as a different command.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// True when `text` can stand in a desktop entry as it is meant: valid UTF-8 without control
// characters. A line break in particular cannot be expressed in an Exec line (launchers differ
// on escapes there), and written raw it would start a line of its own.
bool desktopEntryCanHold(std::string_view text);

// `word` as one argument of an Exec line: as it is when it holds only plain characters,
// else in double quotes with '"', '`', '$' and '\' escaped, and every backslash then
// doubled once more as the key file format asks. A '%' is doubled in both forms. Empty when
// the word cannot be expressed (see desktopEntryCanHold); an entry must then not be written.
std::string desktopExecArgument(const std::string& word);

// `text` as a string value: backslash, line break, tab and carriage return written as "\\",
// "\n", "\t", "\r", and a leading blank as "\s" (readers drop blanks after '='). Nothing when
// the text holds another control character or is not valid UTF-8.
std::optional<std::string> desktopStringValue(std::string_view text);

// A path an entry could not hold, as a warning shows it: control characters as '?'.
std::string desktopRefusedPathShown(std::string_view path);

} // namespace pelmora
