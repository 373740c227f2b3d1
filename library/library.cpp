// Opening the library file, its schema, and adding, refreshing and removing labels.

#include "library/library.h"

#include "catalog/records.h"
#include "library/name_pattern.h"
#include "platform/core/regular_file.h"
#include "storage/label_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora::library {
namespace {

// Entries and folders of one label take consecutive row ids (each label is written in one
// transaction by the one writer the lock admits), so a label names its rows by id range and
// needs no index. A folder's own entries follow one another too, so an entry belongs to the
// folder with the greatest first_entry at or below its id (the later folder when an empty
// one shares that first_entry), and the folder names the label: an entry row is its name,
// size and kind only. Its extension is the end of its name. The name index keeps
// neither a copy of the names (external content), nor positions (detail=none: the trigram
// index narrows, every candidate is checked), nor name lengths (columnsize=0): the smallest
// index that still answers a substring without reading every row.
constexpr const char* kSchema = R"sql(
CREATE TABLE labels(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  file_size INTEGER NOT NULL,
  file_time INTEGER NOT NULL,
  hash TEXT NOT NULL,
  volume TEXT NOT NULL,
  scan_date TEXT NOT NULL,
  space_used INTEGER NOT NULL,
  space_free INTEGER NOT NULL,
  space_total INTEGER NOT NULL,
  file_count INTEGER NOT NULL,
  folder_count INTEGER NOT NULL,
  entry_count INTEGER NOT NULL,
  damaged INTEGER NOT NULL,
  problem TEXT NOT NULL,
  first_folder INTEGER NOT NULL,
  last_folder INTEGER NOT NULL,
  first_entry INTEGER NOT NULL,
  last_entry INTEGER NOT NULL
);
CREATE TABLE folders(
  id INTEGER PRIMARY KEY,
  label_id INTEGER NOT NULL,
  path TEXT NOT NULL,
  first_entry INTEGER NOT NULL
);
CREATE INDEX folders_by_entry ON folders(first_entry);
CREATE TABLE entries(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  kind INTEGER NOT NULL
);
CREATE VIRTUAL TABLE entry_names USING fts5(
  name, content='entries', content_rowid='id', tokenize='trigram', detail='none',
  columnsize=0
);
)sql";

constexpr const char* kLabelColumns =
    "id, path, file_size, file_time, hash, volume, scan_date, space_used, space_free, "
    "space_total, file_count, folder_count, entry_count, damaged, problem, first_folder, "
    "last_folder, first_entry, last_entry";

struct StoredLabel {
    LabelRecord record;
    std::int64_t firstFolder = 0, lastFolder = -1, firstEntry = 0, lastEntry = -1;
};

StoredLabel readLabelRow(const Statement& row) {
    StoredLabel stored;
    LabelRecord& r = stored.record;
    r.id = row.integer(0);
    r.path = row.text(1);
    r.fileSize = row.integer(2);
    r.fileTime = row.integer(3);
    r.hash = row.text(4);
    r.volume = row.text(5);
    r.scanDate = row.text(6);
    r.spaceUsed = row.integer(7);
    r.spaceFree = row.integer(8);
    r.spaceTotal = row.integer(9);
    r.fileCount = row.integer(10);
    r.folderCount = row.integer(11);
    r.entryCount = row.integer(12);
    r.damaged = row.integer(13) != 0;
    r.problem = row.text(14);
    stored.firstFolder = row.integer(15);
    stored.lastFolder = row.integer(16);
    stored.firstEntry = row.integer(17);
    stored.lastEntry = row.integer(18);
    return stored;
}

std::optional<StoredLabel> findStored(Database& db, const std::string& path) {
    Statement query =
        db.prepare(std::string("SELECT ") + kLabelColumns + " FROM labels WHERE path = ?1");
    query.bind(1, path);
    if (!query.step()) {
        return std::nullopt;
    }
    return readLabelRow(query);
}

