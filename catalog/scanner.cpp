#include "catalog/scanner.h"

#include "catalog/catalog_limits.h"
#include "catalog/ordering.h"
#include "platform/core/ascii.h"
#include "platform/core/dirlist.h"
#include "platform/core/drives.h"
#include "platform/core/message.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

namespace pelmora {
namespace {

constexpr std::size_t kEntryBlock = 256;

bool isFolder(const FindData& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// One folder's listing: the disk, or the archive reader while inside a ZIP or ARJ file.
class Listing {
public:
    Listing(ArchiveMode mode, ArchiveReader& archives) : mode_(mode), archives_(archives) {}
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    ~Listing() { close(); }

    bool first(const std::string& folder, std::int32_t depth, FindData& found) {
        switch (mode_) {
        case ArchiveMode::Zip:
            open_ = archives_.zipFindFirst(folder, found) != kInvalidFindHandle;
            break;
        case ArchiveMode::Arj:
            open_ = archives_.arjFindFirst(folder, found) != kInvalidFindHandle;
            break;
        case ArchiveMode::Disk:
            // A drive's root has no "." and "..": an empty disk lists nothing at all.
            open_ =
                disk_.findFirst(folder, found, depth == 0 ? DotEntries::Omit : DotEntries::Report);
            break;
        }
        return open_;
    }

    bool next(FindData& found) {
        switch (mode_) {
        case ArchiveMode::Zip:
            return archives_.zipFindNext(found) != 0;
        case ArchiveMode::Arj:
            return archives_.arjFindNext(found) != 0;
        case ArchiveMode::Disk:
            break;
        }
        return disk_.findNext(found);
    }

    // Why the last first() found nothing: the system's error for a folder that could not be
    // opened, 0 for an empty one or an archive.
    int openError() const { return mode_ == ArchiveMode::Disk ? disk_.openError() : 0; }

    void close() {
        if (!open_) {
            return;
        }
        open_ = false;
        if (mode_ == ArchiveMode::Disk) {
            disk_.close();
        } else {
            archives_.archiveClose();
        }
    }

private:
    ArchiveMode mode_;
    ArchiveReader& archives_;
    DirectoryListing disk_;
    bool open_ = false;
};

// Unwinds a scan whose allocation failed; the message ends the program on the window's thread.
struct ScanAllocationFailure {
    const char* message;
};

// Unwinds a scan the user cancelled.
struct ScanCancelled {};

void trimNode(VAROINFO& node, int depth, CatalogRoom& room, bool& cut) {
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        FileEntry& entry = node.entries[i];
        if (!room.takeEntry(entry)) {
            node.entries.erase(node.entries.begin() + static_cast<std::ptrdiff_t>(i),
                               node.entries.end());
            cut = true;
            return;
        }
        if (entry.hasChild == 0) {
            continue;
        }
        if (depth + 1 >= kMaxCatalogDepth || !room.takeNode()) {
            entry.child.reset();
            entry.hasChild = 0;
            entry.open = 0;
            cut = true;
        } else if (entry.child) {
            trimNode(*entry.child, depth + 1, room, cut);
        }
    }
}

template <typename Action> void orFatal(const char* message, Action action) {
    try {
        action();
    } catch (const std::bad_alloc&) {
        throw ScanAllocationFailure{message};
    }
}

} // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern.size() > name.size()) {
        return false;
    }
    for (std::size_t start = 0; start + pattern.size() <= name.size(); ++start) {
        std::size_t i = 0;
        while (i < pattern.size() && asciiLower(name[start + i]) == asciiLower(pattern[i])) {
            ++i;
        }
        if (i == pattern.size()) {
            return true;
        }
    }
    return false;
}

void formatSizeText(std::uint64_t size, char (&sizeText)[kSizeTextCapacity]) {
    if (size < 1024) {
        std::snprintf(sizeText, sizeof sizeText, "%llu", static_cast<unsigned long long>(size));
    } else if (size < 0x100000) {
        std::snprintf(sizeText, sizeof sizeText, "%lluK",
                      static_cast<unsigned long long>(size / 1024));
    } else {
        double megabytes = static_cast<double>(size) / 1048576.0;
        // Beyond 10^13 megabytes the decimal would not fit the field: drop it.
        if (std::snprintf(sizeText, sizeof sizeText, "%0.1fM", megabytes) >=
            static_cast<int>(sizeof sizeText)) {
            std::snprintf(sizeText, sizeof sizeText, "%0.0fM", megabytes);
        }
    }
}

bool keepCatalogWithinLabelLimits(VAROINFO& tree) {
    CatalogRoom room;
    bool cut = false;
    trimNode(tree, 0, room, cut);
    return cut;
}

