#include "DrawRefresh.h"

#include "ui/words/RefreshWords.h"

namespace orvenna {

DrawRefresh::DrawRefresh(wxEvtHandler& owner, DrawRefreshObserver& observer) : observer_(observer), task_(owner) {
    timer_.setHandler([this] {
        ticking_ = true;
        observer_.pressRefresh();
        ticking_ = false;
    });
}

void DrawRefresh::start() {
    if (!switchedOn()) return;
    // The worker only reads its own copy of the source.
    const bool started =
        task_.start([source = source_](const std::atomic<bool>& cancelled) { return refreshOnce(source, &cancelled); },
                    [this](const RefreshOutcome& outcome) { answer(outcome); });
    if (!started) return;
    askedByUser_ = !ticking_;
    observer_.drawRefreshRunning(true);
}

void DrawRefresh::cancel() {
    timer_.Stop();
    task_.cancel();
}

// The status bar is where the user reads why a cast did not run: a retry says its state only
// when it changed, so that "未选择卦主生肖" is not replaced every few seconds by the same
// "未连网". A refresh the user asked for always answers.
void DrawRefresh::report(const std::wstring& text) {
    if (askedByUser_ || text != lastStatus_) observer_.showDrawStatus(text);
    lastStatus_ = text;
}

// In the order the user sees it: the button, the status text, the strip.
void DrawRefresh::answer(const RefreshOutcome& outcome) {
    observer_.drawRefreshRunning(false);
    if (!refreshAsksAgain(outcome.state)) timer_.Stop();
    report(refreshStatusText(outcome));
    observer_.showDrawOutcome(outcome);
}

}  // namespace orvenna
