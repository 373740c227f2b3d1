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

// The length of the UTF-8 sequence starting at `at`, or 0 when it is not one (overlong forms,
// surrogates and code points past U+10FFFF included); `code` receives the code point.
std::size_t utf8Sequence(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// Valid UTF-8 whose only control characters, if any, are in `allowed`.
bool holdable(std::string_view text, std::string_view allowed) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = utf8Sequence(text, at, code);
        if (length == 0) {
            return false;
        }
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (control && allowed.find(static_cast<char>(code)) == std::string_view::npos) {
            return false;
        }
        at += length;
    }
    return true;
}

} // namespace

bool desktopEntryCanHold(std::string_view text) {
    return holdable(text, {});
}

std::string desktopExecArgument(const std::string& word) {
    if (!desktopEntryCanHold(word)) {
        return std::string();
    }
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

std::optional<std::string> desktopStringValue(std::string_view text) {
    if (!holdable(text, "\n\t\r")) {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '\t') {
            value += "\\t";
        } else if (c == '\r') {
            value += "\\r";
        } else if (c == ' ' && i == 0) {
            value += "\\s";
        } else {
            value += c;
        }
    }
    return value;
}

std::string desktopRefusedPathShown(std::string_view path) {
    std::string shown(path);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return shown;
}

} // namespace pelmora
