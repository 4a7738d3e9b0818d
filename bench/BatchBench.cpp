// `orvenna-cli cast --batch` without the process around it: 100,000 requests of number and
// time casting at random (as docs/performance.md makes them), answered as JSON lines into an
// output that discards them, against the bare analyses of the same requests.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "AllocationCount.h"
#include "cli/CastBatch.h"
#include "cli/CastInput.h"
#include "engine/CastPipeline.h"

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

// The peak resident memory, in MB, of the real orvenna-cli answering a batch of one number
// casting whose number has `bytes` digits, fed through a pipe as a script would feed it.
double cliPeakMegabytes(std::size_t bytes) {
    int feed[2];
    if (pipe(feed) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int discard = open("/dev/null", O_WRONLY);
        if (discard < 0 || dup2(feed[0], 0) < 0 || dup2(discard, 1) < 0) _exit(126);
        close(feed[0]);
        close(feed[1]);
        execl(ORVENNA_CLI, ORVENNA_CLI, "cast", "--batch", "-", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(feed[0]);
    const auto send = [&](std::string_view text) {
        while (!text.empty()) {
            const ssize_t written = write(feed[1], text.data(), text.size());
            if (written <= 0) return false;
            text.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    };
    const std::string block(std::size_t{1} << 20, '1');
    bool open = send("1\t");
    for (std::size_t sent = 0; open && sent < bytes; sent += block.size())
        open = send(std::string_view(block).substr(0, std::min(block.size(), bytes - sent)));
    if (open) send("\t7\t2024-03-31 12:00:00\n");
    close(feed[1]);
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// One 50 MB line in a batch: it is refused with an error line, and the program's peak memory
// stays near what it needs for any batch (it held the line whole, and several copies of it
// in the cast, before lines had a limit).
void batchOfOneHugeLine(benchmark::State& state) {
    std::signal(SIGPIPE, SIG_IGN);  // a program that ended early is measured all the same
    double peak = 0;
    for (auto _ : state) peak = std::max(peak, cliPeakMegabytes(std::size_t{50} << 20));
    state.counters["peak_MB"] = peak;
}
BENCHMARK(batchOfOneHugeLine)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace orvenna::cli
