#pragma once
// Thin RAII owners of an SQLite connection and its prepared statements. Every failure becomes
// a SqliteError carrying SQLite's result code and message, so the library's callers can tell a
// full disk (SQLITE_FULL) from a busy file or a file that is no database.

#include <cstdint>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora::library {

struct SqliteError : std::runtime_error {
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code(code) {}
    int code; // the primary result code (SQLITE_FULL, SQLITE_BUSY, ...)
};

class Statement;

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    Database(Database&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
    Database& operator=(Database&& other) noexcept;
    ~Database();

    // Opens `filename` (a path, or a "file:" URI with SQLITE_OPEN_URI) with sqlite3_open_v2's
    // flags. Throws SqliteError.
    void open(const std::string& filename, int flags);
    bool isOpen() const { return db_ != nullptr; }
    void close();

    // Runs one or more statements without results.
    void exec(std::string_view sql);
    Statement prepare(std::string_view sql);
    // The first column of the first row of a one-row query as an integer.
    std::int64_t queryInt(std::string_view sql);

    std::int64_t lastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
    sqlite3* handle() const { return db_; }
    // Throws the connection's current error for result code `rc`.
    [[noreturn]] void fail(int rc) const;

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(Database& db, sqlite3_stmt* stmt) : db_(&db), stmt_(stmt) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
        other.stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);
    // Steps once: true while a row is available, false when done. Throws on errors.
    bool step();
    // Steps to the end, for statements without rows.
    void run();
    void reset();

    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string_view text(int column) const;
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

private:
    Database* db_;
    sqlite3_stmt* stmt_;
};

} // namespace pelmora::library
