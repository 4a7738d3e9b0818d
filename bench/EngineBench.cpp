// Speed of the divination engine: one cast with both charts, and the whole analysis as the
// window runs it after "演算" (chart, record, report text, base numbers, suggestion, result text).
#include <benchmark/benchmark.h>

#include "base/DayCount.h"
#include "engine/AnalysisRun.h"
#include "engine/Calendar.h"
#include "engine/Casting.h"
#include "engine/Report.h"
#include "records/ResultText.h"

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

void wholeAnalysis(benchmark::State& state) {
    CastRequest request;
    request.method = NumberCasting;
    request.numberText = L"1234";
    request.zodiac = 7;
    request.castTime = CastTime;
    Analysis analysis;
    for (auto _ : state) {
        runAnalysis(request, analysis);
        const std::vector<std::wstring> report = interpretationLines(analysis.record);
        analysis.record.baseNumbers = deriveBaseNumbers(analysis.record);
        const std::wstring resultText = fillSuggestion(buildSuggestion(analysis.record.baseNumbers));
        benchmark::DoNotOptimize(report.data());
        benchmark::DoNotOptimize(resultText.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(wholeAnalysis);

}  // namespace
}  // namespace orvenna
