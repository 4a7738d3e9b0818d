// The splash at start: it holds the main window back about 3 s, or until a double click,
// and leaves nothing behind that could close anything later.
#include <chrono>
#include <optional>

#include "MainWindowFixture.h"
#include "gui/WindowTimer.h"
#include "ui/LoadWin.h"

namespace orvenna::gui {
namespace {

using Clock = std::chrono::steady_clock;

class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete window;  // now, before the store it uses goes
        window = nullptr;
        pump();
    }
    // Creates the main window with its splash; `during` runs inside the splash's own loop,
    // `after` milliseconds after the start.
    double startWithSplash(int after, std::function<void()> during) {
        store = std::make_unique<EasyDb>(home.path());
        window = new TarvWin(*store);
        window->programDir = home.path();
        window->Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
            if (event.IsShown() && !shownAt) shownAt = Clock::now();
            event.Skip();
        });
        WindowTimer probe(std::move(during));
        probe.StartOnce(after);
        const auto start = Clock::now();
        window->create();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    TempDirectory home;
    std::unique_ptr<EasyDb> store;
    TarvWin* window = nullptr;
    std::optional<Clock::time_point> shownAt;  // when the main window began to show
};

TEST_F(SplashTest, TheMainWindowAppearsAfterTheSplashHasClosedItself) {
    bool splashShown = false, mainHidden = false;
    int interval = 0;
    const double took = startWithSplash(800, [&] {
        LoadWin* splash = window->loadWindow();
        splashShown = splash && splash->IsShown() && !splash->closed();
        mainHidden = !window->IsShown();
        interval = splash ? splash->timer().GetInterval() : 0;
    });
    EXPECT_TRUE(splashShown);
    EXPECT_TRUE(mainHidden);
    EXPECT_EQ(interval, 3000);
    EXPECT_GE(took, 2900.0);
    EXPECT_TRUE(window->IsShown());
    EXPECT_EQ(window->loadWindow(), nullptr);
}

TEST_F(SplashTest, ADoubleClickClosesItAtOnceAndNothingLater) {
    Clock::time_point clicked;
    startWithSplash(200, [&] {
        clicked = Clock::now();
        wxMouseEvent doubleClick(wxEVT_LEFT_DCLICK);
        window->loadWindow()->HandleWindowEvent(doubleClick);
    });
    // From the click to the main window: making and drawing the windows take seconds of their
    // own under Wine.
    ASSERT_TRUE(shownAt.has_value());
    const std::chrono::duration<double, std::milli> took = *shownAt - clicked;
    EXPECT_LT(took.count(), 2500.0);
    EXPECT_TRUE(window->IsShown());

    // Past the time the splash's timer would have fired: everything is still there.
    int dialogs = 0;
    waitUntil([] { return false; }, std::chrono::milliseconds(3300));
    for (wxWindow* top : wxTopLevelWindows) dialogs += top != window;
    EXPECT_TRUE(window->IsShown());
    EXPECT_EQ(dialogs, 0);
}

}  // namespace
}  // namespace orvenna::gui
