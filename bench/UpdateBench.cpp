// What 立即安装 waits for: a 6 MiB setup program held (on Linux copied into a sealed memory
// file), its MD5 and its signature checked through the held handle; and the signature check
// of an index's trusted comment.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "base/Text.h"
#include "framework/Fingerprint.h"
#include "tests/TestSigner.h"
#include "update/Installer.h"
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
