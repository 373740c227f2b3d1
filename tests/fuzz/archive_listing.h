#pragma once
// The body of the ZIP and ARJ targets: the archive is listed by the reader from a scratch
// file, its members become a folder of a disk's catalog as the scanner makes them, and the
// member paths are split into folder levels as after a scan.

#include "catalog/archive_reader.h"
#include "catalog/records.h"
#include "catalog/scanner.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <span>

namespace pelmora::fuzz {

inline void listArchive(std::span<const std::uint8_t> bytes, ArchiveMode mode) {
    static ScratchFile archive(mode == ArchiveMode::Zip ? ".zip" : ".arj");
    archive.replace(bytes);

    auto node = std::make_unique<VAROINFO>();
    ArchiveReader reader;
    FindData found;
    const bool zip = mode == ArchiveMode::Zip;
    bool more = (zip ? reader.zipFindFirst(archive.path(), found)
                     : reader.arjFindFirst(archive.path(), found)) != kInvalidFindHandle;
    for (; more; more = (zip ? reader.zipFindNext(found) : reader.arjFindNext(found)) != 0) {
        if (node->entries.size() > kArchiveMemberCap) {
            invariantBroken("an archive lists more members than the cap");
        }
        FileEntry& entry = node->entries.emplace_back();
        copyTruncatedUtf8(entry.name, sizeof entry.name, found.cFileName.data(),
                          found.cFileName.size());
        entry.size = found.fileSize;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            std::strcpy(entry.sizeText, "[dir]");
        } else {
            formatSizeText(entry.size, entry.sizeText);
        }
    }
    if (reader.isOpen()) {
        reader.archiveClose();
    }

    VAROINFO disk;
    FileEntry& holder = disk.entries.emplace_back();
    std::strcpy(holder.name, zip ? "FUZZ.ZIP" : "FUZZ.ARJ");
    holder.hasChild = 1;
    holder.open = 1;
    holder.child = std::move(node);
    splitArchivePaths(disk);
    normaliseNameCase(disk);
}

} // namespace pelmora::fuzz
