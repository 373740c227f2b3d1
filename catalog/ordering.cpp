#include "catalog/ordering.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace pelmora {

std::string_view extensionOf(std::string_view name) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    return name.substr(dot + 1);
}

int compareNoCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
    };
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = fold(a[i]);
        unsigned char cb = fold(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

namespace {

// A text with its first eight bytes folded as by compareNoCase and packed big-endian, padded
// with zeros. Names hold no NUL byte, so different prefixes order the texts exactly as
// compareNoCase does; only texts with equal prefixes need their bytes compared. This keeps
// most comparisons of a large folder inside the keys, away from the scattered entries.
struct FoldedText {
    std::string_view text;
    std::uint64_t prefix = 0;
};

FoldedText foldedText(std::string_view text) {
    FoldedText folded{text, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        unsigned char c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c + ('a' - 'A'));
        }
        folded.prefix = (folded.prefix << 8) | c;
    }
    return folded;
}

int compareFolded(const FoldedText& a, const FoldedText& b) {
    if (a.prefix != b.prefix) {
        return a.prefix < b.prefix ? -1 : 1;
    }
    return compareNoCase(a.text, b.text);
}

// What the order of an entry depends on, taken from it once.
struct SortKey {
    FoldedText name;
    FoldedText extension;
    std::uint64_t size = 0;
    std::size_t index = 0; // where the entry stood before the sort
};

SortKey sortKeyOf(const FileEntry& entry, std::size_t index) {
    const std::string_view name(entry.name);
    return {foldedText(name), foldedText(extensionOf(name)), entry.size, index};
}

int compareKeys(const SortKey& a, const SortKey& b, std::int32_t sortMode, std::int32_t direction) {
    int r = 0;
    switch (sortMode) {
    case SORT_NAME:
        r = compareFolded(a.name, b.name);
        break;
    case SORT_EXTENSION:
        r = compareFolded(a.extension, b.extension);
        if (r == 0) {
            r = compareFolded(a.name, b.name);
        }
        break;
    case SORT_SIZE:
        // Compared, not subtracted: sizes pass 2 GB and a difference would wrap.
        r = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
        if (r == 0) {
            r = compareFolded(a.name, b.name);
        }
        break;
    default:
        return 0;
    }
    return r * direction;
}

// Sorts small keys instead of the entries, then moves the entries into place along the cycles
// of the permutation, without a second array. The sort sees the same comparisons as a sort of
// the entries themselves, so the order is the same, ties included.
void sortEntries(std::vector<FileEntry>& entries, std::int32_t sortMode, std::int32_t direction) {
    std::vector<SortKey> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        keys.push_back(sortKeyOf(entries[i], i));
    }
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        return compareKeys(a, b, sortMode, direction) < 0;
    });
    // keys[k].index is where the entry for place k stands; a place filled is marked by
    // pointing at itself.
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].index == start) {
            continue;
        }
        FileEntry carried = std::move(entries[start]);
        std::size_t place = start;
        while (keys[place].index != start) {
            const std::size_t from = keys[place].index;
            entries[place] = std::move(entries[from]);
            keys[place].index = place;
            place = from;
        }
        entries[place] = std::move(carried);
        keys[place].index = place;
    }
}

} // namespace

int compareEntries(const FileEntry& a, const FileEntry& b, std::int32_t sortMode,
                   std::int32_t direction) {
    return compareKeys(sortKeyOf(a, 0), sortKeyOf(b, 0), sortMode, direction);
}

void sortTree(VAROINFO& node) {
    const std::int32_t sortMode = node.sortMode;
    const std::int32_t direction = node.direction;
    sortEntries(node.entries, sortMode, direction);
    for (FileEntry& entry : node.entries) {
        if (entry.child) {
            entry.child->sortMode = sortMode;
            entry.child->direction = direction;
            sortTree(*entry.child);
        }
    }
    node.layoutValid = 0;
}

void sortLabel(VAROINFO& label) {
    sortTree(label);
}

namespace {

constexpr std::int64_t kLargestSum = std::numeric_limits<std::int64_t>::max();
// The largest figures a folder's 15-character size text shows whole.
constexpr long long kLargestCountText = 999'999'999'999'999;
constexpr double kLargestMegabytesText = 999'999'999'999.9;

// Sums of sizes and counts are held at the largest value instead of wrapping: archive members
// may claim sizes that add up past 2^63.
std::int64_t addHeld(std::int64_t total, std::uint64_t amount) {
    const std::uint64_t room = static_cast<std::uint64_t>(kLargestSum - total);
    return amount >= room ? kLargestSum : total + static_cast<std::int64_t>(amount);
}

} // namespace

std::int64_t fillDirectoryInfo(VAROINFO& node, std::int32_t dirInfoMode) {
    std::int64_t total = 0;
    for (FileEntry& entry : node.entries) {
        if (entry.hasChild && entry.child) {
            std::int64_t below = fillDirectoryInfo(*entry.child, dirInfoMode);
            total = addHeld(total, static_cast<std::uint64_t>(below));
            if (dirInfoMode == 2) {
                double kilobytes = static_cast<double>(below) / 1024.0;
                if (kilobytes > 1024.0) {
                    std::snprintf(entry.sizeText, sizeof entry.sizeText, "%1.1fM",
                                  std::min(kilobytes / 1024.0, kLargestMegabytesText));
                } else {
                    std::snprintf(entry.sizeText, sizeof entry.sizeText, "%01lldK",
                                  static_cast<long long>(kilobytes));
                }
            } else {
                std::snprintf(entry.sizeText, sizeof entry.sizeText, "%lld",
                              std::min(static_cast<long long>(below), kLargestCountText));
            }
        }
        total = addHeld(total, dirInfoMode == 2 ? entry.size : 1);
    }
    return total;
}

} // namespace pelmora
