// An IMMEDIATE transaction on one connection: what it wrote is kept only by commit(); a
// transaction that goes without one, or whose commit was refused, is rolled back, so a failure
// part way leaves nothing half-stored.
#pragma once

#include <string_view>

#include "SqliteHandle.h"
#include "base/Result.h"

namespace orvenna {

class Transaction {
public:
    // BEGIN IMMEDIATE: takes the write lock now, waiting for it as the connection's busy
    // time-out allows. A failure is sqliteFailure(db, what).
    static Result<Transaction> begin(sqlite3* db, std::string_view what);

    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&&) = delete;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    // COMMIT; a failure is sqliteFailure(db, what), and the transaction is rolled back when
    // this guard goes.
    Status commit(std::string_view what);

private:
    explicit Transaction(sqlite3* db) : db_(db) {}

    sqlite3* db_;  // null once moved from
};

}  // namespace orvenna
