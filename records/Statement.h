// One prepared SQLite statement, finalized with its owner: binds by index, steps, reads the
// current row's columns and is reset for the next binding. Text goes in and out as UTF-8.
#pragma once

#include <cstdint>
#include <optional>
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

// Whether `db` holds a table named `table`; a failure to ask reads `what` and SQLite's reason.
Result<bool> tableExists(sqlite3* db, std::string_view table, std::string_view what);

class Statement {
public:
    enum class Step { Row, Done, Failed };

    // The statement of `sql` on `db`; a failure reads "prepare: " and SQLite's message.
    static Result<Statement> prepare(sqlite3* db, std::string_view sql);

    // Parameters count from 1, as in the SQL text. A bind that fails (no such parameter, a
    // text longer than SQLite takes) is kept, and the next step fails with it instead of
    // running with that parameter left NULL.
    void bind(int index, int value);
    void bind(int index, std::int64_t value);
    void bind(int index, double value);
    void bind(int index, std::wstring_view text);

    // The next row, the end, or a failure whose reason failure() gives.
    Step step();
    // Why the last step failed, after `what`: the first bind that failed since the last reset,
    // or else SQLite's reason for the step.
    Error failure(std::string_view what) const;
    // Ready to run again, a failed bind forgotten; the bindings stay until bound anew.
    void reset();

    // The index of the result column named `name` (as the SELECT names it), -1 when there is
    // none: a row's reader looks its columns up once and then reads each row by them.
    int columnIndex(std::string_view name) const;
    // Columns of the current row count from 0; a NULL reads as 0 or an empty text.
    int columnInt(int column) const;
    std::int64_t columnInt64(int column) const;
    double columnDouble(int column) const;
    std::wstring columnText(int column) const;

    // The row id that the statement's connection inserted last.
    std::int64_t insertedRowId() const;
    // How many rows the connection's last INSERT, UPDATE or DELETE changed.
    int changedRows() const;

private:
    explicit Statement(sqlite3_stmt* handle) : handle_(handle) {}
    // Keeps the first failure of a bind that returned `code`.
    void bound(int code, int index);

    SqliteStatement handle_;
    std::optional<Error> bindFailure_;
};

}  // namespace orvenna
