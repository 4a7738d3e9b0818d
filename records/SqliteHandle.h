// Owners of SQLite's C handles: each connection and each prepared statement has exactly
// one, so no path can leak or double-finalize them.
#pragma once

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace orvenna {

struct SqliteCloser {
    void operator()(sqlite3* db) const noexcept;
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};

using SqliteConnection = std::unique_ptr<sqlite3, SqliteCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

}  // namespace orvenna
