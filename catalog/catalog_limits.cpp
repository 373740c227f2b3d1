#include "catalog/catalog_limits.h"

#include <cstring>
#include <utility>

namespace pelmora {
namespace {

std::uint64_t catalogCap = kMaxCatalogBytes;
std::uint64_t fileCap = kMaxLabelFileBytes;

} // namespace

std::uint64_t catalogByteCap() {
    return catalogCap;
}

std::uint64_t replaceCatalogByteCap(std::uint64_t cap) {
    return std::exchange(catalogCap, cap);
}

std::uint64_t labelFileByteCap() {
    return fileCap;
}

std::uint64_t replaceLabelFileByteCap(std::uint64_t cap) {
    return std::exchange(fileCap, cap);
}

bool CatalogRoom::take(std::uint64_t memoryCost, std::uint64_t fileCost) {
    if (memoryCost > memory || fileCost > file) {
        memory = 0;
        file = 0;
        return false;
    }
    memory -= memoryCost;
    file -= fileCost;
    return true;
}

bool CatalogRoom::takeEntry(const FileEntry& entry) {
    return take(kCatalogEntryCost, entryFileBytesBound(strnlen(entry.name, kNameCapacity)));
}

} // namespace pelmora
