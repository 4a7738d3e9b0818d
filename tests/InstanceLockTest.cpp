#include "app/InstanceLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "Environment.h"
#include "TempDirectory.h"

namespace orvenna {
namespace {

// In a child: 0 when a new lock on the file is held, 1 when it is refused.
const ChildRole lockOnce("InstanceLock.lock", [](const std::filesystem::path& lockFile) {
    return InstanceLock(lockFile).acquired() ? 0 : 1;
});

// In a child: takes the lock on `folder`/tarv.sq, tells whether it got it, and waits to be killed.
const ChildRole lockAndWait("InstanceLock.lockAndWait", [](const std::filesystem::path& folder) {
    const InstanceLock lock(folder / "tarv.sq");
    announce(folder / "ready", lock.acquired() ? "y" : "n");
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    return 0;
});

// A program that runs until it is killed.
const ChildRole waitForever("InstanceLock.wait", [](const std::filesystem::path&) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    return 0;
});

// 0 when a new lock on `path` is held, 1 when it is refused; run in a child process.
int lockInChild(const std::filesystem::path& path) {
    return exitCodeInChild("InstanceLock.lock", path);
}

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
    std::filesystem::create_directories(lockPath.parent_path());
    ChildProcess holder = ChildProcess::role("InstanceLock.lockAndWait", lockPath.parent_path());
    ASSERT_EQ(announcement(lockPath.parent_path() / "ready"), std::optional<std::string>("y"));

    EXPECT_FALSE(InstanceLock(lockPath).acquired());
    holder.kill();
    EXPECT_TRUE(InstanceLock(lockPath).acquired());
}

TEST_F(InstanceLockFileTest, RefusedAttemptLeavesTheHoldersFileAlone) {
    const InstanceLock first(lockPath);
    ASSERT_TRUE(first.acquired());
#ifdef _WIN32
    // The holder shares its file with nobody: nobody else can even open it to change it.
    EXPECT_FALSE(std::fstream(lockPath, std::ios::in | std::ios::out | std::ios::binary).is_open());
    EXPECT_EQ(lockInChild(lockPath), 1);
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);
#else
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);

    std::fstream(lockPath, std::ios::in | std::ios::out | std::ios::binary) << "running";
    EXPECT_EQ(lockInChild(lockPath), 1);
    std::ifstream in(lockPath, std::ios::binary);
    std::string start(7, '\0');
    in.read(start.data(), 7);
    EXPECT_EQ(start, "running");
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);
#endif
}

TEST_F(InstanceLockFileTest, StartedProgramsDoNotKeepTheLock) {
    std::optional<ChildProcess> started;
    {
        const InstanceLock lock(lockPath);
        ASSERT_TRUE(lock.acquired());
        started.emplace(ChildProcess::role("InstanceLock.wait"));
        ASSERT_TRUE(started->running());
    }
    EXPECT_TRUE(InstanceLock(lockPath).acquired());
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

#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores the read-only attribute of a folder: files can still be made in it";
#endif
    const std::filesystem::path readOnly = dir.path() / "read-only";
    std::filesystem::create_directory(readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms(0555));
    const std::filesystem::path inside = readOnly / "Orvenna" / "tarv.sq";
    EXPECT_EQ(exitCodeInChild("InstanceLock.lock", inside, true), 1);
    EXPECT_FALSE(std::filesystem::exists(readOnly / "Orvenna"));
}

#ifdef _WIN32
TEST(InstanceLockTest, DefaultPathIsInTheUsersApplicationData) {
    const std::filesystem::path path = InstanceLock::defaultLockPath();
    EXPECT_EQ(path.filename(), "tarv.sq");
    EXPECT_EQ(path.parent_path().filename(), "Orvenna");
    EXPECT_TRUE(std::filesystem::is_directory(path.parent_path().parent_path())) << path;
}
#endif

TEST(InstanceLockTest, DefaultPathFollowsTheXdgConfigFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the XDG folders are Linux's; Windows keeps the lock in the user's application data";
#endif
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
