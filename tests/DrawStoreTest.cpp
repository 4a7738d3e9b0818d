#include "records/DrawStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "TempDirectory.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/CastPipeline.h"
#include "records/CastHistory.h"
#include "records/Statement.h"
#include "records/StoredReview.h"

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
    const std::int64_t today = daysFromCivil(2025, 12, 6);
    ASSERT_TRUE(store.list(today));
    EXPECT_TRUE(store.list(today)->empty()) << "no table yet: no draws, no failure";

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
    Result<std::vector<StoredDraw>> listed = store.list(today);
    ASSERT_TRUE(listed);
    EXPECT_EQ(periods(*listed), (std::vector<std::wstring>{L"25139", L"25140", L"25141"}));
    EXPECT_EQ((*listed)[1].draw, fetched);
    EXPECT_EQ((*listed)[1].storedAt, L"2025-12-02 21:40:00");
    EXPECT_EQ((*listed)[0].source, DrawOrigin::Imported);
    EXPECT_EQ(drawNumbersText((*listed)[0].draw), L"999999+14");
    const Result<std::vector<Draw>> draws = store.draws(today);
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
    const Result<FetchedDraw> again = keepFetchedDraw(db, draw(L"2026138", "2026-12-01", {}, 0), sunday);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->draw.period, L"26138");
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

    const Result<std::vector<StoredDraw>> listed = DrawStore(db).list(daysFromCivil(2026, 12, 6));
    ASSERT_TRUE(listed);
    EXPECT_EQ(periods(*listed), (std::vector<std::wstring>{L"26139", L"26140", L"26141"}));
    EXPECT_EQ((*listed)[2].source, DrawOrigin::Fetched);
}