// FNV-1a over the file's bytes, 64 bits, as 16 hex digits: enough to tell a changed label file
// whose size and time were kept.
std::string contentHash(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string fixedText(const char* field, std::size_t capacity) {
    return std::string(field, strnlen(field, capacity));
}

bool isArchiveName(const char* name) {
    const std::string folded = foldedText(fixedText(name, kNameCapacity));
    return folded.find(".zip") != std::string::npos || folded.find(".arj") != std::string::npos;
}

EntryKind kindOf(const FileEntry& entry) {
    if (entry.hasChild && entry.child) {
        // Folders have no size; an archive read as a folder keeps its file's size.
        return entry.size > 0 && isArchiveName(entry.name) ? EntryKind::Archive : EntryKind::Folder;
    }
    return std::strcmp(entry.sizeText, "[dir]") == 0 ? EntryKind::Folder : EntryKind::File;
}

// The scanner's placeholder for an empty folder is no file.
bool isEmptyPlaceholder(const FileEntry& entry) {
    return entry.sizeText[0] == '\0' && entry.size == 0 && !entry.hasChild &&
           std::strcmp(entry.name, "(Empty)") == 0;
}

// Writes one label's folders and entries; returns the number of entries.
class TreeWriter {
public:
    TreeWriter(Database& db, std::int64_t labelId, std::int64_t firstEntry)
        : labelId_(labelId), firstEntry_(firstEntry),
          folder_(db.prepare("INSERT INTO folders(label_id, path, first_entry) "
                             "VALUES(?1, ?2, ?3)")),
          entry_(db.prepare("INSERT INTO entries(id, name, size, kind) VALUES(?1, ?2, ?3, ?4)")) {}

    void write(const VAROINFO& node, const std::string& folderPath, int depth) {
        folder_.bind(1, labelId_).bind(2, folderPath).bind(3, firstEntry_ + entries_);
        folder_.run();
        folder_.reset();
        for (const FileEntry& entry : node.entries) {
            if (isEmptyPlaceholder(entry)) {
                continue;
            }
            const std::string name = fixedText(entry.name, kNameCapacity);
            entry_.bind(1, firstEntry_ + entries_)
                .bind(2, name)
                .bind(3, static_cast<std::int64_t>(entry.size))
                .bind(4, static_cast<std::int64_t>(kindOf(entry)));
            entry_.run();
            entry_.reset();
            ++entries_;
        }
        if (depth >= kMaxCatalogDepth) {
            return;
        }
        for (const FileEntry& entry : node.entries) {
            if (entry.hasChild && entry.child) {
                const std::string name = fixedText(entry.name, kNameCapacity);
                write(*entry.child, folderPath.empty() ? name : folderPath + "/" + name, depth + 1);
            }
        }
    }
    std::int64_t entries() const { return entries_; }

private:
    std::int64_t labelId_;
    std::int64_t firstEntry_;
    Statement folder_;
    Statement entry_;
    std::int64_t entries_ = 0;
};

void deleteRows(Database& db, const StoredLabel& stored) {
    // The name index keeps no copy of the names: it is told which ones leave.
    Statement unindex =
        db.prepare("INSERT INTO entry_names(entry_names, rowid, name) "
                   "SELECT 'delete', id, name FROM entries WHERE id BETWEEN ?1 AND ?2");
    unindex.bind(1, stored.firstEntry).bind(2, stored.lastEntry);
    unindex.run();
    Statement entries = db.prepare("DELETE FROM entries WHERE id BETWEEN ?1 AND ?2");
    entries.bind(1, stored.firstEntry).bind(2, stored.lastEntry);
    entries.run();
    Statement folders = db.prepare("DELETE FROM folders WHERE id BETWEEN ?1 AND ?2");
    folders.bind(1, stored.firstFolder).bind(2, stored.lastFolder);
    folders.run();
    Statement label = db.prepare("DELETE FROM labels WHERE id = ?1");
    label.bind(1, stored.record.id);
    label.run();
}

// BEGIN IMMEDIATE ... COMMIT, rolled back when anything throws.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }
    ~Transaction() {
        if (!done_) {
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    void commit() {
        db_.exec("COMMIT");
        done_ = true;
    }

private:
    Database& db_;
    bool done_ = false;
};

std::int64_t modificationTime(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool folderWritable(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

std::string uriPath(const std::string& path) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '?' || c == '#' || c == '%' || c < 0x20) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri;
}

} // namespace

OpenResult Library::open(const std::string& path, bool forSearch) {
    db_.close();
    path_ = path;
    problem_.clear();
    writable_ = false;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        problem_ = path + " is not a library file";
        return OpenResult::NotLibrary;
    }
    if (!exists) {
        if (forSearch) {
            problem_ = "no library yet at " + path;
            return OpenResult::Missing;
        }
        std::error_code error;
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, error);
        }
        if (error) {
            problem_ = "cannot create " + folder.string() + ": " + error.message();
            return OpenResult::Failed;
        }
    }
    // A file without any write permission bit was made read-only on purpose: it is read only,
    // even by a user (root) whom the system would let write it.
    writable_ = (!exists || (::access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0)) &&
                folderWritable(path);
    try {
        if (writable_) {
            db_.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
        } else {
            db_.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
        }
        sqlite3_busy_timeout(db_.handle(), 5000);
        OpenResult result;
        try {
            result = checkSchema(forSearch);
        } catch (const SqliteError& e) {
            if (writable_ || e.code != SQLITE_CANTOPEN) {
                throw;
            }
            // A library in a folder that cannot be written cannot get its shared-memory
            // file: it is read as an unchanging file instead.
            db_.open(uriPath(path) + "?immutable=1",
                     SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
            result = checkSchema(forSearch);
        }
        if (result != OpenResult::Opened) {
            db_.close();
            return result;
        }
        if (writable_) {
            db_.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
        }
        return writable_ ? OpenResult::Opened : OpenResult::ReadOnly;
    } catch (const SqliteError& e) {
        db_.close();
        if (e.code == SQLITE_NOTADB) {
            problem_ = path + " is not a Pelmora library (left as it is)";
            return OpenResult::NotLibrary;
        }
        problem_ = "cannot open " + path + ": " + e.what();
        return OpenResult::Failed;
    }
}

