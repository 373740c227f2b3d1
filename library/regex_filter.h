#pragma once
// Regular expressions for a name search (pelmora-cli find --regex, the Find in Labels
// dialog): Perl-compatible syntax, case-insensitive, matched anywhere in the name.

#include <functional>
#include <string>
#include <string_view>

namespace pelmora::library {

struct RegexFilter {
    std::function<bool(std::string_view name)> matches; // empty when the expression is invalid
    std::string error;                                  // why it is invalid
    std::size_t offset = 0; // where, in characters from the start of the pattern
};

RegexFilter makeRegexFilter(const std::string& pattern);

} // namespace pelmora::library
