#pragma once
// What a label file can carry and its reader takes back. Everything that builds a label
// (the scanner, the template step, the editing commands) stays within these limits, and a
// label past them is not written, so whatever the program writes it reads back whole.

#include "catalog/records.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace pelmora {

// Catalog trees nested deeper than this are treated as damage: a node at depth
// kMaxCatalogDepth - 1 (the label itself is depth 0) holds no folders with contents.
constexpr int kMaxCatalogDepth = 256;

// The memory a catalog read from a file may take: each entry costs sizeof(FileEntry) and
// each folder's node sizeof(VAROINFO) more, about 19 million files or 1.7 million folders.
// A file announcing more is damage, read up to that point.
constexpr std::uint64_t kMaxCatalogBytes = std::uint64_t{2} << 30;
constexpr std::uint64_t kCatalogEntryCost = sizeof(FileEntry);
constexpr std::uint64_t kCatalogNodeCost = sizeof(VAROINFO);
// The catalog cap in force (kMaxCatalogBytes unless a test replaced it).
std::uint64_t catalogByteCap();
// Test hook: replaces the catalog's memory cap and returns the one it replaces.
std::uint64_t replaceCatalogByteCap(std::uint64_t cap);

// Larger label files are refused unread. A disk of a million files saves to about 40 MB.
constexpr std::uint64_t kMaxLabelFileBytes = std::uint64_t{1} << 30;
// The file-size cap in force (kMaxLabelFileBytes unless a test replaced it).
std::uint64_t labelFileByteCap();
// Test hook: replaces the file-size cap and returns the one it replaces.
std::uint64_t replaceLabelFileByteCap(std::uint64_t cap);

// Placed objects a label holds; a file announcing more is damage.
constexpr std::size_t kMaxPlacedObjects = 4096;

// The largest size a catalog entry records: the file holds sizes as signed 64-bit numbers.
constexpr std::uint64_t kMaxEntrySize = std::numeric_limits<std::int64_t>::max();

// Bytes of a label file the scanner leaves to the version line, the label block (with up to
// 255 extension styles) and the object count, whatever the catalog takes.
constexpr std::uint64_t kLabelBlockReserve = std::uint64_t{1} << 20;
// The most bytes one catalog entry with a name of `nameBytes` can take in a label file, its
// size text at its longest; a folder's node adds kNodeFileBytesBound for its count line.
constexpr std::uint64_t entryFileBytesBound(std::size_t nameBytes) {
    // ".name\n" ".size text\n" size (20 digits) "\n" hasChild open align, each "d\n"
    return nameBytes + 2 + (kSizeTextCapacity - 1) + 2 + 21 + 2 + 2 + 2;
}
constexpr std::uint64_t kNodeFileBytesBound = 12;

// What is left of a label file's room for a catalog, from the caps in force: the reader's
// memory cap and the bytes the file may take beside its label block. Once something does not
// fit the room is spent, so a catalog built in order keeps a complete front part.
struct CatalogRoom {
    std::uint64_t memory = catalogByteCap();
    std::uint64_t file = labelFileByteCap() > kLabelBlockReserve
                             ? labelFileByteCap() - kLabelBlockReserve
                             : 0;

    bool take(std::uint64_t memoryCost, std::uint64_t fileCost);
    // One entry, and the node of a folder with contents.
    bool takeEntry(const FileEntry& entry);
    bool takeNode() { return take(kCatalogNodeCost, kNodeFileBytesBound); }
};

} // namespace pelmora