bool DiskScanner::takeEntry(const FileEntry& entry) {
    incomplete_ = incomplete_ || !room_.takeEntry(entry);
    return !incomplete_;
}

bool DiskScanner::takeNode() {
    incomplete_ = incomplete_ || !room_.takeNode();
    return !incomplete_;
}

bool DiskScanner::passesPatternList(const char* name) const {
    bool matches = false;
    for (const auto& pattern : settings_.excludePatterns) {
        if (matchesPattern(name, pattern.data())) {
            matches = true;
            break;
        }
    }
    return settings_.excludeMode == 1 ? !matches : matches;
}

std::unique_ptr<VAROINFO> DiskScanner::listNested(const std::string& folder, std::int32_t depth,
                                                  std::int32_t levels) {
    std::unique_ptr<VAROINFO> node;
    orFatal("Can't allocate VAROINFO, exiting Tessarin",
            [&] { node = std::make_unique<VAROINFO>(); });
    if (!listInto(*node, folder, depth, levels)) {
        return nullptr;
    }
    return node;
}

bool DiskScanner::listInto(VAROINFO& node, const std::string& folder, std::int32_t depth,
                           std::int32_t levels) {
    freeTree(node);
    orFatal("Can't allocate 256 file entries, exiting Tessarin",
            [&] { node.entries.reserve(kEntryBlock); });

    const bool foldersOnly = levels < 0;
    const std::int32_t levelLimit = levels < 0 ? -levels : levels;

    checkCancel();
    Listing listing(archiveMode_, archives_);
    FindData found;
    if (folder.size() >= kMaxScanPath || !listing.first(folder, depth, found)) {
        lastOpenError_ = folder.size() >= kMaxScanPath ? 0 : listing.openError();
        if (depth > 0 && lastOpenError_ != 0) {
            ++unreadableFolders_;
        }
        node.entries.clear();
        node.entries.shrink_to_fit();
        return false;
    }
    if (progress_) {
        progress_->folders.fetch_add(1, std::memory_order_relaxed);
    }

    bool more = true;
    if (found.cFileName == ".") {
        listing.next(found); // ".."
        more = listing.next(found);
        if (!more) {
            listing.close();
            node.entries.clear();
            if (!foldersOnly) {
                FileEntry empty;
                std::strcpy(empty.name, "(Empty)");
                if (takeEntry(empty)) {
                    node.entries.push_back(std::move(empty));
                }
            }
            node.entries.shrink_to_fit();
            return true;
        }
    }

    for (; more; more = listing.next(found)) {
        checkCancel();
        if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) {
            continue;
        }
        const bool folderEntry = isFolder(found);
        if (!folderEntry && !passesPatternList(found.cFileName.c_str())) {
            continue;
        }
        if (foldersOnly && !folderEntry) {
            continue;
        }

        FileEntry entry;
        copyTruncatedUtf8(entry.name, sizeof entry.name, found.cFileName.data(),
                          found.cFileName.size());
        // A label file holds sizes as signed 64-bit numbers.
        entry.size = std::min(found.fileSize, kMaxEntrySize);
        if (!takeEntry(entry)) {
            break; // the label is full: the rest of the disk is left out
        }
        const std::string childPath = folder + "/" + found.cFileName;

        if (folderEntry) {
            std::strcpy(entry.sizeText, "[dir]");
            entry.size = 0;
            // Links to folders are listed but never entered: no loops, no double counting.
            const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            // A label file holds folders nested up to kMaxCatalogDepth deep.
            if (depth < levelLimit && !link && depth + 1 >= kMaxCatalogDepth) {
                incomplete_ = true;
            } else if (depth < levelLimit && !link && takeNode()) {
                entry.child = listNested(childPath, depth + 1, levels);
                entry.hasChild = entry.child ? 1 : 0;
                entry.open = entry.hasChild;
            }
        } else {
            formatSizeText(entry.size, entry.sizeText);
        }

        // Archives are listed like folders of their members. Only files are tried: a folder
        // whose name contains ".zip" keeps the contents it was read with.
        if (settings_.scanArchives == 1 && archiveMode_ == ArchiveMode::Disk && !folderEntry) {
            ArchiveMode mode = ArchiveMode::Disk;
            if (matchesPattern(entry.name, ".zip")) {
                mode = ArchiveMode::Zip;
            } else if (matchesPattern(entry.name, ".arj")) {
                mode = ArchiveMode::Arj;
            }
            if (mode != ArchiveMode::Disk && depth + 1 >= kMaxCatalogDepth) {
                incomplete_ = true;
            } else if (mode != ArchiveMode::Disk && takeNode()) {
                archiveMode_ = mode;
                entry.child = listNested(childPath, depth + 1, levels);
                archiveMode_ = ArchiveMode::Disk;
                entry.hasChild = entry.child ? 1 : 0;
                entry.open = entry.hasChild;
            }
        }

        orFatal("Can't allocate add'l 256 file entries, exiting Tessarin",
                [&] { node.entries.push_back(std::move(entry)); });
        if (progress_ && !folderEntry) {
            progress_->files.fetch_add(1, std::memory_order_relaxed);
        }
    }
    listing.close();
    node.entries.shrink_to_fit();
    return true;
}

