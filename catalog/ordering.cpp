#include "catalog/ordering.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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

int compareEntries(const FileEntry& a, const FileEntry& b, std::int32_t sortMode,
                   std::int32_t direction) {
    std::string_view nameA(a.name);
    std::string_view nameB(b.name);
    int r = 0;
    switch (sortMode) {
    case SORT_NAME:
        r = compareNoCase(nameA, nameB);
        break;
    case SORT_EXTENSION:
        r = compareNoCase(extensionOf(nameA), extensionOf(nameB));
        if (r == 0) {
            r = compareNoCase(nameA, nameB);
        }
        break;
    case SORT_SIZE:
        // Compared, not subtracted: sizes pass 2 GB and a difference would wrap.
        r = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
        if (r == 0) {
            r = compareNoCase(nameA, nameB);
        }
        break;
    default:
        return 0;
    }
    return r * direction;
}

void sortTree(VAROINFO& node) {
    const std::int32_t sortMode = node.sortMode;
    const std::int32_t direction = node.direction;
    std::sort(node.entries.begin(), node.entries.end(),
              [&](const FileEntry& a, const FileEntry& b) {
                  return compareEntries(a, b, sortMode, direction) < 0;
              });
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

std::int64_t fillDirectoryInfo(VAROINFO& node, std::int32_t dirInfoMode) {
    std::int64_t total = 0;
    for (FileEntry& entry : node.entries) {
        if (entry.hasChild && entry.child) {
            std::int64_t below = fillDirectoryInfo(*entry.child, dirInfoMode);
            total += below;
            if (dirInfoMode == 2) {
                double kilobytes = static_cast<double>(below) / 1024.0;
                if (kilobytes > 1024.0) {
                    std::snprintf(entry.sizeText, sizeof entry.sizeText, "%1.1fM",
                                  kilobytes / 1024.0);
                } else {
                    std::snprintf(entry.sizeText, sizeof entry.sizeText, "%01lldK",
                                  static_cast<long long>(kilobytes));
                }
            } else {
                std::snprintf(entry.sizeText, sizeof entry.sizeText, "%lld",
                              static_cast<long long>(below));
            }
        }
        total += dirInfoMode == 2 ? static_cast<std::int64_t>(entry.size) : 1;
    }
    return total;
}

} // namespace pelmora
