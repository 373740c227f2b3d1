#include "library/name_pattern.h"

#include <algorithm>

namespace pelmora::library {
namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the character starting at `i` (a lone continuation byte counts as one).
std::size_t characterLength(std::string_view text, std::size_t i) {
    std::size_t n = 1;
    while (i + n < text.size() && isContinuation(static_cast<unsigned char>(text[i + n]))) {
        ++n;
    }
    return n;
}

// Wildcard match of the whole text, iterative with one backtrack point per '*'.
bool wildcardMatch(std::string_view text, std::string_view pattern) {
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
            continue;
        }
        if (p < pattern.size() && pattern[p] == '?') {
            t += characterLength(text, t);
            ++p;
            continue;
        }
        if (p < pattern.size() && foldAZ(static_cast<unsigned char>(pattern[p])) ==
                                      foldAZ(static_cast<unsigned char>(text[t]))) {
            ++t;
            ++p;
            continue;
        }
        if (starP == std::string_view::npos) {
            return false;
        }
        p = starP;
        starT += characterLength(text, starT);
        t = starT;
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

std::string foldedText(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(foldAZ(static_cast<unsigned char>(c)));
    }
    return folded;
}

bool matchesSubstringPattern(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) {
        return true;
    }
    std::string wrapped;
    wrapped.reserve(pattern.size() + 2);
    wrapped += '*';
    wrapped += pattern;
    wrapped += '*';
    return wildcardMatch(name, wrapped);
}

bool matchesWholePattern(std::string_view text, std::string_view pattern) {
    return wildcardMatch(text, pattern);
}

std::string likePattern(std::string_view pattern) {
    std::string like = "%";
    for (char c : pattern) {
        switch (c) {
        case '*':
            like += '%';
            break;
        case '?':
            like += '_';
            break;
        case '%':
        case '_':
        case '\\':
            like += '_';
            break;
        default:
            like += c;
        }
    }
    like += '%';
    return like;
}

std::size_t longestLiteralRun(std::string_view pattern) {
    std::size_t best = 0;
    std::size_t run = 0;
    for (char c : pattern) {
        if (c == '*' || c == '?' || c == '%' || c == '_' || c == '\\') {
            run = 0;
        } else if (!isContinuation(static_cast<unsigned char>(c))) {
            best = std::max(best, ++run);
        }
    }
    return best;
}

std::string extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    return foldedText(name.substr(dot + 1));
}

} // namespace pelmora::library
