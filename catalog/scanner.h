#pragma once
// Reads the directory tree of a drive into a label: one entry per file or folder, a child
// node per folder it descends into and per archive it opens, then the volume name, space
// figures, counts and date.

#include "catalog/archive_reader.h"
#include "catalog/catalog_limits.h"
#include "catalog/records.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pelmora {

// Longest real path the scanner lists. A deeper folder is shown like one that cannot be
// read ("[dir]", no contents) instead of being cut into a different path.
constexpr std::size_t kMaxScanPath = 4096;

// The running counts of a scan and the flag that stops it. A scan may run on a worker thread
// while the window's thread shows the counts and sets `cancel`, so every field is atomic.
struct ScanProgress {
    std::atomic<std::int64_t> folders{0}; // folders and archives listed so far
    std::atomic<std::int64_t> files{0};   // files and archive members listed so far
    std::atomic<bool> cancel{false};
};

enum class ScanStatus {
    Read,        // the tree was read (it may be empty: an empty disk)
    Unreadable,  // the drive's root could not be opened; `reason` says why
    Cancelled,   // `cancel` was set before the scan finished
    OutOfMemory, // an allocation failed; `reason` is the message to end the program with
};

struct ScanResult {
    ScanStatus status = ScanStatus::Read;
    std::string reason;
    // Folders below the root that could not be opened; each is listed without contents.
    std::int32_t unreadableFolders = 0;
    // The disk held more than a label file can carry back (catalog memory, file size or
    // nesting, catalog_limits.h): listing stopped there and the catalog lacks the rest.
    bool incomplete = false;
    // Archive members past the cap of one archive, left out of the catalog.
    std::uint64_t archiveMembersLeftOut = 0;
};

// What the status bar and the command line say about an incomplete catalog.
constexpr const char* kIncompleteCatalogText =
    "The catalog is incomplete: the disk holds more than a label file can hold";

class DiskScanner {
public:
    explicit DiskScanner(const CatalogSettings& settings) : settings_(settings) {}

    // Replaces the catalog of `label` with the tree of `drive` and reads its volume
    // information. `levels` is scanLevels: |levels| folder levels are read (15 = all);
    // a negative value keeps folders only. Unless the result is Read, `label` is untouched.
    ScanResult scanDirectory(char drive, std::int32_t levels, VAROINFO& label,
                             ScanProgress* progress = nullptr);

    // The reading part of scanDirectory: fills `tree` (a fresh node) and touches nothing else,
    // so it may run on another thread. installCatalog then moves the tree into a label.
    ScanResult scanTree(char drive, std::int32_t levels, VAROINFO& tree,
                        ScanProgress* progress = nullptr);

private:
    // Lists one folder (or, in archive mode, one archive) into `node`. False when the
    // listing could not be opened; `node` then has no entries.
    bool listInto(VAROINFO& node, const std::string& folder, std::int32_t depth,
                  std::int32_t levels);
    std::unique_ptr<VAROINFO> listNested(const std::string& folder, std::int32_t depth,
                                         std::int32_t levels);
    bool passesPatternList(const char* name) const;
    // Takes the cost of one more entry (and of its node) from what a label file can carry;
    // false, marking the catalog incomplete, when it does not fit.
    bool takeEntry(const FileEntry& entry);
    bool takeNode();

    void checkCancel() const;

    const CatalogSettings& settings_;
    ArchiveMode archiveMode_ = ArchiveMode::Disk;
    ArchiveReader archives_;
    ScanProgress* progress_ = nullptr;
    std::int32_t unreadableFolders_ = 0;
    int lastOpenError_ = 0; // errno of the last folder listInto could not open
    CatalogRoom room_;      // what a label file can still carry of the catalog
    bool incomplete_ = false;
};

// Cuts a catalog to what a label file carries back whole (catalog_limits.h): the entries past
// the reader's memory cap or the file's size cap are dropped, and folders that would be nested
// too deep, or whose node no longer fits, lose their contents. True when anything was cut.
bool keepCatalogWithinLabelLimits(VAROINFO& tree);

// Gives `label` the catalog of a finished scanTree: the old tree is released (its display lines
// are marked stale first), and the volume name, space figures, dates and counts of `drive` are
// read.
void installCatalog(VAROINFO& label, VAROINFO&& tree, char drive);

// Case-insensitive (A-Z) substring test; an empty pattern matches every name.
bool matchesPattern(std::string_view name, std::string_view pattern);

// Rewrites all-upper-case names of a tree: README.TXT -> Readme.Txt.
void normaliseNameCase(VAROINFO& node);

// Free/used/total space, today's dates, the counts and the volume name of `drive`.
void readVolumeInfo(VAROINFO& label, char drive);

// The text a file of `size` bytes shows: "1023", "1K", "1023K", "1.5M".
void formatSizeText(std::uint64_t size, char (&sizeText)[kSizeTextCapacity]);

} // namespace pelmora
