// Finding entries by name and the files that are on more than one disk.

#include "library/library.h"
#include "library/name_pattern.h"

#include <filesystem>

namespace pelmora::library {
namespace {

constexpr const char* kHitColumns = "e.name, e.size, e.kind, f.path, l.volume, l.path, l.id FROM ";

// The folder and label of entry e (see the schema in library.cpp).
constexpr const char* kFolderAndLabel =
    "JOIN folders f ON f.id = (SELECT g.id FROM folders g WHERE g.first_entry <= e.id "
    "ORDER BY g.first_entry DESC, g.id DESC LIMIT 1) JOIN labels l ON l.id = f.label_id ";

Hit readHit(const Statement& row) {
    Hit hit;
    hit.name = row.text(0);
    hit.size = static_cast<std::uint64_t>(row.integer(1));
    hit.kind = static_cast<EntryKind>(row.integer(2));
    hit.folder = row.text(3);
    hit.volume = row.text(4);
    hit.labelPath = row.text(5);
    hit.labelId = row.integer(6);
    return hit;
}

bool labelMatches(const Hit& hit, const std::string& pattern) {
    if (pattern.empty()) {
        return true;
    }
    const std::string fileName = std::filesystem::path(hit.labelPath).filename().string();
    return matchesWholePattern(hit.labelPath, pattern) || matchesWholePattern(fileName, pattern) ||
           matchesWholePattern(hit.volume, pattern);
}

} // namespace

std::vector<Hit> Library::find(const FindQuery& query) {
    std::vector<Hit> hits;
    if (!db_.isOpen()) {
        return hits;
    }
    // A run of three characters lets the trigram index pick the candidates; shorter patterns
    // (and regular expressions) read every name. LIKE folds only A-Z, as the catalog does. The
    // index takes no LIKE with an ESCAPE clause, so the LIKE pattern only narrows (see
    // likePattern) and every candidate is checked below.
    const bool byPattern = !query.nameFilter && !query.pattern.empty();
    const bool indexed = byPattern && longestLiteralRun(query.pattern) >= 3;
    std::string sql = std::string("SELECT ") + kHitColumns;
    if (indexed) {
        sql += "entry_names n CROSS JOIN entries e ON e.id = n.rowid ";
    } else {
        sql += "entries e ";
    }
    sql += kFolderAndLabel;
    sql += "WHERE 1";
    if (indexed) {
        sql += " AND n.name LIKE ?1";
    } else if (byPattern) {
        sql += " AND e.name LIKE ?1";
    }
    if (!query.extension.empty()) {
        sql += " AND e.name LIKE ?2";
    }
    if (query.minSize) {
        sql += " AND e.size >= ?3";
    }
    if (query.maxSize) {
        sql += " AND e.size <= ?4";
    }
    if (query.filesOnly) {
        sql += " AND e.kind = 0";
    } else if (query.foldersOnly) {
        sql += " AND e.kind <> 0";
    }
    sql += indexed ? " ORDER BY n.rowid" : " ORDER BY e.id";
    Statement statement = db_.prepare(sql);
    if (byPattern) {
        statement.bind(1, likePattern(query.pattern));
    }
    std::string extension = query.extension;
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    extension = foldedText(extension);
    if (!query.extension.empty()) {
        // Narrows to names ending in the extension; each is checked below.
        std::string like = likePattern("." + extension);
        like.pop_back(); // no '%' after it
        statement.bind(2, like);
    }
    if (query.minSize) {
        statement.bind(3, static_cast<std::int64_t>(*query.minSize));
    }
    if (query.maxSize) {
        statement.bind(4, static_cast<std::int64_t>(*query.maxSize));
    }
    while (statement.step()) {
        const std::string_view name = statement.text(0);
        // The index's candidates are checked by the catalog's own rule.
        if (byPattern && !matchesSubstringPattern(name, query.pattern)) {
            continue;
        }
        if (query.nameFilter && !query.nameFilter(name)) {
            continue;
        }
        if (!query.extension.empty() && extensionOf(name) != extension) {
            continue;
        }
        Hit hit = readHit(statement);
        if (!labelMatches(hit, query.labelPattern)) {
            continue;
        }
        hits.push_back(std::move(hit));
        if (query.limit != 0 && hits.size() >= query.limit) {
            break;
        }
    }
    return hits;
}

std::vector<DuplicateGroup> Library::duplicates(std::uint64_t minSize) {
    std::vector<DuplicateGroup> groups;
    if (!db_.isOpen()) {
        return groups;
    }
    // Sizes that occur on two labels first (each label's entries read by their id range), then
    // the entries of those sizes by name.
    Statement statement = db_.prepare(
        std::string("SELECT ") + kHitColumns + "entries e " + kFolderAndLabel +
        "WHERE e.kind = 0 AND e.size >= ?1 AND e.size IN (SELECT d.size FROM labels k "
        "CROSS JOIN entries d ON d.id BETWEEN k.first_entry AND k.last_entry "
        "WHERE +d.kind = 0 AND +d.size >= ?1 GROUP BY d.size HAVING count(DISTINCT k.id) > 1) "
        "ORDER BY e.size DESC, lower(e.name), l.path, f.path");
    statement.bind(1, static_cast<std::int64_t>(minSize));
    DuplicateGroup group;
    std::string groupKey;
    auto flush = [&] {
        bool twoLabels = false;
        for (const Hit& copy : group.copies) {
            twoLabels = twoLabels || copy.labelId != group.copies.front().labelId;
        }
        if (twoLabels) {
            groups.push_back(std::move(group));
        }
        group = DuplicateGroup{};
    };
    while (statement.step()) {
        Hit hit = readHit(statement);
        const std::string key = foldedText(hit.name);
        if (group.copies.empty() || hit.size != group.size || key != groupKey) {
            if (!group.copies.empty()) {
                flush();
            }
            group.name = hit.name;
            group.size = hit.size;
            groupKey = key;
        }
        group.copies.push_back(std::move(hit));
    }
    if (!group.copies.empty()) {
        flush();
    }
    return groups;
}

} // namespace pelmora::library
