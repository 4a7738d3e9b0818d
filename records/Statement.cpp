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

void Statement::bind(int index, int value) {
    sqlite3_bind_int(handle_.get(), index, value);
}

void Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(handle_.get(), index, value);
}

void Statement::bind(int index, double value) {
    sqlite3_bind_double(handle_.get(), index, value);
}

void Statement::bind(int index, std::wstring_view text) {
    const std::string utf8 = toUtf8(text);
    sqlite3_bind_text(handle_.get(), index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

Statement::Step Statement::step() {
    switch (sqlite3_step(handle_.get())) {
        case SQLITE_ROW:
            return Step::Row;
        case SQLITE_DONE:
            return Step::Done;
        default:
            return Step::Failed;
    }
}

void Statement::reset() {
    sqlite3_reset(handle_.get());
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

}  // namespace orvenna
