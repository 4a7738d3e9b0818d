// Speed of the record store on a real file: save, load, and filling a list of 10,000.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "records/EasyDb.h"

namespace orvenna {
namespace {

class CountedList : public HistoryList {
public:
    void clearItems() override { count = 0; }
    void appendItem(std::wstring_view, std::int64_t) override { ++count; }
    int count = 0;
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

void listTenThousand(benchmark::State& state) {
    const auto home = freshHome("list");
    { EasyDb create(home); }
    {
        // The rows go in through one transaction of a second connection: only listing is timed.
        sqlite3* raw = nullptr;
        sqlite3_open((home / "src" / "data" / "ssq.db").c_str(), &raw);
        sqlite3_exec(raw, "BEGIN;", nullptr, nullptr, nullptr);
        for (int i = 0; i < 10000; ++i) {
            sqlite3_exec(raw,
                         "INSERT INTO tarv_table (ysname,ysnumber,dong) "
                         "VALUES ('测试(2024年3月31日21时25分30秒)','1234','0,0,0,1,0,0');",
                         nullptr, nullptr, nullptr);
        }
        sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    EasyDb store(home);
    CountedList list;
    for (auto _ : state) {
        store.fillList(list);
        if (list.count != 10000) state.SkipWithError("wrong count");
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(listTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvenna
