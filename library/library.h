#pragma once
// The label library: one SQLite file indexing the catalog of every label file added to it,
// so that a name can be found on any cataloged disk without opening the labels one by one.
//
// Per label file it keeps the path, size, modification time and content hash (to skip
// unchanged files), the volume name, scan date, space figures and counts; per catalog entry
// the label, its folder within the disk (archive members under their archive, as
// "DOCS/BACKUP.ZIP/inner"), name, extension, size and kind. Names are indexed by an FTS5
// trigram index, so a substring of three or more characters is found without reading every
// row.
//
// The file carries an application id and a schema version. A file that is no library, or one
// from a newer schema, is refused and never written to. A file that cannot be written is
// opened read-only: it still answers searches. Each label is added in its own transaction, so
// a failure (a full disk) leaves the library as it was before that label.

#include "library/sqlite_handle.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::library {

// "PlmL" in the file header's application-id field.
constexpr std::int32_t kApplicationId = 0x506C6D4C;
constexpr std::int32_t kSchemaVersion = 1;

// ${PELMORA_LIBRARY}, else ${XDG_DATA_HOME:-~/.local/share}/pelmora/library.sqlite.
std::string defaultLibraryPath();

enum class EntryKind : int { File = 0, Folder = 1, Archive = 2 };

enum class OpenResult {
    Opened,      // read-write
    ReadOnly,    // searches only
    Missing,     // no file (opening for searches creates nothing)
    NotLibrary,  // some other file: left untouched
    NewerSchema, // written by a newer program: left untouched
    Failed,      // could not be opened or created
};

struct LabelRecord {
    std::int64_t id = 0;
    std::string path;
    std::int64_t fileSize = 0;
    std::int64_t fileTime = 0; // modification time, nanoseconds since the epoch
    std::string hash;
    std::string volume;
    std::string scanDate;
    std::int64_t spaceUsed = 0;
    std::int64_t spaceFree = 0;
    std::int64_t spaceTotal = 0;
    std::int64_t fileCount = 0;
    std::int64_t folderCount = 0;
    std::int64_t entryCount = 0; // entries indexed
    bool damaged = false;
    std::string problem; // why reading stopped early
};

enum class AddStatus {
    Added,     // new in the library
    Refreshed, // read again: the file had changed
    Unchanged, // same size, time (or content) as when last read
    NotLabel,  // not a label file (or a version this program cannot read): skipped
    Unreadable,
    Failed, // the library could not take it: the transaction was rolled back
};

struct AddResult {
    AddStatus status = AddStatus::Failed;
    bool damaged = false;
    std::int64_t entries = 0;
    std::string problem; // for NotLabel, Unreadable, Failed and damaged labels
    bool diskFull = false;
};

struct FindQuery {
    std::string pattern; // substring with * and ?; ignored when `nameFilter` is set
    // Replaces the pattern (a regular expression); every name is then read.
    std::function<bool(std::string_view name)> nameFilter;
    std::string extension; // without the dot; empty = any
    std::optional<std::uint64_t> minSize;
    std::optional<std::uint64_t> maxSize;
    bool filesOnly = false;
    bool foldersOnly = false; // folders and archives
    std::string labelPattern; // whole match against the label file's path, name or volume
    std::size_t limit = 0;    // 0 = no limit
};

struct Hit {
    std::string name;
    std::uint64_t size = 0;
    EntryKind kind = EntryKind::File;
    std::string folder; // within the disk, '/' separated, empty at the root
    std::string volume;
    std::string labelPath;
    std::int64_t labelId = 0;
};

struct DuplicateGroup {
    std::string name;
    std::uint64_t size = 0;
    std::vector<Hit> copies; // on at least two labels
};

struct FolderProgress {
    std::size_t found = 0; // label files found so far
    std::size_t done = 0;  // of those, handled
    std::string current;
};

class Library {
public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Opens the library for adding (created with its folder when missing) or, with
    // `forSearch`, for reading only (nothing is created). A file that cannot be written is
    // opened read-only either way. `problem` says why when the result is not Opened/ReadOnly.
    OpenResult open(const std::string& path, bool forSearch = false);
    const std::string& path() const { return path_; }
    const std::string& problem() const { return problem_; }
    bool writable() const { return writable_; }

    // Adds or refreshes one label file; unchanged files (same size and time, or same content)
    // are skipped.
    AddResult addLabelFile(const std::string& path);
    // Re-reads changed labels and drops those whose file is gone. `report` sees each label
    // that changed or went.
    struct RefreshCounts {
        std::size_t unchanged = 0, refreshed = 0, dropped = 0, failed = 0;
    };
    RefreshCounts
    refresh(const std::function<void(const std::string& path, const AddResult*)>& report = {});
    // Removes labels: a label file's own path, or every label below a folder. Returns how
    // many went.
    std::size_t remove(const std::string& path);

    std::vector<LabelRecord> labels();
    std::optional<LabelRecord> label(const std::string& path);

    // Matching entries in the order they were added (label by label, each in catalog order).
    // Throws SqliteError (SQLITE_INTERRUPT when interrupted).
    std::vector<Hit> find(const FindQuery& query);
    // Interrupts a find or add running on another thread (sqlite3_interrupt).
    void interrupt();

    // Files with the same name (A-Z folded) and size on more than one label, biggest first.
    std::vector<DuplicateGroup> duplicates(std::uint64_t minSize);

    // Test hook: the file may grow by `pages` more pages only, as on a nearly full disk.
    void limitGrowth(std::int64_t pages);

private:
    OpenResult checkSchema(bool forSearch);
    void dropLabel(const LabelRecord& record);

    Database db_;
    std::string path_;
    std::string problem_;
    bool writable_ = false;
};

// Every label file below `folder` (recursively, ".PMB" in any letter case), sorted.
std::vector<std::string> findLabelFiles(const std::string& folder,
                                        const std::atomic<bool>* cancel = nullptr);

// The absolute, normalised form of a path as the library stores it.
std::string normalisedPath(const std::string& path);

} // namespace pelmora::library
