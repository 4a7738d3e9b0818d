#include "MainPanel.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "LatestDrawsPanel.h"
#include "ResultPanel.h"
#include "gui/FontText.h"
#include "gui/LabeledEdit.h"
#include "gui/PictureButton.h"
#include "system/Clock.h"

namespace orvenna {

MainPanel::MainPanel(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxPoint(0, 0)), clock_(systemClock) {}

MainPanel::~MainPanel() {
    drawRefresh_.cancel();
}

void MainPanel::build(const std::wstring& description) {
    fontText_ = description;
    latestDraws_ = new LatestDrawsPanel(this, fontText_);
    latestDraws_->refreshRequested.connect([this] { drawRefresh_.start(); });
    if (!drawRefresh_.switchedOn()) {
        // Switched off in the configuration: nothing to wait for, and the strip says so.
        latestDraws_->showNotice(DrawOffNotice);
        latestDraws_->refreshButton()->Disable();
    } else {
        latestDraws_->showNotice(DrawWaitingNotice);
        drawRefresh_.startAsking();
    }

    casting_ = new CastingPanel(this);
    casting_->build(fontText_);
    casting_->panelChanged.connect([this] {
        if (result_) result_->clearResult();
        if (analysis_) analysis_->clear();
    });
    casting_->notice.connect([this](const std::wstring& text) { statusText.raise(text); });
    casting_->openLineEntry.connect([this] { openManualDialog.raise(); });
    casting_->castMessage.connect(
        [this](int code, const std::wstring& message, CastRequest& request) { dispatchCast(code, message, request); });

    analysis_ = new AnalysisPanel(this, fontText_.empty() ? fontText(fontFromText(L"")) : fontText_);
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

void MainPanel::pressRefresh() {
    latestDraws_->refreshButton()->press();
}

void MainPanel::drawRefreshRunning(bool running) {
    latestDraws_->refreshButton()->Enable(!running);
}

void MainPanel::showDrawStatus(const std::wstring& text) {
    statusText.raise(text);
}

void MainPanel::showDrawOutcome(const RefreshOutcome& outcome) {
    switch (outcome.state) {
        case RefreshState::Offline:
        case RefreshState::NotFetched:
            break;
        case RefreshState::NoDraw:
        case RefreshState::Unreadable:
            // A draw already on show stays; the notice only replaces the placeholder.
            if (!drawShown_) latestDraws_->showNotice(DrawUnreadableNotice);
            break;
        case RefreshState::Drawn:
            drawShown_ = true;
            latestDraws_->showDraw(outcome.draw);
            break;
    }
}

void MainPanel::dispatchCast(int code, const std::wstring& message, CastRequest& request) {
    statusText.raise(message);
    if (code <= 0 || request.isErrorCarrier) return;
    analysis_->runAnalysis(request, clock_());
}

}  // namespace orvenna
