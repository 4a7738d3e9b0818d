#include "Statement.h"

#include <sqlite3.h>

#include "base/Text.h"

namespace orvenna {

void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

Error sqliteFailure(sqlite3* db, std::string_view what) {
    if (db == nullptr) return {ErrorSource::Sqlite, SQLITE_CANTOPEN, std::string(what) + ": no database connection"};
    return {ErrorSource::Sqlite, sqlite3_extended_errcode(db), std::string(what) + ": " + sqlite3_errmsg(db)};
}

Status executeSql(sqlite3* db, const char* sql, std::string_view what) {
    if (db == nullptr || sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) return sqliteFailure(db, what);
    return success();
}

Result<bool> tableExists(sqlite3* db, std::string_view table, std::string_view what) {
    Result<Statement> statement = Statement::prepare(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1;");
    if (!statement) return statement.error();
    statement->bind(1, fromUtf8(table));
    switch (statement->step()) {
        case Statement::Step::Row:
            return true;
        case Statement::Step::Done:
            return false;
        default:
            return statement->failure(what);
    }
}

Result<Statement> Statement::prepare(sqlite3* db, std::string_view sql) {
    if (db == nullptr) return sqliteFailure(db, "prepare");
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        Error error = sqliteFailure(db, "prepare");
        sqlite3_finalize(raw);
        return error;
    }
    return Statement(raw);
}

void Statement::bound(int code, int index) {
    // The code the bind returned, not the connection's: a later bind that works clears that.
    if (code != SQLITE_OK && !bindFailure_)
        bindFailure_ = Error{ErrorSource::Sqlite, code, "bind " + std::to_string(index) + ": " + sqlite3_errstr(code)};
}

void Statement::bind(int index, int value) {
    bound(sqlite3_bind_int(handle_.get(), index, value), index);
}

void Statement::bind(int index, std::int64_t value) {
    bound(sqlite3_bind_int64(handle_.get(), index, value), index);
}

void Statement::bind(int index, double value) {
    bound(sqlite3_bind_double(handle_.get(), index, value), index);
}

void Statement::bind(int index, std::wstring_view text) {
    const std::string utf8 = toUtf8(text);
    bound(sqlite3_bind_text64(handle_.get(), index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8), index);
}

Statement::Step Statement::step() {
    if (bindFailure_) return Step::Failed;
    switch (sqlite3_step(handle_.get())) {
        case SQLITE_ROW:
            return Step::Row;
        case SQLITE_DONE:
            return Step::Done;
        default:
            return Step::Failed;
    }
}

Error Statement::failure(std::string_view what) const {
    if (bindFailure_)
        return {bindFailure_->source, bindFailure_->code, std::string(what) + ": " + bindFailure_->message};
    return sqliteFailure(sqlite3_db_handle(handle_.get()), what);
}

void Statement::reset() {
    sqlite3_reset(handle_.get());
    bindFailure_.reset();
}

int Statement::columnIndex(std::string_view name) const {
    const int count = sqlite3_column_count(handle_.get());
    for (int column = 0; column < count; ++column)
        if (const char* named = sqlite3_column_name(handle_.get(), column); named != nullptr && name == named)
            return column;
    return -1;
}

int Statement::columnInt(int column) const {
    return sqlite3_column_int(handle_.get(), column);
}

std::int64_t Statement::columnInt64(int column) const {
    return sqlite3_column_int64(handle_.get(), column);
}

double Statement::columnDouble(int column) const {
    return sqlite3_column_double(handle_.get(), column);
}

std::wstring Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle_.get(), column));
    if (text == nullptr) return {};
    return fromUtf8(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(handle_.get(), column))));
}

std::int64_t Statement::insertedRowId() const {
    return sqlite3_last_insert_rowid(sqlite3_db_handle(handle_.get()));
}

int Statement::changedRows() const {
    return sqlite3_changes(sqlite3_db_handle(handle_.get()));
}

}  // namespace orvenna
