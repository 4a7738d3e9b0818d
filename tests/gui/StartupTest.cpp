// The program as a process: one copy at a time, and the clean-up of a downloaded installer
// before anything else. Each test starts the real executable on the test's display.
#include <chrono>
#include <fstream>
#include <list>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <wx/frame.h>
#include <wx/uiaction.h>

#include "../ChildProcess.h"
#include "../SystemSupport.h"
#include "GuiTest.h"
#include "ScreenStack.h"
#include "app/startup/InstanceLock.h"
#include "base/Text.h"
#include "base/Version.h"
#include "gui/WindowFront.h"
#include "system/Settings.h"

namespace orvenna::gui {
namespace {

using namespace std::chrono_literals;

// The main window's title as the window system lists it.
std::string mainWindowTitle() {
    return "Orvenna V" + std::string(ProgramVersion) + "版";
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        // Windows keeps the lock in the user's application data, where the program finds it
        // whatever its environment says: a copy the user runs holds the same one.
        if (lockHeldWithin(0ms)) GTEST_SKIP() << "a copy of Orvenna already runs for this user";
#endif
    }

    std::filesystem::path lockFile() const {
#ifdef _WIN32
        return InstanceLock::defaultLockPath();
#else
        return home.path() / "config" / "Orvenna" / "tarv.sq";
#endif
    }

    ChildProcess& start(const std::filesystem::path& configFolder = {}) {
        // The program asks the internet for the latest draw unless told otherwise.
        EXPECT_TRUE(writeSetting(settingsFileIn(home.path()), Setting::DrawUrl, L""));
#ifdef _WIN32
        // Gone unless a copy holds it: a lock file that is there is one a copy made (see below).
        DeleteFileW(lockFile().c_str());
#endif
        ChildProcess::Options options;
        options.environment = {
            {"ORVENNA_HOME", utf8Path(home.path())},
            {"XDG_CONFIG_HOME", utf8Path(configFolder.empty() ? home.path() / "config" : configFolder)},
            {"NO_AT_BRIDGE", "1"}};
        return started_.emplace_back(std::vector<std::string>{utf8Path(builtProgram(ORVENNA_APP))}, options);
    }

