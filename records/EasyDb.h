// The record store: saved predictions in the SQLite table tarv_table of
// <program directory>/src/data/ssq.db.
//
// The store never deletes, recreates or alters what an existing database file holds: a file
// it cannot read only makes its operations fail, so what the user saved is never destroyed.
// The one thing it adds is the table, to a database that lacks it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "SqliteHandle.h"
#include "YsModel.h"
#include "base/Result.h"

namespace orvenna {

// What the history list implements so that the store can fill it without knowing it.
class HistoryList {
public:
    virtual ~HistoryList() = default;
    virtual void clearItems() = 0;
    virtual void appendItem(std::wstring_view title, std::int64_t id) = 0;
};

// The code of load()'s error when there is no row with the id asked for.
inline constexpr int NoSuchRow = 12;  // SQLITE_NOTFOUND

// Why a store operation failed, as far as the user can act on it.
enum class StoreFailure {
    Locked,    // another program holds the database; trying again later may work
    Damaged,   // the file is not a database, or a page of it cannot be read
    ReadOnly,  // the file or its folder cannot be written
    NoFile,    // there is no connection: the file could not be opened or created
    RowMissing,
    Other,
};
StoreFailure storeFailure(const Error& error);

class EasyDb {
public:
    enum class OpenState { Failed, Opened, Created };

    // The exact statement that creates the table in a database that lacks it.
    static std::string createTableStatement();
    // "SELECT _id,ysname From tarv_table ORDER BY _id DESC;"
    static std::string listStatement();

    // programDirectory/src/data/ssq.db, the file a store of that directory opens.
    static std::filesystem::path databasePath(const std::filesystem::path& programDirectory);

    // Opens (or creates) databasePath(programDirectory), creating the directories.
    // A locked database is waited for up to `busyTimeoutMs` before a statement fails.
    explicit EasyDb(const std::filesystem::path& programDirectory, int busyTimeoutMs = 3000);
    ~EasyDb();
    EasyDb(const EasyDb&) = delete;
    EasyDb& operator=(const EasyDb&) = delete;

    OpenState openState() const { return state_; }
    // The database can be read but not written: a read-only file, or one that a newer SQLite
    // marked as such. Known once the database has been read.
    bool readOnly() const;
    const std::filesystem::path& path() const { return path_; }

    // Inserts a record whose id is below 1 (and sets its new id) or updates the row of its
    // id. Succeeds only when SQLite reports the statement done.
    Status save(YsModel& record);
    // The row with `id`; the error's code is SQLITE_NOTFOUND when there is no such row, and
    // SQLite's own when the store failed.
    Result<YsModel> load(std::int64_t id);
    // Every row, newest first, each handed to `visit` in turn (the same object each time).
    Status forEachRecord(const std::function<void(const YsModel&)>& visit);
    Status remove(std::int64_t id);
    // Deletes the rows of `ids` in one transaction: all of them, or (on failure) none.
    Status remove(std::span<const std::int64_t> ids);
    // Empties the list, then appends every title with its id, newest first. On a failure
    // part way (a damaged page), the rows read before it stay in the list.
    Status fillList(HistoryList& list);

    // Closes the connection; later operations fail as without one.
    void close();
    // The connection, for the other tables of the same file (DrawStore); null without one.
    sqlite3* connection() const { return db_.get(); }
    // Releases SQLite itself; for the end of the process, after every store is closed.
    static void shutdown();

private:
    // Creates the table when the database is readable and lacks it; fails when the database
    // cannot be read (locked, damaged) or the table cannot be made.
    Status ensureTable();

    std::filesystem::path path_;
    SqliteConnection db_;
    OpenState state_ = OpenState::Failed;
    bool tableFound_ = false;  // the table is known to be there; not looked for again
};

}  // namespace orvenna
