#include "catalog/archive_reader.h"
#include "catalog/records.h"
#include "platform/core/ascii.h"
#include "platform/core/wintypes.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelmora {
namespace {

// Where the members of one folder name go: an entry the node had before the split (by index)
// or a folder the split made (by index among the made ones).
struct FolderSlot {
    bool made = false;
    std::size_t index = 0;
};

// Folder names match when they differ only in the case of A-Z; other bytes (UTF-8 included)
// must be equal. The key folds A-Z, so equal keys mean matching names.
void setFolderKey(std::string& key, std::string_view name) {
    key.assign(name);
    for (char& c : key) {
        c = asciiLower(c);
    }
}

FileEntry newFolder(std::string_view name) {
    FileEntry folder;
    copyTruncatedUtf8(folder.name, sizeof folder.name, name.data(), name.size());
    copyTruncatedUtf8(folder.sizeText, "[dir]");
    folder.size = 0;
    folder.hasChild = 1;
    folder.open = 1;
    folder.align = 0;
    folder.child = std::make_unique<VAROINFO>();
    return folder;
}

// Where a member's path is split: the first '\' (archives written on DOS and Windows), else
// the first '/'; null when the name has neither.
const char* pathSeparator(const char* name) {
    const char* separator = std::strchr(name, '\\');
    return separator != nullptr ? separator : std::strchr(name, '/');
}

} // namespace

// Each member with a path goes to the end of its folder's list, the folder found by name in a
// table. The result equals walking the entries in order, taking each member out where it
// stands and appending new folders at the end: entries that stay keep their order, made
// folders follow in order of first appearance, and a folder the node already had is split
// when the walk reaches it (members that reach it later stay as they come). A first pass
// finds every member's folder, so each folder's list is sized once before the members move.
void splitArchivePaths(VAROINFO& node) {
    std::vector<FileEntry>& entries = node.entries;
    const std::size_t originalCount = entries.size();
    constexpr std::size_t kStays = SIZE_MAX;
    constexpr std::size_t kDropped = SIZE_MAX - 1;

    // Every folder that may receive members, by number, with the number of members it gets.
    // The first entry with children of each name collects the members of that name.
    std::vector<FolderSlot> slots;
    std::vector<std::size_t> incoming;
    std::unordered_map<std::string, std::size_t> slotOfName;
    std::string key;
    for (std::size_t i = 0; i < originalCount; ++i) {
        if (entries[i].hasChild == 1) {
            setFolderKey(key, entries[i].name);
            if (slotOfName.try_emplace(key, slots.size()).second) {
                slots.push_back({false, i});
                incoming.push_back(0);
            }
        }
    }
    std::vector<FileEntry> made;
    auto owner = [&](std::size_t slot) -> FileEntry& {
        return slots[slot].made ? made[slots[slot].index] : entries[slots[slot].index];
    };

    std::vector<std::size_t> target(originalCount, kStays);
    for (std::size_t i = 0; i < originalCount; ++i) {
        FileEntry& entry = entries[i];
        const char* separator = entry.hasChild == 1 ? nullptr : pathSeparator(entry.name);
        if (separator == nullptr) {
            continue;
        }
        const std::string_view folderName(entry.name,
                                          static_cast<std::size_t>(separator - entry.name));
        setFolderKey(key, folderName);
        const auto [found, added] = slotOfName.try_emplace(key, slots.size());
        if (added) {
            slots.push_back({true, made.size()});
            incoming.push_back(0);
            made.push_back(newFolder(folderName));
        }
        const std::size_t slot = found->second;
        FileEntry& folder = owner(slot);
        if (!folder.child) {
            folder.child = std::make_unique<VAROINFO>();
        }
        // A folder record ("A/") makes its folder and nothing else.
        const char* rest = separator + 1;
        if (*rest == '\0') {
            target[i] = kDropped;
            continue;
        }
        // The member keeps what the scanner gave it; only the name loses its folder part.
        std::memmove(entry.name, rest, std::strlen(rest) + 1);
        target[i] = slot;
        ++incoming[slot];
    }
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (incoming[slot] != 0) {
            std::vector<FileEntry>& list = owner(slot).child->entries;
            list.reserve(list.size() + incoming[slot]);
        }
    }

    for (std::size_t i = 0; i < originalCount; ++i) {
        FileEntry& entry = entries[i];
        if (entry.hasChild == 1 && entry.child) {
            splitArchivePaths(*entry.child);
        } else if (target[i] != kStays && target[i] != kDropped) {
            owner(target[i]).child->entries.push_back(std::move(entry));
        }
    }
    // Only now do the entries that stay close up: until here the slots find the folders the
    // node had by their first index.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < originalCount; ++i) {
        if (target[i] == kStays) {
            if (kept != i) {
                entries[kept] = std::move(entries[i]);
            }
            ++kept;
        }
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
    for (FileEntry& folder : made) {
        entries.push_back(std::move(folder));
    }
    for (std::size_t i = kept; i < entries.size(); ++i) {
        splitArchivePaths(*entries[i].child);
    }
    entries.shrink_to_fit();
}

} // namespace pelmora