    // True once some process holds the lock file (found by trying it without keeping it).
    bool lockHeldWithin(std::chrono::milliseconds limit) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
#ifdef _WIN32
            // Trying the lock takes it for a moment, which would send a copy that is just
            // starting away: it is tried only once the file has its mapping's size, which a
            // copy gives it once it holds the lock (start() removed the file).
            WIN32_FILE_ATTRIBUTE_DATA file{};
            if (GetFileAttributesExW(lockFile().c_str(), GetFileExInfoStandard, &file) && file.nFileSizeLow == 4096 &&
                !InstanceLock(lockFile()).acquired())
                return true;
#else
            const int fd = open(lockFile().c_str(), O_RDWR | O_CLOEXEC);
            if (fd >= 0) {
                const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
                close(fd);
                if (held) return true;
            }
#endif
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    TempDirectory home;

private:
    std::list<ChildProcess> started_;  // killed, if still running, at the end
};

// A second start ends at once, touching nothing, and brings the first copy's window to the
// front, so the user sees the program answer.
TEST_F(StartupTest, ASecondCopyShowsTheFirstAndEndsAndANewStartWorksAfterTheFirst) {
    ChildProcess& first = start();
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(lockHeldWithin(20s)) << "the first copy never took the lock";
    const std::string title = mainWindowTitle();
    const char* mainTitle = title.c_str();
    ASSERT_TRUE(waitUntil([&] { return stackPlace(mainTitle) >= 0; }, 20s)) << "the first copy shows no window";
    // Another window covers the first copy's, and stays in front for a second: a copy still
    // starting (the splash going, the main window shown) comes to the front by itself. It is
    // smaller than the screen: Wine takes a window of the screen's size for a full-screen one,
    // which on a display other than its session's ends the process.
    wxFrame cover(nullptr, wxID_ANY, L"挡在前面", wxPoint(0, 0), wxSize(1200, 900));
    cover.Show();
    const auto covered = [&] { return stackPlace("挡在前面") > stackPlace(mainTitle); };
    for (int tries = 0; tries < 10; ++tries) {
        bringToFront(&cover);
        if (waitUntil(covered, 5s) && !waitUntil([&] { return !covered(); }, 1s)) break;
    }
    ASSERT_TRUE(covered()) << "the first copy's window would not stay behind another";

    ChildProcess& second = start();
    EXPECT_EQ(second.exitWithin(20s), std::optional<int>(0));
    EXPECT_FALSE(first.exitWithin(0ms).has_value()) << "the first copy ended too";
    EXPECT_TRUE(waitUntil([&] { return stackPlace(mainTitle) > stackPlace("挡在前面"); }, 5s))
        << "the first copy's window stayed behind";
    cover.Hide();

    first.kill();
    EXPECT_FALSE(lockHeldWithin(0ms));

    ChildProcess& third = start();
    EXPECT_TRUE(lockHeldWithin(20s));
    EXPECT_FALSE(third.exitWithin(300ms).has_value());
}

#ifndef _WIN32
// Closing the main window ends the program, with the help it opened: a later start is a fresh
// copy that shows its window, not a hidden one that kept the lock. (On Windows the help is the
// system's viewer, a program of its own.)
TEST_F(StartupTest, ClosingTheMainWindowWithTheHelpOpenEndsTheProgram) {
    const std::string title = mainWindowTitle();
    const char* mainTitle = title.c_str();
    ChildProcess& first = start();
    ASSERT_TRUE(waitUntil([&] { return stackPlace(mainTitle) >= 0; }, 20s)) << "the first copy shows no window";
    // F1 with the pointer on the window, which has the keyboard there without a manager.
    const ScreenRect shown = windowRect(mainTitle);
    wxUIActionSimulator input;
    input.MouseMove(shown.x + shown.width / 2, shown.y + shown.height - 4);
    input.MouseClick();
    waitUntil([] { return false; }, 300ms);
    input.Char(WXK_F1);
    ASSERT_TRUE(waitUntil([&] { return stackPlace("Orvenna 帮助") >= 0; }, 10s)) << "F1 showed no help";

    ASSERT_TRUE(closeWindow(mainTitle));
    EXPECT_EQ(first.exitWithin(20s), std::optional<int>(0)) << "the program went on without its window";
    EXPECT_LT(stackPlace("Orvenna 帮助"), 0) << "the help outlived the program's window";

    ChildProcess& second = start();
    EXPECT_TRUE(waitUntil([&] { return stackPlace(mainTitle) >= 0; }, 20s)) << "a later start shows no window";
    EXPECT_FALSE(second.exitWithin(0ms).has_value());
}
#endif

// A lock the system refuses (here a folder that cannot be made) is no other copy running: the
// start does not end quietly as a second copy's does, but waits on its message, touching nothing.
TEST_F(StartupTest, ALockTheSystemRefusesIsNotEndedQuietly) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows lock folder is the user's application data, whatever the environment says";
#endif
    std::ofstream(home.path() / "plain") << "not a folder";
    ChildProcess& refused = start(home.path() / "plain");
    EXPECT_FALSE(refused.exitWithin(3s).has_value()) << "ended without a word";
    EXPECT_FALSE(std::filesystem::exists(home.path() / "src" / "data" / "ssq.db"));
}

class StartupDownloadsTest : public StartupTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSetting(config, Setting::UpdateFile, fromUtf8(Installer)));
        for (const char* name : {Installer, Partial, "keep.txt", "notes.exe.part"})
            std::ofstream(home.path() / name) << "bytes";
    }
    bool exists(const char* name) const { return std::filesystem::exists(home.path() / name); }

    static constexpr const char* Installer = "FEDCBA9876543210FEDCBA9876543210.exe";
    static constexpr const char* Partial = "0123456789ABCDEF0123456789ABCDEF.exe.part";
    const std::filesystem::path config = settingsFileIn(home.path());
};

// A second copy ends without touching anything: the installer it would delete may be the
// one the running copy just downloaded.
TEST_F(StartupDownloadsTest, ASecondCopyLeavesTheFirstCopysDownloadsAlone) {
    InstanceLock held(lockFile());
    ASSERT_TRUE(held.acquired());
    EXPECT_EQ(start().exitWithin(20s), std::optional<int>(0));
    EXPECT_TRUE(exists(Installer));
    EXPECT_TRUE(exists(Partial));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "src" / "data" / "ssq.db"))
        << "a second copy must not touch the record store";
}

// The copy that holds the lock removes the installer of an earlier update and the partial
// downloads a killed run left, and nothing else.
TEST_F(StartupDownloadsTest, TheCopyHoldingTheLockCleansUpEarlierDownloads) {
    ASSERT_TRUE(start().started());
    ASSERT_TRUE(lockHeldWithin(20s));
    // The clean-up follows the lock at once; give it a moment.
    for (int i = 0; i < 250 && (exists(Installer) || exists(Partial)); ++i) std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(exists(Installer));
    EXPECT_FALSE(exists(Partial));
    EXPECT_TRUE(exists("keep.txt"));
    EXPECT_TRUE(exists("notes.exe.part"));
    EXPECT_EQ(readSetting(config, Setting::UpdateFile), fromUtf8(Installer));
}

}  // namespace
}  // namespace orvenna::gui
