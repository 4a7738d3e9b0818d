#include "records/EasyDb.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "ChildProcess.h"
#include "CollectedList.h"
#include "Expect.h"
#include "TempDirectory.h"

namespace orvenna {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

YsModel sample(const wchar_t* title, std::vector<int> dong = {0, 0, 0, 0, 0, 0}) {
    YsModel m;
    m.ysname = title;
    m.ysindex = 2;
    m.ysnumber = L"";
    m.ysday = 45382.5;
    m.gzsxid = 3;
    m.upstr = L"110";
    m.downstr = L"011";
    m.dong = std::move(dong);
    m.rot = 0;
    m.uinfo = L"备注";
    return m;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A second, raw connection, as another program (or another copy of this one) would hold.
struct RawDb {
    explicit RawDb(const std::filesystem::path& path) { sqlite3_open(utf8Path(path).c_str(), &db); }
    ~RawDb() { sqlite3_close(db); }
    int exec(const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }
    sqlite3* db = nullptr;
};

TEST(EasyDbTest, CreateStatementIsExact) {
    EXPECT_EQ(EasyDb::createTableStatement(),
              "CREATE TABLE tarv_table (_id integer primary key autoincrement,ysname VARCHAR(255) NOT NULL,"
              "ysindex INT(4) DEFAULT 0,ysnumber VARCHAR(32) NOT NULL,ysday DOUBLE DEFAULT 0,gzsxid INT(4) DEFAULT 0,"
              "upstr VARCHAR(3) DEFAULT null,downstr VARCHAR(3) DEFAULT null,dong VARHCAR(18) NOT NULL,"
              "rot INT(1) DEFAULT 0,uinfo TEXT DEFAULT null);");
    EXPECT_EQ(EasyDb::listStatement(), "SELECT _id,ysname From tarv_table ORDER BY _id DESC;");
}

TEST(EasyDbTest, FirstStartCreatesSecondStartOpens) {
    TempDirectory home;
    {
        EasyDb store(home.path() / "a" / "b");
        EXPECT_EQ(store.openState(), EasyDb::OpenState::Created);
        EXPECT_EQ(store.path(), home.path() / "a" / "b" / "src" / "data" / "ssq.db");
        YsModel m = sample(L"一");
        EXPECT_TRUE(store.save(m));
    }
    EasyDb again(home.path() / "a" / "b");
    EXPECT_EQ(again.openState(), EasyDb::OpenState::Opened);
    CollectedList list;
    ASSERT_TRUE(again.fillList(list));
    EXPECT_EQ(list.items.size(), 1u);
}

TEST(EasyDbTest, SaveLoadListUpdateRemove) {
    TempDirectory home;
    EasyDb store(home.path());
    YsModel first = sample(L"第一", {-1, 0, 0, 0, 0, 1});
    YsModel second = sample(L"第二");
    ASSERT_TRUE(store.save(first));
    ASSERT_TRUE(store.save(second));
    EXPECT_GT(second._id, first._id);

    CollectedList list;
    list.items.emplace_back(L"stale", 99);
    ASSERT_TRUE(store.fillList(list));
    EXPECT_THAT(list.items, ElementsAre(Pair(L"第二", second._id), Pair(L"第一", first._id)));

    const YsModel loaded = store.load(first._id).value();
    EXPECT_EQ(loaded, first);
    EXPECT_EQ(loaded.movingFlagsText(), L"-1,0,0,0,0,1");
    EXPECT_EQ(store.load(12345).error().code, NoSuchRow);

    first.ysname = L"改名";
    first.uinfo = L"";
    ASSERT_TRUE(store.save(first));  // an id of 1 or more updates its row
    EXPECT_EQ(store.load(first._id).value(), first);
    ASSERT_TRUE(store.fillList(list));
    EXPECT_EQ(list.items.size(), 2u);

    EXPECT_TRUE(store.remove(second._id));
    ASSERT_TRUE(store.fillList(list));
    EXPECT_THAT(list.items, ElementsAre(Pair(L"改名", first._id)));

    // Several rows at once, an id already gone among them.
    YsModel third = sample(L"第三");
    ASSERT_TRUE(store.save(third));
    const std::vector<std::int64_t> ids = {first._id, second._id, third._id};
    EXPECT_TRUE(store.remove(ids));
    ASSERT_TRUE(store.fillList(list));
    EXPECT_TRUE(list.items.empty());
}

// SQLite's row ids are 64 bits wide; one cut to 32 would name another row (2^32 + 5 is 5).
TEST(EasyDbTest, RowIdsBeyond32BitsAreKeptWhole) {
    TempDirectory home;
    { EasyDb create(home.path()); }
    {
        RawDb raw(home.path() / "src" / "data" / "ssq.db");
        ASSERT_EQ(raw.exec("INSERT INTO tarv_table (_id,ysname,ysnumber,dong) VALUES (5,'五','',''),"
                           "(2147483648,'二的三十一次方','',''),(4294967301,'大','','');"),
                  SQLITE_OK);
    }
    EasyDb store(home.path());
    YsModel next = sample(L"下一个");
    ASSERT_TRUE(store.save(next));
    EXPECT_EQ(next._id, 4294967302);

    CollectedList list;
    ASSERT_TRUE(store.fillList(list));
    EXPECT_THAT(list.items, ElementsAre(Pair(L"下一个", 4294967302), Pair(L"大", 4294967301),
                                        Pair(L"二的三十一次方", 2147483648), Pair(L"五", 5)));
    EXPECT_EQ(store.load(4294967301).value().ysname, L"大");
    EXPECT_EQ(store.load(2147483648).value()._id, 2147483648);

    next.ysname = L"改过";
    ASSERT_TRUE(store.save(next));  // updates its own row, not row 6
    EXPECT_EQ(store.load(4294967302).value().ysname, L"改过");
    EXPECT_EQ(store.load(6).error().code, NoSuchRow);

    ASSERT_TRUE(store.remove(4294967301));
    EXPECT_EQ(store.load(4294967301).error().code, NoSuchRow);
    EXPECT_EQ(store.load(5).value().ysname, L"五");
}

TEST(EasyDbTest, ForeignRowsAndDatabasesAreReadAsTheyAre) {
    TempDirectory home;
    const auto data = home.path() / "src" / "data";
    std::filesystem::create_directories(data);
    {
        RawDb raw(data / "ssq.db");
        ASSERT_EQ(raw.exec(EasyDb::createTableStatement()), SQLITE_OK);
        ASSERT_EQ(raw.exec("INSERT INTO tarv_table (ysname,ysnumber,dong) VALUES ('旧的','1234','0,0,0,1,0,0');"), 0);
        ASSERT_EQ(raw.exec("INSERT INTO tarv_table (ysname,ysnumber,dong,upstr,uinfo) "
                           "VALUES ('外来','', 'a,,-1, 2', NULL, NULL);"),
                  0);
    }
    EasyDb store(home.path());
    EXPECT_EQ(store.openState(), EasyDb::OpenState::Opened);
    CollectedList list;
    ASSERT_TRUE(store.fillList(list));
    EXPECT_THAT(list.items, ElementsAre(Pair(L"外来", 2), Pair(L"旧的", 1)));
    const YsModel foreign = store.load(2).value();
    EXPECT_EQ(foreign._id, 2);
    EXPECT_EQ(foreign.upstr, L"");
    EXPECT_EQ(foreign.uinfo, L"");
    EXPECT_EQ(foreign.dong, (std::vector<int>{0, -1, 2}));
    EXPECT_EQ(store.load(1).value().dong, (std::vector<int>{0, 0, 0, 1, 0, 0}));
}

// A first start cut short leaves ssq.db empty, or a database without the table: saving must
// work from the next start on, and nothing else in the file may change.
TEST(EasyDbTest, ADatabaseWithoutTheTableGetsIt) {
    TempDirectory home;
    const auto data = home.path() / "src" / "data";
    std::filesystem::create_directories(data);
    const auto tableSql = [&] {
        RawDb raw(data / "ssq.db");
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(raw.db, "SELECT sql FROM sqlite_master WHERE name='tarv_table';", -1, &statement, nullptr);
        std::string sql;
        if (sqlite3_step(statement) == SQLITE_ROW)
            sql = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return sql;
    };

    std::ofstream(data / "ssq.db", std::ios::binary).close();  // zero bytes
    {
        EasyDb store(home.path());
        EXPECT_EQ(store.openState(), EasyDb::OpenState::Opened);
        YsModel m = sample(L"空文件");
        const Status saved = store.save(m);
        ASSERT_TRUE(saved) << saved.error().message;
        CollectedList list;
        ASSERT_TRUE(store.fillList(list));
        EXPECT_THAT(list.items, ElementsAre(Pair(L"空文件", m._id)));
    }
    EXPECT_EQ(tableSql() + ";", EasyDb::createTableStatement());

    // Another table with its rows, and no tarv_table; the file is locked by another program
    // while the store opens, so the table comes with the first save instead.
    std::filesystem::remove(data / "ssq.db");
    {
        RawDb raw(data / "ssq.db");
        ASSERT_EQ(raw.exec("CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('keep me');"), SQLITE_OK);
        ASSERT_EQ(raw.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
        EasyDb store(home.path(), 3000);
        raw.exec("COMMIT;");
        YsModel m = sample(L"旁边");
        ASSERT_TRUE(store.save(m));
        EXPECT_EQ(store.load(m._id).value().ysname, L"旁边");
    }
    EXPECT_EQ(tableSql() + ";", EasyDb::createTableStatement());
    RawDb raw(data / "ssq.db");
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw.db, "SELECT group_concat(text) FROM notes;", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "keep me");
    sqlite3_finalize(statement);
}

TEST(EasyDbTest, AFileThatIsNotADatabaseIsLeftAlone) {
    TempDirectory home;
    const auto data = home.path() / "src" / "data";
    std::filesystem::create_directories(data);
    const std::string garbage = "these are somebody's notes, not a database\n";
    std::ofstream(data / "ssq.db", std::ios::binary) << garbage;

    EasyDb store(home.path());
    YsModel m = sample(L"新");
    EXPECT_FALSE(store.save(m).error().message.empty());
    CollectedList list;
    EXPECT_FALSE(store.fillList(list));
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(list.clears, 1);
    EXPECT_FALSE(store.load(1));
    EXPECT_FALSE(store.remove(1));
    store.close();
    EXPECT_EQ(fileText(data / "ssq.db"), garbage);
}

TEST(EasyDbTest, NoDirectoryMeansNoConnectionAndFailedSaves) {
    TempDirectory home;
    std::ofstream(home.path() / "src") << "a file where the data directory should be";
    EasyDb store(home.path());
    EXPECT_EQ(store.openState(), EasyDb::OpenState::Failed);
    YsModel m = sample(L"x");
    EXPECT_FAILS_WITH(store.save(m), ErrorSource::Sqlite, "no database connection");
}

TEST(EasyDbTest, ReadOnlyDataDirectoryFailsToSave) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores the read-only attribute of a folder: files can still be made in it";
#else
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
#endif
    TempDirectory home;
    { EasyDb create(home.path()); }
    std::filesystem::permissions(home.path() / "src" / "data",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EasyDb store(home.path());
    YsModel m = sample(L"x");
    EXPECT_FALSE(store.save(m));
}

TEST(EasyDbTest, ALockedDatabaseIsWaitedForThenFails) {
    TempDirectory home;
    { EasyDb create(home.path()); }
    RawDb other(home.path() / "src" / "data" / "ssq.db");
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE;"), SQLITE_OK);

    EasyDb impatient(home.path(), 50);
    YsModel m = sample(L"锁");
    const Status refused = impatient.save(m);
    EXPECT_FAILS_WITH(refused, ErrorSource::Sqlite, "locked");

    // A lock released within the busy time-out only delays the save.
    EasyDb patient(home.path(), 5000);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.exec("COMMIT;");
    });
    YsModel waited = sample(L"等");
    EXPECT_TRUE(patient.save(waited));
    release.join();
    EXPECT_EQ(patient.load(waited._id).value().ysname, L"等");
}

