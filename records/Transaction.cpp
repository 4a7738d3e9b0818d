#include "Transaction.h"

#include <sqlite3.h>

#include <utility>

#include "Statement.h"

namespace orvenna {

Result<Transaction> Transaction::begin(sqlite3* db, std::string_view what) {
    if (Status begun = executeSql(db, "BEGIN IMMEDIATE;", what); !begun) return begun.error();
    return Transaction(db);
}

Transaction::Transaction(Transaction&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

// Whatever is still open is undone: never committed, a commit refused (still locked by a
// reader), or one whose statement SQLite has not already rolled back itself. A rollback that
// fails has no one to tell: the connection's journal still undoes the writes when it closes.
Transaction::~Transaction() {
    if (db_ != nullptr && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
}

Status Transaction::commit(std::string_view what) {
    return executeSql(db_, "COMMIT;", what);
}

}  // namespace orvenna
