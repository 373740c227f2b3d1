#include "library/sqlite_handle.h"

#include <utility>

namespace pelmora::library {

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Database::~Database() {
    close();
}

void Database::open(const std::string& filename, int flags) {
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(filename.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw SqliteError(rc & 0xff, message);
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 0);
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::fail(int rc) const {
    throw SqliteError(rc & 0xff, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
}

void Database::exec(std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc);
    }
    return Statement(*this, stmt);
}

std::int64_t Database::queryInt(std::string_view sql) {
    Statement statement = prepare(sql);
    return statement.step() ? statement.integer(0) : 0;
}

Statement& Statement::bind(int index, std::int64_t value) {
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) {
        db_->fail(rc);
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    const int rc =
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        db_->fail(rc);
    }
    return *this;
}

Statement& Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) {
        db_->fail(rc);
    }
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    // The statement's error stays on the connection until the reset below clears it.
    const int code = sqlite3_errcode(db_->handle());
    const std::string message = sqlite3_errmsg(db_->handle());
    sqlite3_reset(stmt_);
    throw SqliteError(code & 0xff, message);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string_view Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!data) {
        return {};
    }
    return {data, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

} // namespace pelmora::library
