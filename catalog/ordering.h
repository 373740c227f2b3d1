#pragma once
// The order of a catalog's entries and the figures a folder shows after its name.

#include "catalog/records.h"

#include <cstdint>
#include <string_view>

namespace pelmora {

constexpr std::int32_t SORT_NAME = 1;
constexpr std::int32_t SORT_EXTENSION = 2;
constexpr std::int32_t SORT_SIZE = 3;

// The text after the last '.' of a name; empty when there is none or it is last.
std::string_view extensionOf(std::string_view name);

// Folds A-Z to a-z and compares the bytes unsigned.
int compareNoCase(std::string_view a, std::string_view b);

// Negative, 0 or positive for a before, with or after b under the given keys.
int compareEntries(const FileEntry& a, const FileEntry& b, std::int32_t sortMode,
                   std::int32_t direction);

// Sorts a node with its own keys, then every child node with the same keys.
void sortTree(VAROINFO& node);
void sortLabel(VAROINFO& label);

// Writes the folder texts below `node` for dirInfoMode 1 (entries) or 2 (size) and returns
// the node's total: the number of entries below it, or the bytes of its files.
std::int64_t fillDirectoryInfo(VAROINFO& node, std::int32_t dirInfoMode);

} // namespace pelmora