// A delete that fails part way, or whose commit another program's reader holds off, removes no
// row and leaves the connection outside any transaction.
TEST(EasyDbTest, AFailedDeleteRemovesNoRow) {
    TempDirectory home;
    EasyDb store(home.path(), 50);
    for (const wchar_t* title : {L"一", L"二", L"三"}) {
        YsModel m = sample(title);
        ASSERT_TRUE(store.save(m));
    }
    RawDb other(store.path());
    ASSERT_EQ(other.exec("CREATE TRIGGER keep BEFORE DELETE ON tarv_table WHEN old._id = 2 "
                         "BEGIN SELECT RAISE(ABORT, 'kept'); END;"),
              SQLITE_OK);
    const struct {
        std::vector<std::int64_t> ids;
        bool readerOpen;
    } cases[] = {{{1, 2}, false}, {{3, 1, 2}, false}, {{1, 3}, true}};
    for (const auto& [ids, readerOpen] : cases) {
        if (readerOpen) ASSERT_EQ(other.exec("BEGIN; SELECT count(*) FROM tarv_table;"), SQLITE_OK);
        EXPECT_FALSE(store.remove(ids)) << ids.size() << " ids";
        if (readerOpen) ASSERT_EQ(other.exec("COMMIT;"), SQLITE_OK);
        CollectedList list;
        ASSERT_TRUE(store.fillList(list));
        EXPECT_EQ(list.items.size(), 3u) << ids.size() << " ids";
    }
    EXPECT_TRUE(store.remove(std::vector<std::int64_t>{1, 3}));
}

