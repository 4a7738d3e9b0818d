#include "EasyDb.h"

#include <sqlite3.h>

#include <array>
#include <system_error>

#include "Statement.h"
#include "Transaction.h"
#include "base/PathText.h"

namespace orvenna {

void SqliteCloser::operator()(sqlite3* db) const noexcept {
    sqlite3_close_v2(db);
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
constexpr const char* LoadAllSql =
    "SELECT _id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo FROM tarv_table ORDER BY _id DESC;";
constexpr const char* DeleteSql = "DELETE FROM tarv_table WHERE _id=?;";

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

// Only a table that is missing is created: rows and other tables in the file stay as they
// are. A file that cannot be read (not a database, locked) is left alone and asked again
// by the next operation; that operation fails at once with the reason, so a lock is waited
// for once, not once here and again by the statement.
Status EasyDb::ensureTable() {
    if (tableFound_) return success();
    const Result<bool> found = tableExists(db_.get(), Table, "read");
    if (!found) return found.error();
    if (*found) {
        tableFound_ = true;
        return success();
    }
    if (Status created = executeSql(db_.get(), createTableStatement().c_str(), "create table"); !created)
        return created;
    tableFound_ = true;
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
    Result<Statement> prepared = Statement::prepare(db_.get(), insert ? InsertSql : UpdateSql);
    if (!prepared) return prepared.error();
    Statement& statement = *prepared;
    statement.bind(1, record.ysname);
    statement.bind(2, record.ysindex);
    statement.bind(3, record.ysnumber);
    statement.bind(4, record.ysday);
    statement.bind(5, record.gzsxid);
    statement.bind(6, record.upstr);
    statement.bind(7, record.downstr);
    statement.bind(8, record.movingFlagsText());
    statement.bind(9, record.rot);
    statement.bind(10, record.uinfo);
    if (!insert) statement.bind(11, record._id);
    if (statement.step() != Statement::Step::Done) return statement.failure(insert ? "insert" : "update");
    if (insert) record._id = statement.insertedRowId();
    return success();
}

namespace {

// Where a statement's rows hold each column of a record, looked up once for all its rows.
struct RecordColumns {
    explicit RecordColumns(const Statement& statement)
        : id(statement.columnIndex("_id")),
          ysname(statement.columnIndex("ysname")),
          ysindex(statement.columnIndex("ysindex")),
          ysnumber(statement.columnIndex("ysnumber")),
          ysday(statement.columnIndex("ysday")),
          gzsxid(statement.columnIndex("gzsxid")),
          upstr(statement.columnIndex("upstr")),
          downstr(statement.columnIndex("downstr")),
          dong(statement.columnIndex("dong")),
          rot(statement.columnIndex("rot")),
          uinfo(statement.columnIndex("uinfo")) {}
    int id, ysname, ysindex, ysnumber, ysday, gzsxid, upstr, downstr, dong, rot, uinfo;
};

void readRecord(const Statement& statement, const RecordColumns& at, YsModel& record) {
    record._id = statement.columnInt64(at.id);
    record.ysname = statement.columnText(at.ysname);
    record.ysindex = statement.columnInt(at.ysindex);
    record.ysnumber = statement.columnText(at.ysnumber);
    record.ysday = statement.columnDouble(at.ysday);
    record.gzsxid = statement.columnInt(at.gzsxid);
    record.upstr = statement.columnText(at.upstr);
    record.downstr = statement.columnText(at.downstr);
    record.setMovingFlagsText(statement.columnText(at.dong));
    record.rot = statement.columnInt(at.rot);
    record.uinfo = statement.columnText(at.uinfo);
}

}  // namespace

Result<YsModel> EasyDb::load(std::int64_t id) {
    if (Status ready = ensureTable(); !ready) return ready.error();
    Result<Statement> prepared = Statement::prepare(db_.get(), LoadSql);
    if (!prepared) return prepared.error();
    Statement& statement = *prepared;
    statement.bind(1, id);
    const Statement::Step stepped = statement.step();
    if (stepped == Statement::Step::Done)
        return Error{ErrorSource::Sqlite, SQLITE_NOTFOUND, "no saved result with id " + std::to_string(id)};
    if (stepped != Statement::Step::Row) return statement.failure("load");
    YsModel record;
    readRecord(statement, RecordColumns(statement), record);
    return record;
}

Status EasyDb::forEachRecord(const std::function<void(const YsModel&)>& visit) {
    if (Status ready = ensureTable(); !ready) return ready;
    Result<Statement> prepared = Statement::prepare(db_.get(), LoadAllSql);
    if (!prepared) return prepared.error();
    const RecordColumns at(*prepared);
    YsModel record;
    Statement::Step stepped;
    while ((stepped = prepared->step()) == Statement::Step::Row) {
        readRecord(*prepared, at, record);
        visit(record);
    }
    if (stepped != Statement::Step::Done) return prepared->failure("read");
    return success();
}

Status EasyDb::remove(std::int64_t id) {
    return remove(std::span(&id, 1));
}

// One transaction: a thousand rows cost one wait for the lock and one commit instead of a
// thousand, and keep other programs out for milliseconds instead of minutes. A failure part
// way rolls back, so the list the user sees is still what the database holds.
Status EasyDb::remove(std::span<const std::int64_t> ids) {
    if (Status ready = ensureTable(); !ready) return ready;
    Result<Statement> prepared = Statement::prepare(db_.get(), DeleteSql);
    if (!prepared) return prepared.error();
    Statement& statement = *prepared;
    Result<Transaction> transaction = Transaction::begin(db_.get(), "delete");
    if (!transaction) return transaction.error();
    for (const std::int64_t id : ids) {
        statement.bind(1, id);
        if (statement.step() != Statement::Step::Done) return statement.failure("delete");
        statement.reset();
    }
    return transaction->commit("delete");
}

Status EasyDb::fillList(HistoryList& list) {
    list.clearItems();
    if (Status ready = ensureTable(); !ready) return ready;
    Result<Statement> prepared = Statement::prepare(db_.get(), listStatement());
    if (!prepared) return prepared.error();
    Statement& statement = *prepared;
    const int id = statement.columnIndex(Columns[0].name), title = statement.columnIndex(Columns[1].name);
    Statement::Step stepped = Statement::Step::Row;
    while ((stepped = statement.step()) == Statement::Step::Row)
        list.appendItem(statement.columnText(title), statement.columnInt64(id));
    if (stepped != Statement::Step::Done) return statement.failure("list");
    return success();
}

void EasyDb::shutdown() {
    sqlite3_shutdown();
}

}  // namespace orvenna
