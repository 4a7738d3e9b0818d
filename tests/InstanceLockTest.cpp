#include "app/startup/InstanceLock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "system/WinHandle.h"
#endif

#include "ChildProcess.h"
#include "Environment.h"
#include "Expect.h"
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
        const InstanceLock second(lockPath);  // nor a second one in this process
        EXPECT_FALSE(second.acquired());
        EXPECT_FALSE(second.failure()) << "another copy holding the lock ends a start quietly";
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
    EXPECT_FALSE(first.failure());
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);

    std::fstream(lockPath, std::ios::in | std::ios::out | std::ios::binary) << "running";
    EXPECT_EQ(lockInChild(lockPath), 1);
    std::ifstream in(lockPath, std::ios::binary);
    std::string start(7, '\0');
    in.read(start.data(), 7);
    EXPECT_EQ(start, "running");
    EXPECT_EQ(std::filesystem::file_size(lockPath), 4096u);
}

// A virus scanner or an indexer that looks into the lock file does not stop a start, nor lets a
// second copy in; one that keeps the file to itself for a moment is waited for, and one that
// keeps it longer is named, not taken for another copy.
TEST_F(InstanceLockFileTest, OtherProgramsOpeningTheFileDoNotStopAStart) {
    std::filesystem::create_directories(lockPath.parent_path());
    std::ofstream(lockPath) << "";
    {
        const std::ifstream reader(lockPath);  // the C runtime shares reading and writing
        ASSERT_TRUE(reader.is_open());
        const InstanceLock lock(lockPath);
        EXPECT_TRUE(lock.acquired());
        EXPECT_EQ(lockInChild(lockPath), 1);
    }
#ifndef _WIN32
    GTEST_SKIP() << "only Windows lets a program keep a file to itself";
#else
    const auto keepToItself = [&] {
        return WinHandle(CreateFileW(lockPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    // The child's handle may go a moment after the child itself (Wine closes it behind the exit).
    WinHandle kept;
    for (int i = 0; i < 100 && !(kept = keepToItself()); ++i) Sleep(50);
    ASSERT_TRUE(kept) << GetLastError();
    std::thread release([&kept] {
        Sleep(300);
        kept = WinHandle();
    });
    {
        const InstanceLock lock(lockPath);
        release.join();
        EXPECT_TRUE(lock.acquired());
        EXPECT_FALSE(lock.failure());
    }
    kept = keepToItself();
    ASSERT_TRUE(kept);
    const InstanceLock refused(lockPath);
    EXPECT_FALSE(refused.acquired());
    ASSERT_TRUE(refused.failure());
    EXPECT_EQ(refused.failure()->code, ERROR_SHARING_VIOLATION);
    EXPECT_FAILS_WITH(*refused.failure(), ErrorSource::System, "tarv.sq");
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

// A folder that cannot be made is no other copy running: the lock says why, naming the folder.
TEST_F(InstanceLockFileTest, PlaceThatCannotHoldTheFileGivesNoLock) {
    std::ofstream(dir.path() / "plain") << "not a folder";
    const InstanceLock lock(dir.path() / "plain" / "Orvenna" / "tarv.sq");
    EXPECT_FALSE(lock.acquired());
    ASSERT_TRUE(lock.failure());
    EXPECT_FAILS_WITH(*lock.failure(), ErrorSource::System, "plain");

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
