#pragma once
// Reads the directory tree of a drive into a label: one entry per file or folder, a child
// node per folder it descends into and per archive it opens, then the volume name, space
// figures, counts and date.

#include "catalog/archive_reader.h"
#include "catalog/records.h"

#include <memory>
#include <string>
#include <string_view>

namespace pelmora {

// Longest real path the scanner lists. A deeper folder is shown like one that cannot be
// read ("[dir]", no contents) instead of being cut into a different path.
constexpr std::size_t kMaxScanPath = 4096;

class DiskScanner {
public:
    explicit DiskScanner(const CatalogSettings& settings) : settings_(settings) {}

    // Replaces the catalog of `label` with the tree of `drive` and reads its volume
    // information. `levels` is scanLevels: |levels| folder levels are read (15 = all);
    // a negative value keeps folders only.
    void scanDirectory(char drive, std::int32_t levels, VAROINFO& label);

private:
    // Lists one folder (or, in archive mode, one archive) into `node`. False when the
    // listing could not be opened; `node` then has no entries.
    bool listInto(VAROINFO& node, const std::string& folder, std::int32_t depth,
                  std::int32_t levels);
    std::unique_ptr<VAROINFO> listNested(const std::string& folder, std::int32_t depth,
                                         std::int32_t levels);
    bool passesPatternList(const char* name) const;

    const CatalogSettings& settings_;
    ArchiveMode archiveMode_ = ArchiveMode::Disk;
    ArchiveReader archives_;
};

// Case-insensitive (A-Z) substring test; an empty pattern matches every name.
bool matchesPattern(std::string_view name, std::string_view pattern);

// Rewrites all-upper-case names of a tree: README.TXT -> Readme.Txt.
void normaliseNameCase(VAROINFO& node);

// Free/used/total space, today's dates, the counts and the volume name of `drive`.
void readVolumeInfo(VAROINFO& label, char drive);

// The text a file of `size` bytes shows: "1023", "1K", "1023K", "1.5M".
void formatSizeText(std::uint64_t size, char (&sizeText)[kSizeTextCapacity]);

} // namespace pelmora