OpenResult Library::checkSchema(bool forSearch) {
    const std::int64_t applicationId = db_.queryInt("PRAGMA application_id");
    const std::int64_t version = db_.queryInt("PRAGMA user_version");
    const std::int64_t objects = db_.queryInt("SELECT count(*) FROM sqlite_master");
    if (applicationId == 0 && version == 0 && objects == 0) {
        if (!writable_ || forSearch) {
            // An empty file: nothing to find, and nothing to write into it here.
            if (!writable_) {
                problem_ = "the library " + path_ + " is empty";
                return OpenResult::Missing;
            }
        }
        Transaction transaction(db_);
        db_.exec(kSchema);
        db_.exec("PRAGMA application_id=" + std::to_string(kApplicationId) +
                 "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";");
        transaction.commit();
        return OpenResult::Opened;
    }
    if (applicationId != kApplicationId) {
        problem_ = path_ + " is not a Pelmora library (left as it is)";
        return OpenResult::NotLibrary;
    }
    if (version > kSchemaVersion) {
        problem_ = path_ + " was written by a newer Pelmora (library schema " +
                   std::to_string(version) + ", this program reads " +
                   std::to_string(kSchemaVersion) + "); it is left as it is";
        return OpenResult::NewerSchema;
    }
    if (version < kSchemaVersion) {
        problem_ = path_ + " has an unknown library schema " + std::to_string(version) +
                   " (left as it is)";
        return OpenResult::NotLibrary;
    }
    return OpenResult::Opened;
}

AddResult Library::addLabelFile(const std::string& givenPath) {
    AddResult result;
    if (!db_.isOpen() || !writable_) {
        result.status = AddStatus::Failed;
        result.problem = "the library " + path_ + " is read-only";
        return result;
    }
    const std::string path = normalisedPath(givenPath);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        result.status = AddStatus::Unreadable;
        result.problem = std::strerror(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = AddStatus::Unreadable;
        result.problem = regularFileProblem(S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
        return result;
    }
    try {
        const std::optional<StoredLabel> stored = findStored(db_, path);
        const std::int64_t time = modificationTime(st);
        const auto size = static_cast<std::int64_t>(st.st_size);
        if (stored && stored->record.fileSize == size && stored->record.fileTime == time) {
            result.status = AddStatus::Unchanged;
            result.damaged = stored->record.damaged;
            result.entries = stored->record.entryCount;
            return result;
        }
        std::string bytes;
        if (!readRegularFile(path, kMaxLabelFileBytes, bytes)) {
            result.status = AddStatus::Unreadable;
            result.problem = regularFileProblem(errno);
            return result;
        }
        const std::string hash = contentHash(bytes);
        if (stored && stored->record.hash == hash) {
            Statement touch =
                db_.prepare("UPDATE labels SET file_size = ?1, file_time = ?2 WHERE id = ?3");
            touch.bind(1, size).bind(2, time).bind(3, stored->record.id);
            touch.run();
            result.status = AddStatus::Unchanged;
            result.damaged = stored->record.damaged;
            result.entries = stored->record.entryCount;
            return result;
        }
        VAROINFO label;
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const LabelFileLoad load = decodeLabelFile(std::span(data, bytes.size()), label);
        if (load.status != LabelFileStatus::Loaded) {
            result.status = AddStatus::NotLabel;
            result.problem = load.problem.empty() ? "not a label file" : load.problem;
            return result;
        }
        result.damaged = !load.complete;
        if (result.damaged) {
            result.problem =
                "damaged at byte " + std::to_string(load.problemOffset) + " (" + load.problem + ")";
        }
        countEntries(label);

        Transaction transaction(db_);
        if (stored) {
            deleteRows(db_, *stored);
        }
        Statement insert = db_.prepare(
            "INSERT INTO labels(path, file_size, file_time, hash, volume, scan_date, "
            "space_used, space_free, space_total, file_count, folder_count, entry_count, "
            "damaged, problem, first_folder, last_folder, first_entry, last_entry) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, 0, ?12, ?13, 0, -1, 0, -1)");
        insert.bind(1, path)
            .bind(2, size)
            .bind(3, time)
            .bind(4, hash)
            .bind(5, fixedText(label.volumeName, kVolumeNameCapacity))
            .bind(6, fixedText(label.shortDate, kShortDateCapacity))
            .bind(7, label.spaceUsed)
            .bind(8, label.spaceFree)
            .bind(9, label.spaceTotal)
            .bind(10, static_cast<std::int64_t>(label.fileCount))
            .bind(11, static_cast<std::int64_t>(label.folderCount))
            .bind(12, static_cast<std::int64_t>(result.damaged ? 1 : 0))
            .bind(13, result.problem);
        insert.run();
        const std::int64_t labelId = db_.lastInsertRowid();
        const std::int64_t firstFolder =
            db_.queryInt("SELECT coalesce(max(id), 0) + 1 FROM folders");
        const std::int64_t firstEntry =
            db_.queryInt("SELECT coalesce(max(id), 0) + 1 FROM entries");
        TreeWriter writer(db_, labelId, firstEntry);
        writer.write(label, "", 0);
        const std::int64_t lastFolder = db_.queryInt("SELECT coalesce(max(id), 0) FROM folders");
        const std::int64_t lastEntry = db_.queryInt("SELECT coalesce(max(id), 0) FROM entries");
        Statement index = db_.prepare("INSERT INTO entry_names(rowid, name) "
                                      "SELECT id, name FROM entries WHERE id BETWEEN ?1 AND ?2");
        index.bind(1, firstEntry).bind(2, lastEntry);
        index.run();
        Statement ranges =
            db_.prepare("UPDATE labels SET entry_count = ?1, first_folder = ?2, last_folder = ?3, "
                        "first_entry = ?4, last_entry = ?5 WHERE id = ?6");
        ranges.bind(1, writer.entries())
            .bind(2, firstFolder)
            .bind(3, lastFolder)
            .bind(4, firstEntry)
            .bind(5, lastEntry)
            .bind(6, labelId);
        ranges.run();
        transaction.commit();
        result.status = stored ? AddStatus::Refreshed : AddStatus::Added;
        result.entries = writer.entries();
        return result;
    } catch (const SqliteError& e) {
        result.status = AddStatus::Failed;
        result.diskFull = e.code == SQLITE_FULL;
        result.problem = e.what();
        return result;
    }
}

void Library::dropLabel(const LabelRecord& record) {
    const std::optional<StoredLabel> stored = findStored(db_, record.path);
    if (!stored) {
        return;
    }
    Transaction transaction(db_);
    deleteRows(db_, *stored);
    transaction.commit();
}

Library::RefreshCounts
Library::refresh(const std::function<void(const std::string&, const AddResult*)>& report) {
    RefreshCounts counts;
    for (const LabelRecord& record : labels()) {
        struct stat st {};
        const bool gone =
            ::stat(record.path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
        if (gone) {
            dropLabel(record);
            ++counts.dropped;
            if (report) {
                report(record.path, nullptr);
            }
            continue;
        }
        const AddResult result = addLabelFile(record.path);
        switch (result.status) {
        case AddStatus::Unchanged:
            ++counts.unchanged;
            continue;
        case AddStatus::Added:
        case AddStatus::Refreshed:
            ++counts.refreshed;
            break;
        case AddStatus::NotLabel:
            // Replaced by something that is no label file: its old catalog is no longer there.
            dropLabel(record);
            ++counts.dropped;
            break;
        case AddStatus::Unreadable:
        case AddStatus::Failed:
            ++counts.failed;
            break;
        }
        if (report) {
            report(record.path, &result);
        }
    }
    return counts;
}

std::size_t Library::remove(const std::string& givenPath) {
    if (!db_.isOpen() || !writable_) {
        return 0;
    }
    const std::string path = normalisedPath(givenPath);
    std::size_t removed = 0;
    for (const LabelRecord& record : labels()) {
        const bool below = record.path.size() > path.size() &&
                           record.path.compare(0, path.size(), path) == 0 &&
                           (record.path[path.size()] == '/' || path == "/");
        if (record.path == path || below) {
            dropLabel(record);
            ++removed;
        }
    }
    return removed;
}

std::vector<LabelRecord> Library::labels() {
    std::vector<LabelRecord> records;
    if (!db_.isOpen()) {
        return records;
    }
    Statement query =
        db_.prepare(std::string("SELECT ") + kLabelColumns + " FROM labels ORDER BY path");
    while (query.step()) {
        records.push_back(readLabelRow(query).record);
    }
    return records;
}

std::optional<LabelRecord> Library::label(const std::string& path) {
    if (!db_.isOpen()) {
        return std::nullopt;
    }
    std::optional<StoredLabel> stored = findStored(db_, normalisedPath(path));
    if (!stored) {
        return std::nullopt;
    }
    return stored->record;
}

void Library::interrupt() {
    if (db_.isOpen()) {
        sqlite3_interrupt(db_.handle());
    }
}

void Library::limitGrowth(std::int64_t pages) {
    const std::int64_t now = db_.queryInt("PRAGMA page_count");
    db_.exec("PRAGMA max_page_count=" + std::to_string(now + pages));
}

} // namespace pelmora::library
