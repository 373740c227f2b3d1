#pragma once
// Lists the members of a ZIP or ARJ archive as if the archive were a folder: names and
// uncompressed sizes only, nothing is decompressed. Every length read from the file is
// bounded, so a damaged archive lists what it can, or nothing.

#include "platform/core/dirlist.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace pelmora {

enum class ArchiveMode : std::int32_t { Disk = 0, Zip = 1, Arj = 2 };

// Returned by a successful find-first; only has to differ from kInvalidFindHandle.
constexpr int kArchiveFindHandle = 0xBABE;
constexpr int kInvalidFindHandle = -1;

// Most members listed from one archive: far above any real archive, yet it keeps a crafted
// one from filling memory. Past it the listing ends as at a damaged record.
constexpr std::uint64_t kArchiveMemberCap = 1'000'000;

// Test hook: replaces the member cap and returns the one it replaces.
std::uint64_t replaceArchiveMemberCap(std::uint64_t cap);

class ArchiveReader {
public:
    // Opens the archive at `archivePath` and reports its first member in `found`.
    // Returns kArchiveFindHandle, or kInvalidFindHandle when the file is not a readable
    // archive of that kind or has no members (the file is then closed again).
    int zipFindFirst(const std::string& archivePath, FindData& found);
    // Reports the next member: 1, or 0 at the end (or at the first unreadable record).
    int zipFindNext(FindData& found);
    int arjFindFirst(const std::string& archivePath, FindData& found);
    int arjFindNext(FindData& found);
    void archiveClose();

    bool isOpen() const { return archiveFile_ != nullptr; }

    // Members past the cap, counted (not listed) since the last call; the count starts again.
    std::uint64_t takeMembersLeftOut() { return std::exchange(membersLeftOut_, 0); }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    // Opens the archive and measures it; false when it cannot be opened.
    bool openArchive(const std::string& archivePath, ArchiveMode mode);
    // Closes the archive; when none is open, reports the close as out of sequence.
    void closeArchive();
    // The only ways the readers touch the file. Each checks the bytes left before it moves,
    // and the first failure sticks until the next find-first, so a damaged archive ends its
    // listing instead of reading past the end or wandering about.
    bool readBytes(std::uint8_t* dest, std::size_t count);
    bool skipBytes(std::uint64_t count);
    bool seekTo(std::uint64_t offset);
    // Counts one more member; false (and the listing ends) once the cap is reached, after
    // the members that remain have been counted into membersLeftOut_.
    bool admitMember();
    // Reads a ZIP64 end record behind the locator that sits just before the classic one at
    // `endRecordOffset`; keeps the classic figures when there is none.
    void readZip64End(std::uint64_t endRecordOffset, std::uint64_t& entries,
                      std::uint64_t& directoryOffset);

    static constexpr std::size_t kZipStreamBufferBytes = 64 * 1024;
    // Declared before the stream, so that it outlives the stream that reads into it.
    std::unique_ptr<char[]> streamBuffer_;
    std::unique_ptr<std::FILE, FileCloser> archiveFile_;
    std::int64_t fileLength_ = 0;
    std::int64_t position_ = 0; // where the next read starts
    bool readFailed_ = false;
    std::uint64_t zipEntriesLeft_ = 0;
    std::uint64_t membersListed_ = 0;
    bool arjAnsiPage_ = false;                 // the main header says names are in the Windows page
    std::string nameBytes_;                    // reused for every stored name
    std::string extraBytes_;                   // reused for ZIP extra fields
    ArchiveMode openMode_ = ArchiveMode::Disk; // the kind of archive last asked for

    // Members past the cap, and whether reading goes on past it only to count them.
    std::uint64_t membersLeftOut_ = 0;
    bool countingLeftOut_ = false;
};

struct VAROINFO;

// Turns member paths ("A/B/C.TXT", "A\\Z.TXT") into folder levels, for the label's own
// entries and every node below.
void splitArchivePaths(VAROINFO& node);

} // namespace pelmora
