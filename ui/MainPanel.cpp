#include "MainPanel.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "LabeledEdit.h"
#include "LatestDrawsPanel.h"
#include "ResultPanel.h"
#include "framework/Clock.h"
#include "framework/FontText.h"
#include "framework/PictureButton.h"

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
    drawRefreshTimer_.setHandler([this] { latestDraws_->refreshButton()->press(); });

    latestDraws_ = new LatestDrawsPanel(this);
    latestDraws_->refreshRequested.connect([this] { refreshLatestDraw(); });
    latestDraws_->showDraw(std::wstring(DrawPlaceholder), L"开奖最后日期", L"开奖最后期号", fontText_, 1);
    if (drawSource_.pageUrl.empty())
        latestDraws_->refreshButton()->Disable();
    else
        drawRefreshTimer_.Start(DrawRefreshIntervalMs);

    casting_ = new CastingPanel(this);
    casting_->build(fontText_);
    casting_->panelChanged.connect([this] {
        if (result_) result_->clearResult();
        if (analysis_) analysis_->clear();
    });
    casting_->openLineEntry.connect([this] { openManualDialog.raise(); });
    casting_->castMessage.connect(
        [this](int code, const std::wstring& message, CastRequest& request) { dispatchCast(code, message, request); });

    if (fontText_.empty()) fontText_ = fontText(fontFromText(L""));
    analysis_ = new AnalysisPanel(this, fontText_);
    analysis_->analysisDone.connect([this](const CastResult& result) { predictionReady.raise(result); });

    result_ = new ResultPanel(this);
    result_->buttonClicked.connect([this](int id) {
        if (id == SaveButton)
            saveRequested.raise(result_->titleEdit()->text(), analysis_->record(), result_->noteEdit()->text(),
                                result_->history());
        else if (id == DeleteButton || id == HelpButton)
            resultButton.raise(id);
    });
    result_->replayRequested.connect([this](std::int64_t id) { replayRequested.raise(id); });

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
    if (started) latestDraws_->refreshButton()->Disable();
}

// In the order the user sees it: status text, timer, the row.
void MainPanel::applyRefresh(const RefreshOutcome& outcome) {
    latestDraws_->refreshButton()->Enable();
    if (!outcome.networkUp) {
        statusText.raise(L"未连网");
    } else if (outcome.draw.status == DrawParsed) {
        drawRefreshTimer_.Stop();
        // A page that was not there or held no draw stops the asking but changes nothing.
        if (outcome.draw.usable()) {
            statusText.raise(std::wstring(DrawUpdatedText));
            latestDraws_->showDraw(outcome.draw.mainNumbers + outcome.draw.extraNumbers, outcome.draw.drawDate,
                                   outcome.draw.period, fontText_, 0);
        }
    }
    drawRefreshDone.raise();
}

void MainPanel::dispatchCast(int code, const std::wstring& message, CastRequest& request) {
    statusText.raise(message);
    if (code <= 0 || request.isErrorCarrier) return;
    analysis_->runAnalysis(request, clock_());
}

}  // namespace orvenna
