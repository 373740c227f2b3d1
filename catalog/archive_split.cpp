#include "catalog/archive_reader.h"
#include "catalog/records.h"
#include "platform/core/ascii.h"
#include "platform/core/wintypes.h"

#include <cstring>
#include <string>

namespace pelmora {
namespace {

// Folder names match when they differ only in the case of A-Z; other bytes (UTF-8 included)
// must be equal.
bool sameFolderName(const char* name, const std::string& folder) {
    std::size_t i = 0;
    for (; i < folder.size(); ++i) {
        if (name[i] == '\0' || asciiLower(name[i]) != asciiLower(folder[i])) {
            return false;
        }
    }
    return name[i] == '\0';
}

// The folder entry of `node` that collects members below `folder`: the first folder with that
// name, else a new one appended at the end (so the walk over `node` reaches it later and
// splits what lies below it).
FileEntry& folderEntry(VAROINFO& node, const std::string& folder) {
    for (FileEntry& entry : node.entries) {
        if (entry.hasChild == 1 && sameFolderName(entry.name, folder)) {
            if (!entry.child) {
                entry.child = std::make_unique<VAROINFO>();
            }
            return entry;
        }
    }
    FileEntry& created = node.entries.emplace_back();
    copyTruncatedUtf8(created.name, sizeof created.name, folder.data(), folder.size());
    copyTruncatedUtf8(created.sizeText, "[dir]");
    created.size = 0;
    created.hasChild = 1;
    created.open = 1;
    created.align = 0;
    created.child = std::make_unique<VAROINFO>();
    return created;
}

} // namespace

void splitArchivePaths(VAROINFO& node) {
    std::size_t i = 0;
    while (i < node.entries.size()) {
        FileEntry& entry = node.entries[i];
        if (entry.hasChild == 1) {
            if (entry.child) {
                splitArchivePaths(*entry.child);
            }
            ++i;
            continue;
        }
        // Archives written on DOS and Windows use '\', everything else '/'; a name holding
        // both is split at the first '\'.
        const char* separator = std::strchr(entry.name, '\\');
        if (separator == nullptr) {
            separator = std::strchr(entry.name, '/');
        }
        if (separator == nullptr) {
            ++i;
            continue;
        }
        const std::string folder(entry.name, static_cast<std::size_t>(separator - entry.name));
        const std::string rest(separator + 1);

        // The member moves into the folder under the rest of its path; looking up (or adding)
        // the folder may grow `node.entries`, so the member is taken out by index afterwards.
        FileEntry& folderOwner = folderEntry(node, folder);
        FileEntry member = std::move(node.entries[i]);
        copyTruncatedUtf8(member.name, sizeof member.name, rest.data(), rest.size());
        folderOwner.child->entries.push_back(std::move(member));
        node.entries.erase(node.entries.begin() + static_cast<std::ptrdiff_t>(i));
        // Index i now holds the entry that followed the member.
    }
    node.entries.shrink_to_fit();
}

} // namespace pelmora
