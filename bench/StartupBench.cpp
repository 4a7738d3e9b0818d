// The program's start as a whole process, on a private X server: time until the splash is
// on screen, time from the splash closing (3 s by design) until the main window is shown,
// and the peak memory of the process. Each run uses a fresh program directory.

// Before Xlib, which defines Status as a macro.
#include "system/Settings.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "../tests/gui/ScreenStack.h"
#include "../tests/gui/XvfbServer.h"
#include "base/Version.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

long peakKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

void startUp(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no display");
        return;
    }
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("orvenna_start_" + std::to_string(getpid()));
    double splashMs = 0, mainMs = 0, peakMb = 0;
    int runs = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(home);
        std::filesystem::create_directories(home / "config");
        std::ofstream(orvenna::settingsFileIn(home)) << "[sys]\ndraw_url=\n";  // no network in a measurement
        const std::string programHome = "ORVENNA_HOME=" + home.string();
        const std::string configHome = "XDG_CONFIG_HOME=" + (home / "config").string();
        std::vector<std::string> environment = {programHome, configHome, "NO_AT_BRIDGE=1"};
        for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        char program[] = ORVENNA_APP;
        char* argv[] = {program, nullptr};

        const auto start = Clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, ORVENNA_APP, nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        const std::string mainTitle = "Orvenna V" + std::string(orvenna::ProgramVersion) + "版";
        auto splashAt = start, mainAt = start;
        bool splash = false;
        while (Clock::now() - start < std::chrono::seconds(30)) {
            if (!splash && orvenna::gui::stackPlace(display, "Orvenna 启动") >= 0) {
                splashAt = Clock::now();
                splash = true;
            }
            if (orvenna::gui::stackPlace(display, mainTitle.c_str()) >= 0) {
                mainAt = Clock::now();
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it settle, then read its peak
        const long peak = peakKilobytes(pid);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        const double toSplash = std::chrono::duration<double, std::milli>(splashAt - start).count();
        const double toMain = std::chrono::duration<double, std::milli>(mainAt - splashAt).count() - 3000;
        state.SetIterationTime(toSplash / 1000);
        splashMs += toSplash;
        mainMs += toMain;
        peakMb = std::max(peakMb, peak / 1024.0);
        ++runs;
    }
    XCloseDisplay(display);
    std::filesystem::remove_all(home);
    if (runs == 0) return;
    state.counters["splash_ms"] = splashMs / runs;
    state.counters["main_after_splash_ms"] = mainMs / runs;
    state.counters["peak_MB"] = peakMb;
}
BENCHMARK(startUp)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    orvenna::XvfbServer xvfb;
    if (!std::getenv("DISPLAY") && !xvfb.start()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
