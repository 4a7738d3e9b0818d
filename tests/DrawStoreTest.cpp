#include "records/DrawStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TempDirectory.h"
#include "base/DayCount.h"

namespace orvenna {
namespace {

Draw draw(const wchar_t* period, const char* date, std::array<int, 6> front, int blue) {
    return {*parseDate(std::wstring(date, date + 10)), period, front, blue};
}

std::vector<std::wstring> periods(const std::vector<StoredDraw>& stored) {
    std::vector<std::wstring> out;
    for (const StoredDraw& s : stored) out.push_back(s.draw.period);
    return out;
}

TEST(DrawStoreTest, EachPeriodIsStoredOnceAndADisagreeingOneIsReportedNotTaken) {
    TempDirectory home;
    EasyDb db(home.path());
    DrawStore store(db);
    ASSERT_TRUE(store.list());
    EXPECT_TRUE(store.list()->empty()) << "no table yet: no draws, no failure";

    const Draw fetched = draw(L"25140", "2025-12-02", {1, 2, 3, 4, 5, 6}, 12);
    Result<DrawStoreReport> first = store.store({&fetched, 1}, DrawOrigin::Fetched, L"2025-12-02 21:40:00");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->added, 1);

    const std::vector<Draw> imported = {
        draw(L"25141", "2025-12-05", {0, 0, 0, 0, 0, 0}, 0),
        fetched,                                               // the same again
        draw(L"25140", "2025-12-02", {1, 2, 3, 4, 5, 6}, 11),  // another blue number
        draw(L"25139", "2025-11-30", {9, 9, 9, 9, 9, 9}, 14),
    };
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Result<DrawStoreReport> report = store.store(imported, DrawOrigin::Imported, L"2025-12-06 10:00:00");
        ASSERT_TRUE(report);
        EXPECT_EQ(report->added, run == 0 ? 2 : 0);
        EXPECT_EQ(report->unchanged, run == 0 ? 1 : 3);
        ASSERT_EQ(report->conflicts.size(), 1u);
        EXPECT_EQ(report->conflicts[0].index, 2u);
        EXPECT_EQ(report->conflicts[0].stored.draw, fetched);
        EXPECT_EQ(report->conflicts[0].stored.source, DrawOrigin::Fetched);
    }
    Result<std::vector<StoredDraw>> listed = store.list();
    ASSERT_TRUE(listed);
    EXPECT_EQ(periods(*listed), (std::vector<std::wstring>{L"25139", L"25140", L"25141"}));
    EXPECT_EQ((*listed)[1].draw, fetched);
    EXPECT_EQ((*listed)[1].storedAt, L"2025-12-02 21:40:00");
    EXPECT_EQ((*listed)[0].source, DrawOrigin::Imported);
    EXPECT_EQ(drawNumbersText((*listed)[0].draw), L"999999+14");
    const Result<std::vector<Draw>> draws = store.draws();
    ASSERT_TRUE(draws);
    ASSERT_EQ(draws->size(), 3u);
    EXPECT_EQ((*draws)[1], fetched);
}

// One draw a day: a new period for a stored date is reported beside the draw stored for it,
// within one call as across calls and in the file as reopened; a fetched draw goes through
// the draw rules first and keeps its period in the five-digit form.
TEST(DrawStoreTest, EachDateIsStoredOnceAndAnotherPeriodForItIsReportedNotTaken) {
    TempDirectory home;
    const Draw tuesday = draw(L"26139", "2026-12-01", {1, 2, 3, 4, 5, 6}, 7);
    const Draw friday = draw(L"26140", "2026-12-04", {2, 2, 2, 2, 2, 2}, 2);
    {
        EasyDb db(home.path());
        DrawStore store(db);
        ASSERT_TRUE(store.store({&tuesday, 1}, DrawOrigin::Fetched, L"2026-12-01 21:40:00"));
        const std::vector<Draw> offered = {
            draw(L"26150", "2026-12-01", {0, 0, 0, 0, 0, 0}, 0),          // another period, a stored date
            friday, draw(L"26141", "2026-12-04", {2, 2, 2, 2, 2, 2}, 2),  // the date stored just before
            draw(L"26139", "2026-12-06", {1, 2, 3, 4, 5, 6}, 7),          // a stored period, another date
        };
        const Result<DrawStoreReport> report = store.store(offered, DrawOrigin::Imported, L"2026-12-08 10:00:00");
        ASSERT_TRUE(report);
        EXPECT_EQ(report->added, 1);
        ASSERT_EQ(report->conflicts.size(), 3u);
        EXPECT_EQ(report->conflicts[0].index, 0u);
        EXPECT_EQ(report->conflicts[0].clash, DrawClash::Date);
        EXPECT_EQ(report->conflicts[0].stored.draw, tuesday);
        EXPECT_EQ(report->conflicts[1].index, 2u);
        EXPECT_EQ(report->conflicts[1].clash, DrawClash::Date);
        EXPECT_EQ(report->conflicts[1].stored.draw, friday);
        EXPECT_EQ(report->conflicts[2].clash, DrawClash::Period);
    }
    EasyDb db(home.path());
    const CastClock sunday{*parseDate(L"2026-12-06") + 0.9, 0, -480};
    const Result<FetchedDraw> again = keepFetchedDraw(db, draw(L"2026151", "2026-12-01", {}, 0), sunday);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->draw.period, L"26151");
    ASSERT_TRUE(again->conflict);
    EXPECT_EQ(again->conflict->clash, DrawClash::Date);
    EXPECT_EQ(again->conflict->stored.draw, tuesday);
    const Result<FetchedDraw> early = keepFetchedDraw(db, draw(L"26142", "2026-12-08", {}, 0), sunday);
    ASSERT_TRUE(early);
    EXPECT_EQ(early->refusal, DrawRefusal::AfterToday);
    const Result<FetchedDraw> sevenDigits = keepFetchedDraw(db, draw(L"2026141", "2026-12-06", {}, 3), sunday);
    ASSERT_TRUE(sevenDigits);
    EXPECT_EQ(sevenDigits->refusal, DrawRefusal::None);
    EXPECT_FALSE(sevenDigits->conflict);

    const Result<std::vector<StoredDraw>> listed = DrawStore(db).list();
    ASSERT_TRUE(listed);
    EXPECT_EQ(periods(*listed), (std::vector<std::wstring>{L"26139", L"26140", L"26141"}));
    EXPECT_EQ((*listed)[2].source, DrawOrigin::Fetched);
}

TEST(DrawStoreTest, AFailurePartWayStoresNothing) {
    TempDirectory home;
    EasyDb db(home.path());
    ASSERT_EQ(sqlite3_exec(db.connection(), DrawStore::createTableStatement().c_str(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db.connection(),
                           "CREATE TRIGGER refuse BEFORE INSERT ON draws WHEN NEW.period='2' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    DrawStore store(db);
    const std::vector<Draw> draws = {draw(L"1", "2025-01-01", {}, 0), draw(L"2", "2025-01-03", {}, 0),
                                     draw(L"3", "2025-01-05", {}, 0)};
    const Result<DrawStoreReport> report = store.store(draws, DrawOrigin::Imported, L"2025-01-06 00:00:00");
    ASSERT_FALSE(report);
    EXPECT_EQ(report.error().source, ErrorSource::Sqlite);
    EXPECT_TRUE(store.list()->empty());
    EXPECT_EQ(db.connection() ? sqlite3_get_autocommit(db.connection()) : 0, 1) << "the transaction was ended";
}

}  // namespace
}  // namespace orvenna