// Rows as an older version stored them, without the draw rules: each as the statement gives it.
void storeUnchecked(EasyDb& db, const char* period, const char* date) {
    const std::string sql = std::string("INSERT INTO draws(period,draw_date,front,blue,source,stored_at) VALUES('") +
                            period + "','" + date + "','123456',7,'imported','2026-12-01 00:00:00')";
    ASSERT_EQ(sqlite3_exec(db.connection(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
}

std::string ignoredName(const std::optional<DrawIgnored>& ignored) {
    if (!ignored) return "used";
    if (ignored->refusal == DrawRefusal::None) return "date of " + toUtf8(ignored->datePeriod);
    return "refused " + std::to_string(static_cast<int>(ignored->refusal));
}

std::string refused(DrawRefusal reason) {
    return "refused " + std::to_string(static_cast<int>(reason));
}

// A file an older version wrote holds rows the rules refuse, and two periods for a date: every
// row is listed with why it is ignored, and the casts are scored against the rest alone, the
// first stored of a date, as the rules stand on the day of reading.
TEST(DrawStoreTest, RowsAnOlderVersionStoredAreReadByTheRulesOfTheDay) {
    TempDirectory home;
    EasyDb db(home.path());
    ASSERT_EQ(sqlite3_exec(db.connection(), DrawStore::createTableStatement().c_str(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    struct Row {
        const char* period;
        const char* date;
        std::string ignored;  // on Wednesday 2026-12-09
    } const rows[] = {
        // In the order they were stored.
        {"26139", "2026-12-01", "used"},
        {"26150", "2026-12-04", refused(DrawRefusal::PeriodNumber)},  // Friday's is at most 145
        {"26140", "2026-12-04", "used"},                              // the first lawful one of its date
        {"26142", "2026-12-06", "used"},
        {"26141", "2026-12-06", "date of 26142"},  // listed first, stored later
        {"26145", "2026-12-11", refused(DrawRefusal::AfterToday)},
        {"25144", "2026-12-08", refused(DrawRefusal::PeriodYear)},
        {"2026143", "2026-12-08", "used"},  // the seven-digit form an older version kept
        {"26144", "2026-12-09", refused(DrawRefusal::NoDrawDay)},
        {"1", "2026-12-01", refused(DrawRefusal::PeriodForm)},
        {"26000", "2026-12-01", refused(DrawRefusal::PeriodNumber)},
        {"26146", "someday", refused(DrawRefusal::PeriodYear)},  // a date that is none reads as 1899-12-30
    };
    for (const Row& row : rows) storeUnchecked(db, row.period, row.date);
    DrawStore store(db);
    const std::int64_t wednesday = daysFromCivil(2026, 12, 9);

    const Result<std::vector<StoredDraw>> listed = store.list(wednesday);
    ASSERT_TRUE(listed) << listed.error().message;
    ASSERT_EQ(listed->size(), std::size(rows));
    std::vector<std::wstring> used;
    for (const StoredDraw& stored : *listed) {
        const Row* row = std::find_if(std::begin(rows), std::end(rows),
                                      [&](const Row& r) { return fromUtf8(r.period) == stored.draw.period; });
        ASSERT_NE(row, std::end(rows));
        EXPECT_EQ(ignoredName(stored.ignored), row->ignored) << row->period;
        if (!stored.ignored) used.push_back(stored.draw.period);
    }
    const Result<std::vector<Draw>> draws = store.draws(wednesday);
    ASSERT_TRUE(draws);
    std::vector<std::wstring> read;
    for (const Draw& draw : *draws) read.push_back(draw.period);
    EXPECT_EQ(read, used);
    EXPECT_EQ(read, (std::vector<std::wstring>{L"26139", L"26140", L"26142", L"2026143"}));

    // Friday's draw counts once Friday has come, and a cast for it is scored then, not before.
    const Result<std::vector<Draw>> onFriday = store.draws(daysFromCivil(2026, 12, 11));
    ASSERT_TRUE(onFriday);
    ASSERT_EQ(onFriday->size(), 5u);
    EXPECT_EQ(onFriday->back().period, L"26145");
    CastResult cast;
    ASSERT_TRUE(castAnalysis(numberRequest(L"1234", 7, at(2026, 12, 10, 20, 0)), cast));
    ASSERT_TRUE(CastHistory(db).save(cast.analysis.record, L"friday", L""));
    const Result<CastReview> early = reviewCasts(db, CastClock{at(2026, 12, 9, 23, 0), 0, -480});
    ASSERT_TRUE(early);
    EXPECT_EQ(early->casts[0].match, DrawMatch::Pending);
    const Result<CastReview> late = reviewCasts(db, CastClock{at(2026, 12, 11, 22, 0), 0, -480});
    ASSERT_TRUE(late);
    EXPECT_EQ(late->casts[0].match, DrawMatch::Matched);
    EXPECT_EQ(late->casts[0].draw.period, L"26145");
}

// A wrong draw is mended by deleting its period, in either form, whatever form it was stored
// in; then the right draw of its date can be stored. A period not stored is told apart.
TEST(DrawStoreTest, AWrongDrawIsDeletedByItsPeriod) {
    TempDirectory home;
    EasyDb db(home.path());
    DrawStore store(db);
    const Status none = store.remove(L"26139");
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().code, NoSuchRow) << "no table: nothing of that period";
    const Result<bool> made = tableExists(db.connection(), "draws", "test");
    ASSERT_TRUE(made);
    EXPECT_FALSE(*made) << "looking made no table";

    const Draw wrong = draw(L"26139", "2026-12-01", {9, 9, 9, 9, 9, 9}, 9);
    const Draw friday = draw(L"26140", "2026-12-04", {2, 2, 2, 2, 2, 2}, 2);
    ASSERT_TRUE(store.store(std::vector<Draw>{wrong, friday}, DrawOrigin::Imported, L"2026-12-05 10:00:00"));
    storeUnchecked(db, "2026140", "2026-12-04");

    for (const wchar_t* bad : {L"26141", L"2026141", L"139", L"abcde", L"", L"026139"}) {
        const Status removed = store.remove(bad);
        ASSERT_FALSE(removed);
        EXPECT_EQ(removed.error().code, NoSuchRow) << toUtf8(bad);
        EXPECT_EQ(store.list(daysFromCivil(2026, 12, 5))->size(), 3u);
    }
    const Result<std::vector<StoredDraw>> both = store.ofPeriod(L"2026140");
    ASSERT_TRUE(both);
    EXPECT_EQ(periods(*both), (std::vector<std::wstring>{L"2026140", L"26140"}));
    ASSERT_TRUE(store.remove(L"2026140"));
    ASSERT_TRUE(store.remove(L"2026139"));
    EXPECT_TRUE(store.list(daysFromCivil(2026, 12, 5))->empty());
    EXPECT_EQ(store.remove(L"26139").error().code, NoSuchRow) << "gone already";

    const CastClock saturday{at(2026, 12, 5, 10, 0), 0, -480};
    const Result<DrawImport> mended = importDraws(db, "26139,2026-12-01,123456+7", saturday);
    ASSERT_TRUE(mended);
    EXPECT_EQ(mended->report.added, 1);
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
    EXPECT_TRUE(store.list(daysFromCivil(2025, 1, 6))->empty());
    EXPECT_EQ(db.connection() ? sqlite3_get_autocommit(db.connection()) : 0, 1) << "the transaction was ended";
}

}  // namespace
}  // namespace orvenna
