#pragma once
// Builders for catalog trees used by the catalog tests.

#include "catalog/records.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace pelmora::test {

inline FileEntry fileEntry(const char* name, std::uint64_t size = 0, const char* sizeText = "") {
    FileEntry e;
    std::strncpy(e.name, name, sizeof e.name - 1);
    std::strncpy(e.sizeText, sizeText, sizeof e.sizeText - 1);
    e.size = size;
    return e;
}

inline FileEntry folderEntry(const char* name, std::initializer_list<FileEntry> children) {
    FileEntry e = fileEntry(name, 0, "[dir]");
    e.hasChild = 1;
    e.open = 1;
    e.child = std::make_unique<VAROINFO>();
    for (const FileEntry& c : children) {
        e.child->entries.push_back(c);
    }
    return e;
}

// Names of a node's entries joined by ',' (children in brackets), for compact assertions.
inline std::string shape(const VAROINFO& node) {
    std::string out;
    for (const FileEntry& e : node.entries) {
        if (&e != &node.entries.front()) {
            out += ',';
        }
        out += e.name;
        if (e.child) {
            out += '[' + shape(*e.child) + ']';
        }
    }
    return out;
}

} // namespace pelmora::test
