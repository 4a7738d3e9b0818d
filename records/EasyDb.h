// The record store: saved predictions in the SQLite table tarv_table of
// <program directory>/src/data/ssq.db.
//
// The store never deletes, recreates or alters an existing database file: a file it cannot
// read only makes its operations fail, so what the user saved is never destroyed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "SqliteHandle.h"
#include "YsModel.h"

namespace orvenna {

// What the history list implements so that the store can fill it without knowing it.
class HistoryList {
public:
    virtual ~HistoryList() = default;
    virtual void clearItems() = 0;
    virtual void appendItem(std::wstring_view title, int id) = 0;
};

class EasyDb {
public:
    enum class OpenState { Failed, Opened, Created };

    // The exact statement that creates the table in a new database file.
    static std::string createTableStatement();
    // "SELECT _id,ysname From tarv_table ORDER BY _id DESC;"
    static std::string listStatement();

    // Opens (or creates) programDirectory/src/data/ssq.db, creating the directories.
    // A locked database is waited for up to `busyTimeoutMs` before a statement fails.
    explicit EasyDb(const std::filesystem::path& programDirectory, int busyTimeoutMs = 3000);
    ~EasyDb();
    EasyDb(const EasyDb&) = delete;
    EasyDb& operator=(const EasyDb&) = delete;

    OpenState openState() const { return state_; }
    const std::filesystem::path& path() const { return path_; }

    // Inserts a record whose id is below 1 (and sets its new id) or updates the row of its
    // id. True only when SQLite reports the statement done.
    bool save(YsModel& record);
    // The row with `id`, or an empty record with id 0.
    YsModel load(int id);
    bool remove(int id);
    // Empties the list, then appends every title with its id, newest first.
    void fillList(HistoryList& list);

    // Closes the connection; later operations fail as without one.
    void close();
    // Releases SQLite itself; for the end of the process, after every store is closed.
    static void shutdown();

    // The latest SQLite error, for a message at the edge; empty when none.
    const std::string& lastError() const { return lastError_; }

private:
    SqliteStatement prepare(std::string_view sql);
    void noteError(std::string_view what);

    std::filesystem::path path_;
    SqliteConnection db_;
    OpenState state_ = OpenState::Failed;
    std::string lastError_;
};

}  // namespace orvenna