void DiskScanner::checkCancel() const {
    if (progress_ && progress_->cancel.load(std::memory_order_relaxed)) {
        throw ScanCancelled{};
    }
}

ScanResult DiskScanner::scanTree(char drive, std::int32_t levels, VAROINFO& tree,
                                 ScanProgress* progress) {
    ScanResult result;
    archiveMode_ = ArchiveMode::Disk;
    progress_ = progress;
    unreadableFolders_ = 0;
    lastOpenError_ = 0;
    room_ = CatalogRoom{};
    incomplete_ = false;
    freeTree(tree);
    try {
        std::optional<std::string> root = driveFolder(drive);
        if (!root) {
            result.status = ScanStatus::Unreadable;
            result.reason = "no folder is mapped to this drive letter";
            return result;
        }
        if (!listInto(tree, *root, 0, levels) && lastOpenError_ != 0) {
            result.status = ScanStatus::Unreadable;
            result.reason = std::strerror(lastOpenError_);
            return result;
        }
        if (settings_.scanArchives == 1) {
            splitArchivePaths(tree);
            // Splitting member paths makes folders of its own, and may nest them deeper.
            if (keepCatalogWithinLabelLimits(tree)) {
                incomplete_ = true;
            }
        }
        normaliseNameCase(tree);
        if (settings_.dirInfoMode != 0) {
            fillDirectoryInfo(tree, settings_.dirInfoMode);
        }
    } catch (const ScanCancelled&) {
        freeTree(tree);
        result.status = ScanStatus::Cancelled;
    } catch (const ScanAllocationFailure& failure) {
        freeTree(tree);
        result.status = ScanStatus::OutOfMemory;
        result.reason = failure.message;
    }
    result.unreadableFolders = unreadableFolders_;
    result.incomplete = incomplete_ && result.status == ScanStatus::Read;
    result.archiveMembersLeftOut = archives_.takeMembersLeftOut();
    progress_ = nullptr;
    return result;
}

ScanResult DiskScanner::scanDirectory(char drive, std::int32_t levels, VAROINFO& label,
                                      ScanProgress* progress) {
    VAROINFO tree;
    ScanResult result = scanTree(drive, levels, tree, progress);
    if (result.status == ScanStatus::Read) {
        installCatalog(label, std::move(tree), drive);
    } else if (result.status == ScanStatus::OutOfMemory) {
        fatalAllocationFailure(result.reason.c_str());
    }
    return result;
}

void installCatalog(VAROINFO& label, VAROINFO&& tree, char drive) {
    freeTree(label); // also marks the display lines stale
    label.entries = std::move(tree.entries);
    tree.entries.clear();
    readVolumeInfo(label, drive);
}

void normaliseNameCase(VAROINFO& node) {
    for (FileEntry& entry : node.entries) {
        char* name = entry.name;
        bool hasLower = false;
        for (const char* p = name; *p != '\0'; ++p) {
            if (*p >= 'a' && *p <= 'z') {
                hasLower = true;
                break;
            }
        }
        if (!hasLower && name[0] != '\0') {
            char* p = name + 1;
            for (; *p != '\0' && *p != '.'; ++p) {
                *p = asciiLower(*p);
            }
            if (*p == '.' && p[1] != '\0') {
                p += 2; // the dot and the extension's first character stay
            }
            for (; *p != '\0'; ++p) {
                *p = asciiLower(*p);
            }
        }
        if (entry.hasChild && entry.child) {
            normaliseNameCase(*entry.child);
        }
    }
}

void readVolumeInfo(VAROINFO& label, char drive) {
    if (std::optional<DiskSpace> space = GetDiskFreeSpace(drive)) {
        label.spaceTotal = space->totalBytes;
        label.spaceFree = space->freeBytes;
        label.spaceUsed = space->totalBytes - space->freeBytes;
    } else {
        label.spaceTotal = 0;
        label.spaceFree = 0;
        label.spaceUsed = 0;
    }
    stampToday(label);
    countEntries(label);
    if (std::optional<std::string> volume = GetVolumeInformation(drive)) {
        copyTruncatedUtf8(label.volumeName, volume->c_str());
    }
}

} // namespace pelmora
