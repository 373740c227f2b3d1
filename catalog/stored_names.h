#pragma once
// Member names as archives store them, made into UTF-8 text. Archives written on DOS and
// Windows store names in a legacy 8-bit code page; the format's own flags tell which.

#include <string>
#include <string_view>

namespace pelmora {

// What a stored name that is not valid UTF-8 is read as.
enum class LegacyCodePage {
    None,        // the bytes stay as they are
    Oem437,      // the DOS OEM page, code page 437
    Windows1252, // the Windows "ANSI" page of Western Europe
};

// True when `bytes` is well-formed UTF-8: no stray continuation bytes, no cut sequences, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// The name as UTF-8: valid UTF-8 stays as it is (plain ASCII is both), anything else is
// converted byte by byte from `page`.
std::string storedNameToUtf8(std::string_view bytes, LegacyCodePage page);

} // namespace pelmora
