// `orvenna-cli cast --batch` without the process around it: 100,000 requests of number and
// time casting at random (as docs/performance.md makes them), answered as JSON lines into an
// output that discards them, against the bare analyses of the same requests.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "cli/CastBatch.h"
#include "cli/CastInput.h"
#include "records/CastPipeline.h"

namespace orvenna::cli {
namespace {

constexpr int Requests = 100'000;

// 2024-03-31 12:00:00 in China; every request names its own time, so the clock is unused.
constexpr CastClock Clock{45382.5, 1711857600123, -480};

// Method 1 with a number up to 10^9 or method 3 with a millisecond count near 2023-11, a
// zodiac 1..12, one fixed time: the lines of the batch in docs/performance.md.
const std::string& batchLines() {
    static const std::string lines = [] {
        std::mt19937_64 random(7);
        std::string text;
        for (int i = 0; i < Requests; ++i) {
            const bool byNumber = random() % 2 == 0;
            const std::uint64_t number =
                byNumber ? 1 + random() % 1'000'000'000 : 1'700'000'000'000 + random() % 10'000'000'001;
            text += byNumber ? "1\t" : "3\t";
            text += std::to_string(number) + '\t' + std::to_string(1 + random() % 12) + "\t2024-03-31 12:00:00\n";
        }
        return text;
    }();
    return lines;
}

std::vector<CastRequest> batchRequests() {
    std::vector<CastRequest> requests;
    std::istringstream in(batchLines());
    CastInput input;
    for (std::string line; std::getline(in, line);) {
        batchLineInput(line, input);
        requests.push_back(makeRequest(input, Clock).request);
    }
    return requests;
}

// Takes every byte and keeps none, as /dev/null does.
class Discard : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double batchSeconds(unsigned jobs) {
    std::istringstream in(batchLines());
    Discard discard;
    std::ostream out(&discard);
    const double start = processSeconds();
    castBatch(in, out, Clock, jobs);
    return processSeconds() - start;
}

// The CPU time of the whole batch on one thread (reading the lines, making the requests,
// casting, writing JSON) against that of the bare analyses of the same requests, measured in
// turns: counters in seconds for 100,000 requests, the fastest of the runs each (the machine
// is shared, and what another program takes only ever adds), and their ratio.
// allocs_per_request counts the batch's allocations.
void batchAgainstBareAnalyses(benchmark::State& state) {
    const std::vector<CastRequest> requests = batchRequests();
    CastResult result;
    double bare = 1e9;
    double batch = 1e9;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const double start = processSeconds();
        for (const CastRequest& request : requests) castAnalysis(request, result);
        bare = std::min(bare, processSeconds() - start);
        benchmark::DoNotOptimize(result.resultText.data());
        const std::uint64_t before = allocationCount();
        batch = std::min(batch, batchSeconds(1));
        allocations += allocationCount() - before;
    }
    state.counters["bare_s"] = bare;
    state.counters["batch_s"] = batch;
    state.counters["ratio"] = batch / bare;
    state.counters["allocs_per_request"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations()) / Requests;
}
BENCHMARK(batchAgainstBareAnalyses)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(5);

// The batch on `jobs` threads (0: one a core, the default): wall time, and CPU time of all
// threads.
void batch(benchmark::State& state) {
    const auto jobs = static_cast<unsigned>(state.range(0));
    for (auto _ : state) batchSeconds(jobs == 0 ? defaultBatchJobs() : jobs);
    state.SetItemsProcessed(state.iterations() * Requests);
}
BENCHMARK(batch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace orvenna::cli
