#include "app/InstanceLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "TempDirectory.h"

namespace orvenna {
namespace {

// 0 when a new lock on `path` is held, 1 when it is refused; run in a child process.
int lockInChild(const std::filesystem::path& path) {
    return exitCodeInChild([&path] { return InstanceLock(path).acquired() ? 0 : 1; });
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (saved_) {
            setenv(name_, saved_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class InstanceLockFileTest : public ::testing::Test {
protected:
    TempDirectory dir;
    std::filesystem::path lockPath = dir.path() / "Orvenna" / "tarv.sq";
};

TEST_F(InstanceLockFileTest, OnlyOneProcessHoldsTheLock) {
    {
        const InstanceLock first(lockPath);
        ASSERT_TRUE(first.acquired());
        EXPECT_TRUE(std::filesystem::is_directory(lockPath.parent_path()));
        EXPECT_EQ(lockInChild(lockPath), 1);
        EXPECT_FALSE(InstanceLock(lockPath).acquired());  // nor a second one in this process
    }
    EXPECT_TRUE(std::filesystem::exists(lockPath));  // the file stays; only the lock goes
    EXPECT_EQ(lockInChild(lockPath), 0);
}

TEST_F(InstanceLockFileTest, LockOfAKilledProcessIsReleased) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const InstanceLock lock(lockPath);
        const char state = lock.acquired() ? 'y' : 'n';
        static_cast<void>(write(ready[1], &state, 1));
        for (;;) pause();
    }
    close(ready[1]);
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    close(ready[0]);
    ASSERT_EQ(state, 'y');

    EXPECT_FALSE(InstanceLock(lockPath).acquired());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(InstanceLock(lockPath).acquired());
}

TEST_F(InstanceLockFileTest, RefusedAttemptLeavesTheHoldersFileAlone) {
    const InstanceLock first(lockPath);
    ASSERT_TRUE(first.acquired());
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);

    std::fstream(lockPath, std::ios::in | std::ios::out | std::ios::binary) << "running";
    EXPECT_EQ(lockInChild(lockPath), 1);
    std::ifstream in(lockPath, std::ios::binary);
    std::string start(7, '\0');
    in.read(start.data(), 7);
    EXPECT_EQ(start, "running");
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);
}

TEST_F(InstanceLockFileTest, StartedProgramsDoNotKeepTheLock) {
    pid_t sleeper = -1;
    {
        const InstanceLock lock(lockPath);
        ASSERT_TRUE(lock.acquired());
        // Until exec, the child shares every descriptor; the end of this pipe, closed by the
        // exec, tells when the started program runs on its own.
        int started[2];
        ASSERT_EQ(pipe2(started, O_CLOEXEC), 0);
        sleeper = fork();
        if (sleeper == 0) {
            execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(started[1]);
        char ignored = 0;
        EXPECT_EQ(read(started[0], &ignored, 1), 0);
        close(started[0]);
        ASSERT_GT(sleeper, 0);
    }
    EXPECT_TRUE(InstanceLock(lockPath).acquired());
    kill(sleeper, SIGKILL);
    waitpid(sleeper, nullptr, 0);
}

TEST_F(InstanceLockFileTest, MovedLockStaysHeldUntilItsLastOwnerEnds) {
    {
        InstanceLock first(lockPath);
        const InstanceLock second(std::move(first));
        // The moved-from object must no longer hold (or later release) the lock.
        EXPECT_FALSE(first.acquired());  // NOLINT(bugprone-use-after-move)
        EXPECT_TRUE(second.acquired());
        EXPECT_EQ(lockInChild(lockPath), 1);
    }
    EXPECT_EQ(lockInChild(lockPath), 0);
}

TEST_F(InstanceLockFileTest, PlaceThatCannotHoldTheFileGivesNoLock) {
    std::ofstream(dir.path() / "plain") << "not a folder";
    EXPECT_FALSE(InstanceLock(dir.path() / "plain" / "Orvenna" / "tarv.sq").acquired());

    const std::filesystem::path readOnly = dir.path() / "read-only";
    std::filesystem::create_directory(readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms(0555));
    const std::filesystem::path inside = readOnly / "Orvenna" / "tarv.sq";
    EXPECT_EQ(exitCodeInChild([&inside] { return InstanceLock(inside).acquired() ? 0 : 1; }, true), 1);
    EXPECT_FALSE(std::filesystem::exists(readOnly / "Orvenna"));
}

TEST(InstanceLockTest, DefaultPathFollowsTheXdgConfigFolder) {
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/custom/config");
        EXPECT_EQ(InstanceLock::defaultLockPath(), "/custom/config/Orvenna/tarv.sq");
    }
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(InstanceLock::defaultLockPath(), "/home/someone/.config/Orvenna/tarv.sq");
    }
    const ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(InstanceLock::defaultLockPath(), "/home/someone/.config/Orvenna/tarv.sq");
}

}  // namespace
}  // namespace orvenna
