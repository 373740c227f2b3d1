#pragma once
// How the library matches names. The catalog compares names with only A-Z folded (other bytes,
// UTF-8 included, must be equal), and so does every match here. A search pattern is a
// substring with `*` (any run) and `?` (one character) wildcards: "rep?rt" finds
// "Old_Report.txt". A label pattern (--label) is a whole-text wildcard match instead.

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmora::library {

inline unsigned char foldAZ(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// A-Z folded copy of `text`.
std::string foldedText(std::string_view text);

// Whether `pattern` occurs in `name` (wildcards allowed, A-Z folded). An empty pattern
// matches every name.
bool matchesSubstringPattern(std::string_view name, std::string_view pattern);

// Whether the whole of `text` matches `pattern` (wildcards allowed, A-Z folded).
bool matchesWholePattern(std::string_view text, std::string_view pattern);

// The pattern as an SQL LIKE pattern for a substring search, without an ESCAPE clause (the
// trigram index would not take one): '%', '_' and '\\' in the pattern become '_', so the LIKE
// matches at least every name the pattern does and the caller checks each candidate.
std::string likePattern(std::string_view pattern);

// The characters (not bytes) of the longest run in `pattern` free of wildcards and of the
// characters likePattern turns into one: the trigram index can narrow a search only when this
// is at least 3.
std::size_t longestLiteralRun(std::string_view pattern);

// The extension of a name: the text after its last '.', A-Z folded; empty without a dot.
std::string extensionOf(std::string_view name);

} // namespace pelmora::library