// A store failure is read from SQLite's codes alone: the system's EIO is SQLite's BUSY by number.
TEST(EasyDbTest, OnlySqlitesCodesNameAStoreFailure) {
    const std::pair<Error, StoreFailure> cases[] = {
        {{ErrorSource::Sqlite, SQLITE_BUSY, ""}, StoreFailure::Locked},
        {{ErrorSource::Sqlite, SQLITE_BUSY_SNAPSHOT, ""}, StoreFailure::Locked},
        {{ErrorSource::Sqlite, SQLITE_CORRUPT_INDEX, ""}, StoreFailure::Damaged},
        {{ErrorSource::Sqlite, SQLITE_READONLY_DBMOVED, ""}, StoreFailure::ReadOnly},
        {{ErrorSource::Sqlite, NoSuchRow, ""}, StoreFailure::RowMissing},
        {{ErrorSource::System, SQLITE_BUSY, ""}, StoreFailure::Other},
        {{ErrorSource::Program, SQLITE_CANTOPEN, ""}, StoreFailure::Other},
    };
    for (const auto& [error, failure] : cases) EXPECT_EQ(storeFailure(error), failure) << error.code;

    TempDirectory home;
    EasyDb store(home.path());
    EXPECT_EQ(store.load(1).error().source, ErrorSource::Sqlite);
    store.close();
    YsModel m = sample(L"x");
    EXPECT_EQ(storeFailure(store.save(m).error()), StoreFailure::NoFile);
}

