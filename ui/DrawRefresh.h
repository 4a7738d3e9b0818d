// The refresh of the latest draw beside the window's thread: one fetch at a time, a timer
// that asks again every few seconds until a draw arrives, and the outcome handed to whoever
// shows it. What an outcome says and whether it is asked for again is decided in draws/
// (RefreshOutcome.h); this is the task and the timer around it.
#pragma once

#include <string>

#include "draws/DrawFetcher.h"
#include "gui/BackgroundTask.h"
#include "gui/WindowTimer.h"

namespace orvenna {

// The latest draw is asked for every 3 s until one arrives.
inline constexpr int DrawRefreshIntervalMs = 3000;

// What the main panel does for the refresh.
class DrawRefreshObserver {
public:
    virtual ~DrawRefreshObserver() = default;
    // The timer's tick: ask again as the user would, by pressing the refresh button. A grey
    // button (a refresh still running, a dialog holding the window) lets the tick pass.
    virtual void pressRefresh() = 0;
    // A refresh started (true) or ended (false); the refresh button is grey meanwhile.
    virtual void drawRefreshRunning(bool running) = 0;
    // A line for the status bar.
    virtual void showDrawStatus(const std::wstring& text) = 0;
    // The outcome, once its status line was given: the strip shows a draw that came, or
    // says that the page did not read.
    virtual void showDrawOutcome(const RefreshOutcome& outcome) = 0;
};

class DrawRefresh {
public:
    // Outcomes come back through `owner`'s event queue; the refresh goes before the owner.
    DrawRefresh(wxEvtHandler& owner, DrawRefreshObserver& observer);
    // Stops the timer, cancels a refresh still running and waits for it.
    ~DrawRefresh() { cancel(); }

    // Where the draw comes from. Without a page address nothing is ever asked.
    void configure(DrawSource source) { source_ = std::move(source); }
    bool switchedOn() const { return !source_.pageUrl.empty(); }

    // Starts the timer that asks again until a draw (or a page without one) arrives.
    void startAsking() { timer_.Start(DrawRefreshIntervalMs); }

    // One refresh, run off the window's thread. A request while one runs is ignored; one that
    // does not come from the timer is the user's, and is always answered in the status bar.
    void start();
    // Stops the timer and a refresh still running; its outcome is dropped.
    void cancel();

    bool running() const { return task_.busy(); }
    WindowTimer& timer() { return timer_; }

private:
    void answer(const RefreshOutcome& outcome);
    void report(const std::wstring& text);

    DrawRefreshObserver& observer_;
    DrawSource source_;
    WindowTimer timer_;
    BackgroundTask<RefreshOutcome> task_;
    bool ticking_ = false;      // the timer is pressing the button
    bool askedByUser_ = false;  // the refresh running (or last run) was the user's press
    std::wstring lastStatus_;
};

}  // namespace orvenna
