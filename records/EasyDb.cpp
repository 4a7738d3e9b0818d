#include "EasyDb.h"

#include <sqlite3.h>

#include <array>
#include <system_error>

#include "base/PathText.h"
#include "base/Text.h"

namespace orvenna {

void SqliteCloser::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
}
void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

namespace {

struct Column {
    const char* name;
    const char* type;
    const char* defaultValue;  // nullptr: no DEFAULT clause
};

// The columns of tarv_table in table order; the type names (VARHCAR included) are kept
// exactly, since existing databases carry the affinities they gave.
constexpr std::array<Column, 11> Columns = {{
    {"_id", "integer primary key autoincrement", nullptr},
    {"ysname", "VARCHAR(255) NOT NULL", nullptr},
    {"ysindex", "INT(4)", "0"},
    {"ysnumber", "VARCHAR(32) NOT NULL", nullptr},
    {"ysday", "DOUBLE", "0"},
    {"gzsxid", "INT(4)", "0"},
    {"upstr", "VARCHAR(3)", "null"},
    {"downstr", "VARCHAR(3)", "null"},
    {"dong", "VARHCAR(18) NOT NULL", nullptr},
    {"rot", "INT(1)", "0"},
    {"uinfo", "TEXT", "null"},
}};

constexpr const char* Table = "tarv_table";

constexpr const char* InsertSql =
    "INSERT INTO tarv_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
    "VALUES (?,?,?,?,?,?,?,?,?,?);";
constexpr const char* UpdateSql =
    "UPDATE tarv_table SET ysname=?,ysindex=?,ysnumber=?,ysday=?,gzsxid=?,upstr=?,downstr=?,dong=?,rot=?,"
    "uinfo=? WHERE _id=?;";
constexpr const char* LoadSql =
    "SELECT _id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo FROM tarv_table Where _id=?;";
constexpr const char* DeleteSql = "DELETE FROM tarv_table WHERE _id=?;";
constexpr const char* TableExistsSql = "SELECT 1 FROM sqlite_master WHERE type='table' AND name='tarv_table';";

void bindText(sqlite3_stmt* statement, int index, std::wstring_view text) {
    const std::string utf8 = toUtf8(text);
    sqlite3_bind_text(statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

std::wstring columnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (text == nullptr) return {};
    return fromUtf8(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))));
}

}  // namespace

std::string EasyDb::createTableStatement() {
    std::string sql = "CREATE TABLE ";
    sql += Table;
    sql += " (";
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        if (i != 0) sql += ',';
        sql += Columns[i].name;
        sql += ' ';
        sql += Columns[i].type;
        if (Columns[i].defaultValue != nullptr) {
            sql += " DEFAULT ";
            sql += Columns[i].defaultValue;
        }
    }
    return sql + ");";
}

std::string EasyDb::listStatement() {
    return std::string("SELECT ") + Columns[0].name + "," + Columns[1].name + " From " + Table + " ORDER BY _id DESC;";
}

std::filesystem::path EasyDb::databasePath(const std::filesystem::path& programDirectory) {
    return programDirectory / "src" / "data" / "ssq.db";
}

EasyDb::EasyDb(const std::filesystem::path& programDirectory, int busyTimeoutMs)
    : path_(databasePath(programDirectory)) {
    std::error_code error;
    std::filesystem::create_directories(path_.parent_path(), error);

    const bool exists = std::filesystem::exists(path_, error);
    sqlite3* raw = nullptr;
    const int flags = exists ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(pathUtf8(path_).c_str(), &raw, flags, nullptr);
    db_.reset(raw);  // SQLite hands out a handle even when opening fails; it must be closed
    if (rc != SQLITE_OK) {
        db_.reset();
        return;
    }
    state_ = exists ? OpenState::Opened : OpenState::Created;
    // A file left empty or without the table by an interrupted first start gets the table
    // now. A file locked by another program is not waited for here, so the window starts at
    // once; the first operation looks again.
    sqlite3_busy_timeout(db_.get(), 0);
    (void)ensureTable();
    sqlite3_busy_timeout(db_.get(), busyTimeoutMs);
}

EasyDb::~EasyDb() = default;

bool EasyDb::readOnly() const {
    return db_ && sqlite3_db_readonly(db_.get(), "main") == 1;
}

void EasyDb::close() {
    db_.reset();
    tableFound_ = false;
    state_ = OpenState::Failed;
}

// SQLite's code and message of the statement that just failed; without a connection, why
// there is none.
Error EasyDb::failure(std::string_view what) const {
    if (!db_) return {ErrorSource::Sqlite, SQLITE_CANTOPEN, std::string(what) + ": no database connection"};
    return {ErrorSource::Sqlite, sqlite3_extended_errcode(db_.get()),
            std::string(what) + ": " + sqlite3_errmsg(db_.get())};
}

Result<SqliteStatement> EasyDb::prepare(std::string_view sql) {
    if (!db_) return failure("prepare");
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        Error error = failure("prepare");
        sqlite3_finalize(raw);
        return error;
    }
    return SqliteStatement(raw);
}

