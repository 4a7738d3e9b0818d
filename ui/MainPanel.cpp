#include "MainPanel.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "LatestDrawsPanel.h"
#include "ResultPanel.h"
#include "base/Text.h"
#include "gui/FontText.h"
#include "gui/LabeledEdit.h"
#include "gui/PictureButton.h"
#include "system/Clock.h"

namespace orvenna {

MainPanel::MainPanel(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxPoint(0, 0)), clock_(systemClock) {}

MainPanel::~MainPanel() {
    drawRefreshTimer_.Stop();
    refresh_.cancel();
}

void MainPanel::build(const std::wstring& description) {
    fontText_ = description;
    lotteryCode_ = SevenStarLottery;
    // Each tick presses the refresh button, as the user would.
    drawRefreshTimer_.setHandler([this] {
        retryTick_ = true;
        latestDraws_->refreshButton()->press();
        retryTick_ = false;
    });

    latestDraws_ = new LatestDrawsPanel(this);
    latestDraws_->refreshRequested.connect([this] { refreshLatestDraw(); });
    if (drawSource_.pageUrl.empty()) {
        // Switched off in the configuration: nothing to wait for, and the strip says so.
        latestDraws_->showNotice(DrawOffNotice, fontText_);
        latestDraws_->refreshButton()->Disable();
    } else {
        latestDraws_->showDraw(std::wstring(DrawPlaceholder), L"开奖最后日期", L"开奖最后期号", fontText_, 1);
        drawRefreshTimer_.Start(DrawRefreshIntervalMs);
    }

    casting_ = new CastingPanel(this);
    casting_->build(fontText_);
    casting_->panelChanged.connect([this] {
        if (result_) result_->clearResult();
        if (analysis_) analysis_->clear();
    });
    casting_->notice.connect([this](const std::wstring& text) { statusText.raise(text); });
    casting_->openLineEntry.connect([this] { openManualDialog.raise(); });
    casting_->castRequested.connect([this](CastRequest& request) { analysis_->runAnalysis(request, clock_()); });

    if (fontText_.empty()) fontText_ = fontText(fontFromText(L""));
    analysis_ = new AnalysisPanel(this, fontText_);
    analysis_->analysisDone.connect([this](const CastResult& result) { predictionReady.raise(result); });

    result_ = new ResultPanel(this, fontText_);

    // Tab goes from the casting row to the result column, then to the report and the
    // refresh button, which a keyboard user needs least.
    result_->MoveAfterInTabOrder(casting_);
    analysis_->MoveAfterInTabOrder(result_);
    latestDraws_->MoveAfterInTabOrder(analysis_);
}

void MainPanel::refreshLatestDraw() {
    if (drawSource_.pageUrl.empty()) return;
    // The worker only reads its own copy of the source.
    const bool started = refresh_.start(
        [source = drawSource_](const std::atomic<bool>& cancelled) { return refreshOnce(source, &cancelled); },
        [this](const RefreshOutcome& outcome) { applyRefresh(outcome); });
    if (!started) return;
    askedByUser_ = !retryTick_;
    latestDraws_->refreshButton()->Disable();
}

// The status bar is where the user reads why a cast did not run: a retry says its state only
// when it changed, so that "未选择卦主生肖" is not replaced every few seconds by the same
// "未连网". A refresh the user asked for always answers.
void MainPanel::reportRefresh(const std::wstring& text) {
    if (askedByUser_ || text != lastRefreshStatus_) statusText.raise(text);
    lastRefreshStatus_ = text;
}

// In the order the user sees it: status text, timer, the row. The timer asks again while
// the page may still come (network down, site not answering, a page that did not read).
void MainPanel::applyRefresh(const RefreshOutcome& outcome) {
    latestDraws_->refreshButton()->Enable();
    const std::wstring reason = fromUtf8(outcome.reason);
    switch (outcome.state) {
        case RefreshState::Offline:
            reportRefresh(L"未连网");
            break;
        case RefreshState::NotFetched:
            reportRefresh(L"无法获取开奖页面:" + reason);
            break;
        case RefreshState::NoDraw:
            drawRefreshTimer_.Stop();
            [[fallthrough]];
        case RefreshState::Unreadable:
            reportRefresh(L"开奖页面无法读取:" + reason);
            // A draw already on show stays; the notice only replaces the placeholder.
            if (!drawShown_) latestDraws_->showNotice(DrawUnreadableNotice, fontText_);
            break;
        case RefreshState::Drawn:
            drawShown_ = true;
            drawRefreshTimer_.Stop();
            reportRefresh(std::wstring(DrawUpdatedText));
            latestDraws_->showDraw(outcome.draw.mainNumbers + outcome.draw.extraNumbers, outcome.draw.drawDate,
                                   outcome.draw.period, fontText_, 0);
            break;
    }
    drawRefreshDone.raise();
}

}  // namespace orvenna
