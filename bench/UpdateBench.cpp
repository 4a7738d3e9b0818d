// What 立即安装 waits for: a 6 MiB setup program held (on Linux copied into a sealed memory
// file), its MD5 and its signature checked through the held handle; the same for a 200 MiB one,
// with the growth of the peak resident memory it causes (the check reads in pieces, so it
// should stay within a few MiB: the sealed copy is not mapped into the process); and the
// signature check of an index's trusted comment.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include "base/Text.h"
#include "codec/Fingerprint.h"
#include "tests/TestSigner.h"
#include "update/Installer.h"
#include "update/OfferDecision.h"
#include "update/UpdateIndex.h"

namespace {

constexpr std::size_t SetupBytes = std::size_t{6} << 20;

// A folder of this run's own, gone with it.
struct BenchDirectory {
    BenchDirectory() { std::filesystem::create_directories(dir); }
    ~BenchDirectory() { std::filesystem::remove_all(dir); }
    const std::filesystem::path& path() const { return dir; }
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("orvenna-update-bench-" + std::to_string(std::random_device()()));
};

std::string randomBytes(std::size_t count) {
    std::mt19937 random(7);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

void checkSetupProgram(benchmark::State& state) {
    const BenchDirectory dir;
    const orvenna::TestSigner publisher;
    const std::string bytes = randomBytes(SetupBytes);
    const auto file = dir.path() / "setup.exe";
    std::ofstream(file, std::ios::binary) << bytes;
    publisher.writePublicKey(dir.path() / "update-key.pub");
    const orvenna::PublishedInstaller published{orvenna::fromUtf8(*orvenna::md5Hex(file)),
                                                static_cast<std::int64_t>(bytes.size()),
                                                publisher.sign(bytes, "orvenna ver=2"), dir.path() / "update-key.pub"};
    for (auto _ : state) {
        const auto held = orvenna::checkInstaller(file, published);
        if (!held) state.SkipWithError(held.error().message.c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(checkSetupProgram)->Unit(benchmark::kMillisecond);

constexpr std::size_t LargeSetupBytes = std::size_t{200} << 20;

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void checkLargeSetupProgram(benchmark::State& state) {
    const BenchDirectory dir;
    const orvenna::TestSigner publisher;
    const auto file = dir.path() / "setup.exe";
    {
        // Written a piece at a time, so that making it does not raise the peak measured below.
        std::ofstream out(file, std::ios::binary);
        std::string piece = randomBytes(std::size_t{1} << 20);
        for (std::size_t written = 0; written < LargeSetupBytes; written += piece.size()) {
            piece[0] = static_cast<char>(written >> 20);
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
    }
    publisher.writePublicKey(dir.path() / "update-key.pub");
    const orvenna::PublishedInstaller published{
        orvenna::fromUtf8(*orvenna::md5Hex(file)), static_cast<std::int64_t>(LargeSetupBytes),
        publisher.signFile(file, "orvenna ver=2"), dir.path() / "update-key.pub"};
    const double before = peakResidentMiB();
    for (auto _ : state) {
        const auto held = orvenna::checkInstaller(file, published);
        if (!held) state.SkipWithError(held.error().message.c_str());
    }
    state.counters["peak_rss_MiB"] = peakResidentMiB();
    state.counters["peak_rss_growth_MiB"] = peakResidentMiB() - before;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LargeSetupBytes));
}
BENCHMARK(checkLargeSetupProgram)->Unit(benchmark::kMillisecond)->Iterations(3);

void decideOffer(benchmark::State& state) {
    const BenchDirectory dir;
    const orvenna::TestSigner publisher;
    publisher.writePublicKey(dir.path() / "update-key.pub");
    const auto key = orvenna::readMinisignKey(dir.path() / "update-key.pub");
    orvenna::UpdateIndex index;
    index.ver = 2;
    index.url = "680074007400700073003A002F002F0061002F0078002E00650078006500";  // https://a/x.exe
    index.md5 = L"0123456789ABCDEF0123456789ABCDEF";
    index.size = 1;
    index.sig = publisher.sign("x", "orvenna ver=2");
    for (auto _ : state) benchmark::DoNotOptimize(orvenna::decideOffer(index, key));
}
BENCHMARK(decideOffer)->Unit(benchmark::kMicrosecond);

}  // namespace
