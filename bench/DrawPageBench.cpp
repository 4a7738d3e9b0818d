// Reading the latest draw out of a results page of about 1 MB: the GB18030 conversion and
// the parse with the table selector.
#include <string>

#include <benchmark/benchmark.h>

#include "../tests/ResultsPage.h"
#include "codec/Gb18030.h"
#include "draws/DrawFetcher.h"

namespace {

std::string onePage() {
    std::string padding;
    while (padding.size() < 1'000'000)
        padding += "<div class=\"news\"><a href=\"/n\">开奖公告与新闻</a><span>2024</span></div>\n";
    return orvenna::resultsPage(orvenna::drawRow(orvenna::sevenDigits()), padding);
}

void parsePage(benchmark::State& state) {
    const std::string page = onePage();
    for (auto _ : state) benchmark::DoNotOptimize(orvenna::parseSevenStarDraw(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(parsePage)->Unit(benchmark::kMillisecond);

void convertPage(benchmark::State& state) {
    const std::string bytes = orvenna::toGb18030(onePage());
    for (auto _ : state) benchmark::DoNotOptimize(orvenna::gb18030ToUtf8(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(convertPage)->Unit(benchmark::kMillisecond);

}  // namespace
