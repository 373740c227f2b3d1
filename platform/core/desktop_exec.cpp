#include "platform/core/desktop_exec.h"

namespace pelmora {

namespace {

// Characters the desktop entry format reserves in Exec arguments, and '=' and '%', which
// some launchers misread outside quotes.
constexpr const char* kReservedInExec = " \t\n\"'\\><~|&;$*?#()`%=";

std::string doublePercent(const std::string& text) {
    std::string result;
    for (char c : text) {
        result += c;
        if (c == '%') {
            result += '%';
        }
    }
    return result;
}

} // namespace

std::string desktopExecArgument(const std::string& word) {
    if (!word.empty() && word.find_first_of(kReservedInExec) == std::string::npos) {
        return word;
    }
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (char c : quoted) {
        escaped += c;
        if (c == '\\') {
            escaped += '\\';
        }
    }
    return doublePercent(escaped);
}

} // namespace pelmora
