#include "ui/words/StoreReason.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "records/EasyDb.h"

namespace orvenna {
namespace {

// A store's failure in the words of someone who can act on it: extended codes by their
// primary code, and a code of another source never taken for SQLite's.
TEST(StoreReasonTest, EachFailureHasItsReason) {
    const struct {
        Error error;
        std::wstring_view said;
    } rows[] = {
        {{ErrorSource::Sqlite, SQLITE_BUSY, "database is locked"}, L"数据库正被其他程序使用"},
        {{ErrorSource::Sqlite, SQLITE_BUSY_SNAPSHOT, ""}, L"数据库正被其他程序使用"},
        {{ErrorSource::Sqlite, SQLITE_LOCKED, ""}, L"数据库正被其他程序使用"},
        {{ErrorSource::Sqlite, SQLITE_CORRUPT, ""}, L"数据库已损坏"},
        {{ErrorSource::Sqlite, SQLITE_NOTADB, ""}, L"数据库已损坏"},
        {{ErrorSource::Sqlite, SQLITE_READONLY_DBMOVED, ""}, L"数据库只读,无法写入"},
        {{ErrorSource::Sqlite, SQLITE_CANTOPEN, ""}, L"无法打开数据库"},
        {{ErrorSource::Sqlite, NoSuchRow, ""}, L"该记录已不存在"},
        {{ErrorSource::Sqlite, SQLITE_FULL, ""}, L"数据库出错"},
        {{ErrorSource::System, SQLITE_BUSY, ""}, L"数据库出错"},
    };
    for (const auto& row : rows) EXPECT_EQ(storeReason(row.error), row.said) << row.error.code;
    EXPECT_EQ(SaveFailedText, L"保存失败");
}

}  // namespace
}  // namespace orvenna
