// The program as a process: one copy at a time, and the clean-up of a downloaded installer
// before anything else. Each test starts the real executable on the test's display.
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "GuiTest.h"
#include "app/InstanceLock.h"
#include "framework/Settings.h"

extern char** environ;

namespace orvenna::gui {
namespace {

using namespace std::chrono_literals;

class StartupTest : public ::testing::Test {
protected:
    ~StartupTest() override {
        for (pid_t pid : started_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    std::filesystem::path lockFile() const { return home.path() / "config" / "Orvenna" / "tarv.sq"; }

    pid_t start() {
        // The program asks the internet for the latest draw unless told otherwise.
        writeSetting(home.path() / "config.ini", L"draw_url", L"");
        const std::string programHome = "ORVENNA_HOME=" + home.path().string();
        const std::string configHome = "XDG_CONFIG_HOME=" + (home.path() / "config").string();
        std::vector<std::string> environment = {programHome, configHome, "NO_AT_BRIDGE=1"};
        for (char** entry = environ; *entry; ++entry) {
            const std::string_view text(*entry);
            if (!text.starts_with("ORVENNA_HOME=") && !text.starts_with("XDG_CONFIG_HOME="))
                environment.emplace_back(text);
        }
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        char program[] = ORVENNA_APP;
        char* argv[] = {program, nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, ORVENNA_APP, nullptr, nullptr, argv, envp.data()) != 0) return 0;
        started_.push_back(pid);
        return pid;
    }

    // The exit code of `pid` when it ends within `limit`; nothing while it still runs.
    std::optional<int> exitWithin(pid_t pid, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(started_, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return std::nullopt;
    }

    // True once some process holds the lock file (found by trying it without keeping it).
    bool lockHeldWithin(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            const int fd = open(lockFile().c_str(), O_RDWR | O_CLOEXEC);
            if (fd >= 0) {
                const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
                close(fd);
                if (held) return true;
            }
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    TempDirectory home;

private:
    std::vector<pid_t> started_;
};

TEST_F(StartupTest, ASecondCopyEndsAtOnceAndANewStartWorksAfterTheFirst) {
    const pid_t first = start();
    ASSERT_GT(first, 0);
    ASSERT_TRUE(lockHeldWithin(20s)) << "the first copy never took the lock";

    const pid_t second = start();
    EXPECT_EQ(exitWithin(second, 20s), std::optional<int>(0));
    EXPECT_FALSE(exitWithin(first, 0ms).has_value()) << "the first copy ended too";

    kill(first, SIGTERM);
    ASSERT_TRUE(exitWithin(first, 20s).has_value());
    EXPECT_FALSE(lockHeldWithin(0ms));

    const pid_t third = start();
    EXPECT_TRUE(lockHeldWithin(20s));
    EXPECT_FALSE(exitWithin(third, 300ms).has_value());
}

class DownloadsTest : public StartupTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSetting(config, L"update_file", L"Orvenna-setup-1.0.1.exe"));
        for (const char* name : {"Orvenna-setup-1.0.1.exe", Partial, "keep.txt", "notes.exe.part"})
            std::ofstream(home.path() / name) << "bytes";
    }
    bool exists(const char* name) const { return std::filesystem::exists(home.path() / name); }

    static constexpr const char* Partial = "0123456789ABCDEF0123456789ABCDEF.exe.part";
    const std::filesystem::path config = home.path() / "config.ini";
};

// A second copy ends without touching anything: the installer it would delete may be the
// one the running copy just downloaded.
TEST_F(DownloadsTest, ASecondCopyLeavesTheFirstCopysDownloadsAlone) {
    InstanceLock held(lockFile());
    ASSERT_TRUE(held.acquired());
    EXPECT_EQ(exitWithin(start(), 20s), std::optional<int>(0));
    EXPECT_TRUE(exists("Orvenna-setup-1.0.1.exe"));
    EXPECT_TRUE(exists(Partial));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "src" / "data" / "ssq.db"))
        << "a second copy must not touch the record store";
}

// The copy that holds the lock removes the installer of an earlier update and the partial
// downloads a killed run left, and nothing else.
TEST_F(DownloadsTest, TheCopyHoldingTheLockCleansUpEarlierDownloads) {
    ASSERT_GT(start(), 0);
    ASSERT_TRUE(lockHeldWithin(20s));
    // The clean-up follows the lock at once; give it a moment.
    for (int i = 0; i < 250 && (exists("Orvenna-setup-1.0.1.exe") || exists(Partial)); ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(exists("Orvenna-setup-1.0.1.exe"));
    EXPECT_FALSE(exists(Partial));
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_TRUE(exists("notes.exe.part"));
    EXPECT_EQ(readSetting(config, L"update_file", L""), L"Orvenna-setup-1.0.1.exe");
}

}  // namespace
}  // namespace orvenna::gui