// Only a table that is missing is created: rows and other tables in the file stay as they
// are. A file that cannot be read (not a database, locked) is left alone and asked again
// by the next operation; that operation fails at once with the reason, so a lock is waited
// for once, not once here and again by the statement.
Status EasyDb::ensureTable() {
    if (tableFound_) return success();
    const Result<SqliteStatement> statement = prepare(TableExistsSql);
    if (!statement) return statement.error();
    const int stepped = sqlite3_step(statement->get());
    if (stepped == SQLITE_ROW) {
        tableFound_ = true;
        return success();
    }
    if (stepped != SQLITE_DONE) return failure("read");
    if (Status created = execute(createTableStatement().c_str(), "create table"); !created) return created;
    tableFound_ = true;
    return success();
}

Status EasyDb::execute(const char* sql, std::string_view what) {
    if (!db_ || sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) return failure(what);
    return success();
}

StoreFailure storeFailure(const Error& error) {
    if (error.source != ErrorSource::Sqlite) return StoreFailure::Other;
    // An extended code keeps its primary code in its low byte.
    switch (error.code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return StoreFailure::Locked;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_FORMAT:
            return StoreFailure::Damaged;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return StoreFailure::ReadOnly;
        case SQLITE_CANTOPEN:
            return StoreFailure::NoFile;
        case SQLITE_NOTFOUND:
            return StoreFailure::RowMissing;
        default:
            return StoreFailure::Other;
    }
}

static_assert(NoSuchRow == SQLITE_NOTFOUND);

Status EasyDb::save(YsModel& record) {
    if (Status ready = ensureTable(); !ready) return ready.error();
    const bool insert = record._id < 1;
    const Result<SqliteStatement> statement = prepare(insert ? InsertSql : UpdateSql);
    if (!statement) return statement.error();
    sqlite3_stmt* s = statement->get();
    bindText(s, 1, record.ysname);
    sqlite3_bind_int(s, 2, record.ysindex);
    bindText(s, 3, record.ysnumber);
    sqlite3_bind_double(s, 4, record.ysday);
    sqlite3_bind_int(s, 5, record.gzsxid);
    bindText(s, 6, record.upstr);
    bindText(s, 7, record.downstr);
    bindText(s, 8, record.movingFlagsText());
    sqlite3_bind_int(s, 9, record.rot);
    bindText(s, 10, record.uinfo);
    if (!insert) sqlite3_bind_int64(s, 11, record._id);
    if (sqlite3_step(s) != SQLITE_DONE) return failure(insert ? "insert" : "update");
    if (insert) record._id = sqlite3_last_insert_rowid(db_.get());
    return success();
}

Result<YsModel> EasyDb::load(std::int64_t id) {
    if (Status ready = ensureTable(); !ready) return ready.error();
    const Result<SqliteStatement> statement = prepare(LoadSql);
    if (!statement) return statement.error();
    sqlite3_stmt* s = statement->get();
    sqlite3_bind_int64(s, 1, id);
    const int stepped = sqlite3_step(s);
    if (stepped == SQLITE_DONE)
        return Error{ErrorSource::Sqlite, SQLITE_NOTFOUND, "no saved result with id " + std::to_string(id)};
    if (stepped != SQLITE_ROW) return failure("load");
    YsModel record;
    record._id = sqlite3_column_int64(s, 0);
    record.ysname = columnText(s, 1);
    record.ysindex = sqlite3_column_int(s, 2);
    record.ysnumber = columnText(s, 3);
    record.ysday = sqlite3_column_double(s, 4);
    record.gzsxid = sqlite3_column_int(s, 5);
    record.upstr = columnText(s, 6);
    record.downstr = columnText(s, 7);
    record.setMovingFlagsText(columnText(s, 8));
    record.rot = sqlite3_column_int(s, 9);
    record.uinfo = columnText(s, 10);
    return record;
}

Status EasyDb::remove(std::int64_t id) {
    return remove(std::span(&id, 1));
}

// One transaction: a thousand rows cost one wait for the lock and one commit instead of a
// thousand, and keep other programs out for milliseconds instead of minutes. A failure part
// way rolls back, so the list the user sees is still what the database holds.
Status EasyDb::remove(std::span<const std::int64_t> ids) {
    if (Status ready = ensureTable(); !ready) return ready;
    const Result<SqliteStatement> statement = prepare(DeleteSql);
    if (!statement) return statement.error();
    if (Status begun = execute("BEGIN IMMEDIATE;", "delete"); !begun) return begun;
    sqlite3_stmt* s = statement->get();
    Status result = success();
    for (const std::int64_t id : ids) {
        sqlite3_bind_int64(s, 1, id);
        const bool done = sqlite3_step(s) == SQLITE_DONE;
        if (!done) result = failure("delete");
        sqlite3_reset(s);
        if (!done) break;
    }
    if (result) result = execute("COMMIT;", "delete");
    // A commit refused (still locked by a reader) leaves the transaction open.
    if (!sqlite3_get_autocommit(db_.get())) sqlite3_exec(db_.get(), "ROLLBACK;", nullptr, nullptr, nullptr);
    return result;
}

Status EasyDb::fillList(HistoryList& list) {
    list.clearItems();
    if (Status ready = ensureTable(); !ready) return ready;
    const Result<SqliteStatement> statement = prepare(listStatement());
    if (!statement) return statement.error();
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(statement->get())) == SQLITE_ROW) {
        list.appendItem(columnText(statement->get(), 1), sqlite3_column_int64(statement->get(), 0));
    }
    if (stepped != SQLITE_DONE) return failure("list");
    return success();
}

void EasyDb::shutdown() {
    sqlite3_shutdown();
}

}  // namespace orvenna
