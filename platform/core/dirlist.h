#pragma once
// Directory listing with find-first / find-next semantics over opendir/readdir + lstat.

#include <cstdint>
#include <dirent.h>
#include <string>
#include <unordered_set>

namespace pelmora {

constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
// Set on symbolic links: a link to a folder carries the directory bit too, and the scanner
// must list it without descending into it.
constexpr std::uint32_t FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

constexpr std::size_t kFindNameCapacity = 260; // 259 characters and a NUL

// One found entry. The name is the file's own name (no folder part), at most 259 bytes.
struct FindData {
    std::uint32_t dwFileAttributes = 0;
    std::uint64_t fileSize = 0; // 64-bit: files pass 4 GB today
    std::string cFileName;
};

enum class DotEntries {
    Report, // "." and ".." come first, as in any folder below a drive's root
    Omit,   // a drive's root has none, so an empty root lists nothing at all
};

// Lists one folder. Hidden = the name starts with '.', or it is listed in the folder's
// ".hidden" file, or it carries the FAT hidden attribute on a vfat file system.
class DirectoryListing {
public:
    DirectoryListing() = default;
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;
    ~DirectoryListing();

    // Opens `folder` and reports its first entry. False when the folder cannot be read or
    // holds nothing to report; the listing is then closed and openError() tells which.
    bool findFirst(const std::string& folder, FindData& found,
                   DotEntries dots = DotEntries::Report);
    // Reports the next entry; false at the end.
    bool findNext(FindData& found);
    void close();
    // The errno of the last findFirst that could not open its folder; 0 when it opened.
    int openError() const { return openError_; }

private:
    bool readEntry(FindData& found);
    void loadHiddenList();

    DIR* dir_ = nullptr;
    std::string folder_;
    int openError_ = 0;
    int pendingDots_ = 0; // how many of ".", ".." are still to be reported
    bool onVfat_ = false;
    std::unordered_set<std::string> hiddenNames_;
};

} // namespace pelmora
