// Speed of the record store on a real file: save, load, filling a list of 10,000, and
// deleting 100,000 rows at once; and 10,000 saved casts reviewed against 1,000 draws.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cwchar>
#include <filesystem>
#include <vector>

#include "base/DayCount.h"
#include "engine/ChanceTest.h"
#include "engine/DrawRules.h"
#include "records/DrawStore.h"
#include "records/EasyDb.h"
#include "records/StoredReview.h"

namespace orvenna {
namespace {

class CountedList : public HistoryList {
public:
    void clearItems() override { count = 0, ids.clear(); }
    void appendItem(std::wstring_view, std::int64_t id) override { ++count, ids.push_back(id); }
    int count = 0;
    std::vector<std::int64_t> ids;
};

std::filesystem::path freshHome(const char* name) {
    const auto home = std::filesystem::temp_directory_path() / ("orvenna_bench_" + std::to_string(getpid()) + name);
    std::filesystem::remove_all(home);
    return home;
}

YsModel sample() {
    YsModel m;
    m.ysname = L"测试(2024年3月31日21时25分30秒)";
    m.ysindex = 2;
    m.ysday = 45382.5;
    m.gzsxid = 3;
    m.upstr = L"110";
    m.downstr = L"011";
    m.dong = {1, 0, 0, 0, 0, -1};
    m.uinfo = L"备注";
    return m;
}

// Each save is its own committed (synced) transaction, as in the window.
void saveRecord(benchmark::State& state) {
    const auto home = freshHome("save");
    EasyDb store(home);
    for (auto _ : state) {
        YsModel m = sample();
        if (!store.save(m)) state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(home);
}
BENCHMARK(saveRecord)->Unit(benchmark::kMicrosecond);

void loadRecord(benchmark::State& state) {
    const auto home = freshHome("load");
    EasyDb store(home);
    YsModel m = sample();
    if (!store.save(m)) state.SkipWithError("save failed");
    for (auto _ : state) benchmark::DoNotOptimize(store.load(m._id));
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(home);
}
BENCHMARK(loadRecord)->Unit(benchmark::kMicrosecond);

// The rows go in through one transaction of a second connection, so that only what the store
// does is timed.
void insertRows(const std::filesystem::path& home, int count) {
    sqlite3* raw = nullptr;
    sqlite3_open((home / "src" / "data" / "ssq.db").c_str(), &raw);
    sqlite3_exec(raw, "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw,
                       "INSERT INTO tarv_table (ysname,ysnumber,dong) "
                       "VALUES ('测试(2024年3月31日21时25分30秒)','1234','0,0,0,1,0,0');",
                       -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

void listTenThousand(benchmark::State& state) {
    const auto home = freshHome("list");
    { EasyDb create(home); }
    insertRows(home, 10000);
    EasyDb store(home);
    CountedList list;
    for (auto _ : state) {
        if (!store.fillList(list) || list.count != 10000) state.SkipWithError("wrong count");
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(listTenThousand)->Unit(benchmark::kMillisecond);

// "全选" and "删除" over 100,000 saved results: every row goes in one transaction.
void deleteHundredThousand(benchmark::State& state) {
    constexpr int Rows = 100'000;
    const auto home = freshHome("delete");
    EasyDb store(home);
    CountedList list;
    for (auto _ : state) {
        state.PauseTiming();
        insertRows(home, Rows);
        if (!store.fillList(list)) {
            state.SkipWithError("the rows cannot be listed");
            break;
        }
        const std::vector<std::int64_t> ids = list.ids;
        state.ResumeTiming();
        const Status removed = store.remove(ids);
        state.PauseTiming();
        const Status listed = store.fillList(list);
        if (!removed || !listed || list.count != 0) {
            state.SkipWithError(removed ? "rows left" : removed.error().message.c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
    std::filesystem::remove_all(home);
}
BENCHMARK(deleteHundredThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every saved cast scored against its draw: 10,000 casts (number castings, a cast every few
// hours over about nine years) and 1,000 stored draws, each suggestion recomputed as a replay
// at its cast time (the suggestion alone: no report, no result text). reviewStored adds
// reading both from the file.
std::vector<YsModel> tenThousandCasts() {
    std::vector<YsModel> casts(10'000);
    const double first = dayCountFromFields({2017, 1, 1, 8, 0, 0, 0, 0});
    for (std::size_t i = 0; i < casts.size(); ++i) {
        YsModel& m = casts[i];
        m._id = static_cast<std::int64_t>(i + 1);
        m.ysindex = 1;
        m.ysnumber = std::to_wstring(1000 + i * 37);
        m.ysday = first + static_cast<double>(i) * 0.33;
        m.gzsxid = static_cast<int>(i % 12) + 1;
        m.ysname = L"第" + std::to_wstring(i);
    }
    return casts;
}

// Each with a period the draw rules take: its year and its number among the year's draw days.
std::vector<Draw> thousandDraws(const std::vector<YsModel>& casts) {
    std::vector<Draw> draws;
    for (const YsModel& cast : casts) {
        if (draws.size() == 1000) break;
        const std::int64_t day = drawDayOf(cast.ysday);
        if (!draws.empty() && draws.back().day == day) continue;
        const int year = fieldsFromDayCount(static_cast<double>(day)).year;
        const int period = year % 100 * 1000 + drawDaysOfYearUpTo(day);
        draws.push_back({day, std::to_wstring(period), {1, 2, 3, 4, 5, 6}, static_cast<int>(day % 15)});
    }
    return draws;
}

// Saved casts reviewed against the stored draws, each suggestion recomputed as a replay at its
// cast time: 10,000 casts, and 2,000 with and without the test of the totals against chance,
// reckoned once after them, as the window and `history stats` do.
void reviewCastsBench(benchmark::State& state) {
    std::vector<YsModel> casts = tenThousandCasts();
    casts.resize(static_cast<std::size_t>(state.range(0)));
    const std::vector<Draw> draws = thousandDraws(casts);
    const CastClock now{dayCountFromFields({2026, 12, 8, 12, 0, 0, 0, 0}), 0, -480};
    const bool tested = state.range(1) != 0;
    for (auto _ : state) {
        std::vector<SavedCast> saved;
        saved.reserve(casts.size());
        for (const YsModel& cast : casts) saved.push_back(savedCast(cast));
        const CastReview review = reviewCasts(saved, draws, now);
        if (review.totals.scores.casts == 0) state.SkipWithError("nothing matched");
        if (tested) benchmark::DoNotOptimize(chanceTest(review.totals.scores));
        benchmark::DoNotOptimize(review.totals.scores.positionHits);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(casts.size()));
}
BENCHMARK(reviewCastsBench)
    ->Args({10000, 0})
    ->Args({2000, 0})
    ->Args({2000, 1})
    ->ArgNames({"casts", "chanceTest"})
    ->Unit(benchmark::kMillisecond);

void reviewStored(benchmark::State& state) {
    const auto home = freshHome("review");
    std::vector<YsModel> casts = tenThousandCasts();
    const std::vector<Draw> draws = thousandDraws(casts);
    {
        EasyDb store(home);
        sqlite3_exec(store.connection(), "BEGIN", nullptr, nullptr, nullptr);
        for (YsModel& cast : casts) {
            cast._id = 0;
            if (!store.save(cast)) state.SkipWithError("save failed");
        }
        sqlite3_exec(store.connection(), "COMMIT", nullptr, nullptr, nullptr);
        if (!DrawStore(store).store(draws, DrawOrigin::Imported, L"2026-12-08 12:00:00"))
            state.SkipWithError("draws not stored");
    }
    EasyDb store(home);
    const CastClock now{dayCountFromFields({2026, 12, 8, 12, 0, 0, 0, 0}), 0, -480};
    for (auto _ : state) {
        const Result<CastReview> review = reviewCasts(store, now);
        if (!review || review->casts.size() != casts.size()) state.SkipWithError("review failed");
        if (review && review->totals.scores.casts == 0) state.SkipWithError("nothing matched");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(casts.size()));
    std::filesystem::remove_all(home);
}
BENCHMARK(reviewStored)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvenna
