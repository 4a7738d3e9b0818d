// One piece of work beside the window's thread: it runs on a thread of its own, can be told
// to stop, and hands its result to the window's thread through the owner's event queue.
//
// The owner keeps the task as a member. Cancelling, or the task going away with its owner,
// sets the stop flag and waits for the thread. A result or progress call already queued on
// the window's thread when the task was cancelled is dropped where it is handed over, so
// that nothing is delivered after cancel(), not even once a later run has started.
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include <wx/event.h>

namespace orvenna {

template <typename Result>
class BackgroundTask {
public:
    using Work = std::function<Result(const std::atomic<bool>& cancelled)>;
    using Done = std::function<void(const Result&)>;

    explicit BackgroundTask(wxEvtHandler& owner) : owner_(owner) {}
    ~BackgroundTask() { cancel(); }
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Runs `work` on a new thread; unless cancelled meanwhile, `done` gets its result on the
    // window's thread. False (and nothing started) while an earlier run is still busy.
    bool start(Work work, Done done) {
        if (busy_) return false;
        if (thread_.joinable()) thread_.join();
        cancel_ = false;
        busy_ = true;
        const unsigned run = ++run_;
        thread_ = std::thread([this, run, work = std::move(work), done = std::move(done)] {
            Result result = work(cancel_);
            if (cancel_) return;
            owner_.CallAfter([this, run, done, result = std::move(result)] {
                if (!current(run)) return;
                busy_ = false;
                done(result);
            });
        });
        return true;
    }

    // From the worker: runs `call` on the window's thread, unless the task is cancelled
    // before it gets there.
    void post(std::function<void()> call) {
        if (cancel_) return;
        owner_.CallAfter([this, run = run_.load(), call = std::move(call)] {
            if (current(run)) call();
        });
    }

    // Tells the work to stop and waits until its thread has ended; its result is dropped.
    void cancel() {
        cancel_ = true;
        if (thread_.joinable()) thread_.join();
        busy_ = false;
    }

    // From start until the result was handed over (or the task was cancelled).
    bool busy() const { return busy_; }

private:
    // On the window's thread: the call belongs to the run still going, not to one cancelled.
    bool current(unsigned run) const { return run == run_ && !cancel_; }

    wxEvtHandler& owner_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<unsigned> run_{0};  // counts the runs started; written by the window's thread only
    bool busy_ = false;             // the window's thread only
};

}  // namespace orvenna
