// Speed of the divination engine: one cast with both charts, and the whole analysis as the
// window runs it after "演算" (chart, record, report text, base numbers, suggestion, result text),
// and the marks of a finished chart.
// The program's allocations are counted (AllocationCount.h).
#include <benchmark/benchmark.h>

#include "AllocationCount.h"
#include "base/DayCount.h"
#include "engine/Calendar.h"
#include "engine/CastPipeline.h"
#include "engine/Casting.h"
#include "engine/ChartMarks.h"
#include "engine/SolarTerms.h"
#include "tests/TestRequest.h"

namespace orvenna {
namespace {

const double CastTime = dayCountFromFields({2024, 3, 31, 12, 0, 0, 0, 0});

// Pillars, the primary chart from a 13-digit time number and the changed chart.
void castBothCharts(benchmark::State& state) {
    const std::wstring number = L"1711857600123";
    for (auto _ : state) {
        const std::wstring day = dayPillar(CastTime);
        const int hour = hourNumber(CastTime);
        Hexagram primary;
        Hexagram changed;
        castFromNumber(primary, number, day, hour);
        const int m = primary.movingLine;
        buildChanged(changed, flipLine(primary.upperCode, m < 4 ? 0 : m), flipLine(primary.lowerCode, m < 4 ? m : 0));
        benchmark::DoNotOptimize(changed.relations);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(castBothCharts);

// castAnalysis with one result kept from cast to cast, as the window and a batch keep it.
// The counter allocs_per_analysis counts what the heap is asked for per cast.
void wholeAnalysis(benchmark::State& state) {
    const CastRequest request = numberRequest(L"1234", 7, CastTime);
    CastResult result;
    castAnalysis(request, result);
    const std::uint64_t allocationsBefore = allocationCount();
    for (auto _ : state) {
        castAnalysis(request, result);
        benchmark::DoNotOptimize(result.resultText.data());
    }
    state.counters["allocs_per_analysis"] = benchmark::Counter(
        static_cast<double>(allocationCount() - allocationsBefore) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(wholeAnalysis);

// The same analysis and then the marks of its charts, as the JSON and the detail window take
// them: a cast with its marks may cost at most a tenth more than wholeAnalysis. The year's
// solar terms are reckoned before the loop, as the first cast of a year does once.
void wholeAnalysisWithMarks(benchmark::State& state) {
    const CastRequest request = numberRequest(L"1234", 7, CastTime);
    CastResult result;
    castAnalysis(request, result);
    benchmark::DoNotOptimize(chartMarks(result.analysis));
    const std::uint64_t allocationsBefore = allocationCount();
    for (auto _ : state) {
        castAnalysis(request, result);
        const ChartMarks marks = chartMarks(result.analysis);
        benchmark::DoNotOptimize(&marks);
    }
    state.counters["allocs_per_analysis"] = benchmark::Counter(
        static_cast<double>(allocationCount() - allocationsBefore) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(wholeAnalysisWithMarks);

// The marks alone of a finished cast.
void marksOfACast(benchmark::State& state) {
    CastResult result;
    castAnalysis(numberRequest(L"1234", 7, CastTime), result);
    for (auto _ : state) {
        const ChartMarks marks = chartMarks(result.analysis);
        benchmark::DoNotOptimize(&marks);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(marksOfACast);

// One solar-term moment; the first cast of a year reckons twelve of them.
void oneSolarTermMoment(benchmark::State& state) {
    int year = 1900;
    for (auto _ : state) {
        const double moment = solarTermMoment(year, 315);
        benchmark::DoNotOptimize(moment);
        year = year == 2100 ? 1900 : year + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(oneSolarTermMoment);

}  // namespace
}  // namespace orvenna
