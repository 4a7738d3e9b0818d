// A prepared statement on a real SQLite file: a bind that fails is reported by the step that
// follows it, and the step runs nothing.
#include "records/Statement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

#include "TempDirectory.h"
#include "base/PathText.h"

namespace orvenna {
namespace {

using ::testing::HasSubstr;

struct Connection {
    explicit Connection(const std::filesystem::path& path) {
        sqlite3_open(pathUtf8(path).c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE notes (id INTEGER, text TEXT);", nullptr, nullptr, nullptr);
        // A small length limit stands for a value too large for SQLite.
        sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 100);
    }
    ~Connection() { sqlite3_close(db); }
    int rows() const {
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM notes;", -1, &count, nullptr);
        sqlite3_step(count);
        const int n = sqlite3_column_int(count, 0);
        sqlite3_finalize(count);
        return n;
    }
    sqlite3* db = nullptr;
};

TEST(StatementTest, ABindThatFailsIsReportedByTheStepAndNothingRuns) {
    const TempDirectory home;
    const Connection connection(home.path() / "notes.db");
    const std::wstring tooLong(200, L'x');
    const struct Case {
        const char* name;
        std::function<void(Statement&)> bind;
        int code;  // 0: the insert runs
        const char* says;
    } cases[] = {
        {"every value bound",
         [](Statement& s) {
             s.bind(1, 1);
             s.bind(2, std::wstring_view(L"好"));
         },
         0, ""},
        {"a text too long",
         [&](Statement& s) {
             s.bind(1, 1);
             s.bind(2, tooLong);
         },
         SQLITE_TOOBIG, "insert: bind 2"},
        // The binds after it work, which once hid the failure: the row was stored without it.
        {"no such parameter",
         [](Statement& s) {
             s.bind(3, 1);
             s.bind(1, 1);
             s.bind(2, std::wstring_view(L"a"));
         },
         SQLITE_RANGE, "insert: bind 3"},
        // The first failure is the one reported, whatever the later binds do.
        {"two failures",
         [&](Statement& s) {
             s.bind(2, tooLong);
             s.bind(7, 1);
             s.bind(1, 1);
         },
         SQLITE_TOOBIG, "insert: bind 2"},
    };
    for (const Case& test : cases) {
        Result<Statement> insert = Statement::prepare(connection.db, "INSERT INTO notes VALUES (?1, ?2);");
        ASSERT_TRUE(insert);
        const int before = connection.rows();
        test.bind(*insert);
        if (test.code == 0) {
            EXPECT_EQ(insert->step(), Statement::Step::Done) << test.name;
            EXPECT_EQ(connection.rows(), before + 1) << test.name;
            continue;
        }
        EXPECT_EQ(insert->step(), Statement::Step::Failed) << test.name;
        EXPECT_EQ(connection.rows(), before) << test.name << ": a row was stored without its value";
        const Error failure = insert->failure("insert");
        EXPECT_EQ(failure.source, ErrorSource::Sqlite) << test.name;
        EXPECT_EQ(failure.code, test.code) << test.name;
        EXPECT_THAT(failure.message, HasSubstr(test.says)) << test.name;

        // Bound anew after a reset, the statement runs.
        insert->reset();
        insert->bind(1, 2);
        insert->bind(2, std::wstring_view(L"短"));
        EXPECT_EQ(insert->step(), Statement::Step::Done) << test.name;
        EXPECT_EQ(connection.rows(), before + 1) << test.name;
    }
}

TEST(StatementTest, TablesAndColumnsAreFoundByName) {
    const TempDirectory home;
    const Connection connection(home.path() / "notes.db");
    EXPECT_EQ(tableExists(connection.db, "notes", "look").value(), true);
    EXPECT_EQ(tableExists(connection.db, "Notes'", "look").value(), false);
    EXPECT_EQ(tableExists(nullptr, "notes", "look").error().source, ErrorSource::Sqlite);

    Result<Statement> select = Statement::prepare(connection.db, "SELECT text, id AS number FROM notes;");
    ASSERT_TRUE(select);
    EXPECT_EQ(select->columnIndex("text"), 0);
    EXPECT_EQ(select->columnIndex("number"), 1);
    EXPECT_EQ(select->columnIndex("id"), -1);
}

}  // namespace
}  // namespace orvenna
