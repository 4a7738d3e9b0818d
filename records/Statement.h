// One prepared SQLite statement, finalized with its owner: binds by index, steps, reads the
// current row's columns and is reset for the next binding. Text goes in and out as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "SqliteHandle.h"
#include "base/Result.h"

namespace orvenna {

// SQLite's extended code and message for the call that just failed on `db`, after `what`;
// without a connection, that there is none.
Error sqliteFailure(sqlite3* db, std::string_view what);

// Runs `sql` (statements without results) on `db`; on failure, sqliteFailure(db, what).
Status executeSql(sqlite3* db, const char* sql, std::string_view what);

class Statement {
public:
    enum class Step { Row, Done, Failed };

    // The statement of `sql` on `db`; a failure reads "prepare: " and SQLite's message.
    static Result<Statement> prepare(sqlite3* db, std::string_view sql);

    // Parameters count from 1, as in the SQL text.
    void bind(int index, int value);
    void bind(int index, std::int64_t value);
    void bind(int index, double value);
    void bind(int index, std::wstring_view text);

    // The next row, the end, or a failure whose reason sqliteFailure gives.
    Step step();
    // Ready to run again; the bindings stay until bound anew.
    void reset();

    // Columns of the current row count from 0; a NULL reads as 0 or an empty text.
    int columnInt(int column) const;
    std::int64_t columnInt64(int column) const;
    double columnDouble(int column) const;
    std::wstring columnText(int column) const;

    // The row id that the statement's connection inserted last.
    std::int64_t insertedRowId() const;

private:
    explicit Statement(sqlite3_stmt* handle) : handle_(handle) {}

    SqliteStatement handle_;
};

}  // namespace orvenna
