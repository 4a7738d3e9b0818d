// Reading the latest draw out of a results page of about 1 MB: the GB18030 conversion and
// the parse with the table selector.
#include <string>

#include <benchmark/benchmark.h>
#include <iconv.h>

#include "draws/DrawFetcher.h"
#include "framework/Gb18030.h"

namespace {

std::string onePage() {
    std::string page = "<html><body>";
    while (page.size() < 1'000'000) page += "<div class=\"news\"><a href=\"/n\">开奖公告与新闻</a><span>2024</span></div>\n";
    page += "<table class=\"kjtable\"><tbody><tr><th>彩种</th></tr></tbody><tbody>";
    for (int i = 1; i <= 5; ++i) page += "<tr><td>x</td><td>a</td><td>b</td><td>c</td><td>d</td></tr>";
    page += "<tr><td>七星彩</td><td>二</td><td>24037</td><td>2024-04-02</td><td>";
    for (int digit = 1; digit <= 6; ++digit) page += "<span class=\"yellow\">" + std::to_string(digit) + "</span>";
    page += "<span class=\"blue\">7</span></td></tr></tbody></table></body></html>";
    return page;
}

std::string toGb18030(const std::string& utf8) {
    iconv_t codec = iconv_open("GB18030", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size(), room = out.size();
    iconv(codec, &from, &left, &to, &room);
    iconv_close(codec);
    out.resize(out.size() - room);
    return out;
}

void parsePage(benchmark::State& state) {
    const std::string page = onePage();
    for (auto _ : state) benchmark::DoNotOptimize(orvenna::parseSevenStarDraw(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(parsePage)->Unit(benchmark::kMillisecond);

void convertPage(benchmark::State& state) {
    const std::string bytes = toGb18030(onePage());
    for (auto _ : state) benchmark::DoNotOptimize(orvenna::gb18030ToUtf8(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(convertPage)->Unit(benchmark::kMillisecond);

}  // namespace