// A value SQLite cannot take fails the save with SQLite's reason and changes no row: a note
// too long to bind must not be saved as no note.
TEST(EasyDbTest, AValueSqliteCannotTakeFailsTheSaveAndKeepsTheRow) {
    TempDirectory home;
    EasyDb store(home.path());
    YsModel saved = sample(L"一");
    ASSERT_TRUE(store.save(saved));
    // A small length limit stands for a note larger than SQLite takes.
    sqlite3_limit(store.connection(), SQLITE_LIMIT_LENGTH, 1000);
    const std::wstring longNote(1000, L'注');

    YsModel changed = saved;
    changed.uinfo = longNote;
    const Status updated = store.save(changed);
    ASSERT_FALSE(updated);
    EXPECT_EQ(updated.error().source, ErrorSource::Sqlite);
    EXPECT_EQ(updated.error().code, SQLITE_TOOBIG);
    EXPECT_THAT(updated.error().message, HasSubstr("update: bind 10"));
    EXPECT_EQ(store.load(saved._id).value(), saved);

    YsModel added = sample(L"二");
    added.uinfo = longNote;
    EXPECT_EQ(store.save(added).error().code, SQLITE_TOOBIG);
    CollectedList list;
    ASSERT_TRUE(store.fillList(list));
    EXPECT_THAT(list.items, ElementsAre(Pair(L"一", saved._id)));
}

// In a child: saves a row in the store of `home`, tells its id, and waits to be killed with the
// connection still open.
const ChildRole saveAndWait("EasyDb.saveAndWait", [](const std::filesystem::path& home) {
    EasyDb store(home);
    YsModel m = sample(L"幸存");
    const int id = store.save(m) ? m._id : -1;
    announce(home / "saved-id", std::to_string(id));
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    return 0;
});

TEST(EasyDbTest, ASavedRowSurvivesTheProcessBeingKilled) {
    TempDirectory home;
    ChildProcess child = ChildProcess::role("EasyDb.saveAndWait", home.path());
    ASSERT_TRUE(child.started());
    const std::optional<std::string> id = announcement(home.path() / "saved-id");
    child.kill();
    ASSERT_TRUE(id.has_value()) << "the child never saved";
    ASSERT_GT(std::stoi(*id), 0);
    EasyDb store(home.path());
    EXPECT_EQ(store.load(std::stoi(*id)).value().ysname, L"幸存");
}

}  // namespace
}  // namespace orvenna
