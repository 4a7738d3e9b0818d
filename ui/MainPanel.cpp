#include "MainPanel.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "ChartWin.h"
#include "LatestDrawsPanel.h"
#include "ResultPanel.h"
#include "gui/LabeledEdit.h"
#include "gui/Layout.h"
#include "gui/PictureButton.h"
#include "system/Clock.h"

#include <wx/menu.h>

namespace orvenna {

namespace {

// The content's planned width, in 96-DPI pixels: the window's 1024 outside less a gap. It
// grows by what the platform's controls make the casting row wider than the chart below it.
constexpr int PlannedWidthPx = 1024;

}  // namespace

MainPanel::MainPanel(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxPoint(0, 0)), clock_(systemClock) {}

MainPanel::~MainPanel() {
    drawRefresh_.cancel();
}

void MainPanel::build() {
    latestDraws_ = new LatestDrawsPanel(this);
    latestDraws_->refreshRequested.connect([this] { drawRefresh_.start(); });
    if (!drawRefresh_.switchedOn()) {
        // Switched off in the configuration: nothing to wait for, and the strip says so, or
        // shows what the store holds.
        answered_ = true;
        if (!showStoredDraw()) latestDraws_->showNotice(DrawOffNotice);
        latestDraws_->refreshButton()->Disable();
    } else {
        latestDraws_->showNotice(DrawWaitingNotice);
        drawRefresh_.startAsking();
    }

    casting_ = new CastingPanel(this);
    casting_->build();
    casting_->panelChanged.connect([this] {
        if (result_) result_->clearResult();
        if (analysis_) analysis_->clear();
        showChart(false);
    });
    casting_->openChart.connect([this] { openChart(); });
    casting_->notice.connect([this](const std::wstring& text) { statusText.raise(text); });
    casting_->openLineEntry.connect([this] { openManualDialog.raise(); });
    casting_->castRequested.connect([this](CastRequest& request) { analysis_->runAnalysis(request, clock_()); });

    analysis_ = new AnalysisPanel(this);
    analysis_->analysisDone.connect([this](const CastResult& result) {
        showChart(true);
        predictionReady.raise(result);
    });
    bindChartMouse();

    result_ = new ResultPanel(this);

    // Tab goes from the casting row to the result column, then to the report and the
    // refresh button, which a keyboard user needs least.
    result_->MoveAfterInTabOrder(casting_);
    analysis_->MoveAfterInTabOrder(result_);
    latestDraws_->MoveAfterInTabOrder(analysis_);
}

// Measured first with room to spare: what the result column asks for depends a little on
// the height it had (a box too low for its text shows a scroll bar).
void MainPanel::fit(int plannedHeight) {
    layoutPanels(2 * plannedHeight);
    const int gap = LayoutContext(this).gap();
    layoutPanels(std::max({plannedHeight, result_->GetPosition().y + result_->requiredHeight() + gap,
                           analysis_->GetPosition().y + analysis_->requiredHeight()}));
}

void MainPanel::measure() {
    latestDraws_->layout();
    casting_->layout();
    analysis_->measure();
}

// `usable` is the content's height. The strip and the casting row above the chart, the
// result column right of them filling the planned width, widened where the platform's
// controls make the casting row wider than the chart below it.
void MainPanel::layoutPanels(int usable) {
    const LayoutContext layout(this);
    const int gap = layout.gap();
    const int castingOverhang = gap + casting_->widestWidth() - right(analysis_);
    const int outerWidth = layout.px(PlannedWidthPx) + std::max(0, castingOverhang);
    moveTo(latestDraws_, gap, gap);
    moveTo(casting_, gap, bottom(latestDraws_) + gap);
    // The chart and the result column end at the content's bottom, the result column 10
    // above it, so that nothing lies outside the window.
    place(analysis_, 0, bottom(casting_) + gap, analysis_->GetSize().x, usable - bottom(casting_) - gap, Floor::Exact);
    const int resultLeft = std::max(right(analysis_), casting_->GetPosition().x + casting_->widestWidth()) + gap;
    place(result_, resultLeft, gap, outerWidth - resultLeft - 2 * gap, usable - 2 * gap, Floor::Exact);
    place(this, 0, 0, right(result_) + gap, usable, Floor::Exact);
    analysis_->layoutControls();
    result_->layoutControls();
}

void MainPanel::showChart(bool shown) {
    chartShown_ = shown;
    casting_->enableChart(shown);
    // An open detail window follows the chart on show: a new cast or a replay shows there too.
    if (shown && chartWin_ && chartWin_->IsShown()) chartWin_->show(analysis_->analysis());
}

void MainPanel::openChart() {
    if (!chartShown_) return;
    if (!chartWin_) chartWin_ = new ChartWin(wxGetTopLevelParent(this));
    chartWin_->show(analysis_->analysis());
}

// A double-click anywhere on the chart opens the detail window, and so does its context menu;
// the interpretation text keeps its own menu and a double-click that selects a word.
void MainPanel::bindChartMouse() {
    auto doubleClick = [this](wxMouseEvent&) { openChart(); };
    analysis_->Bind(wxEVT_LEFT_DCLICK, doubleClick);
    for (wxWindow* child : analysis_->GetChildren())
        if (child != analysis_->interpretation()) child->Bind(wxEVT_LEFT_DCLICK, doubleClick);
    analysis_->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
        if (event.GetEventObject() == analysis_->interpretation()) return event.Skip();
        wxMenu menu;
        menu.Append(wxID_ANY, L"详细排盘(&X)")->Enable(chartShown_);
        menu.Bind(wxEVT_MENU, [this](wxCommandEvent&) { CallAfter([this] { openChart(); }); });
        analysis_->PopupMenu(&menu);
    });
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

// A draw from the page stays on show whatever comes after it; before one has come, the
// stored draw stands in for it, and only where there is none does the strip say why.
void MainPanel::showDrawOutcome(const RefreshOutcome& outcome) {
    answered_ = true;
    switch (outcome.state) {
        case RefreshState::Offline:
        case RefreshState::NotFetched:
            showStoredDraw();
            break;
        case RefreshState::NoDraw:
        case RefreshState::Unreadable:
            if (!drawShown_ && !showStoredDraw()) latestDraws_->showNotice(DrawUnreadableNotice);
            break;
        case RefreshState::Drawn:
            drawShown_ = true;
            storedShown_.reset();
            latestDraws_->showDraw(outcome.draw);
            drawFetched.raise(outcome.draw);
            break;
    }
}

bool MainPanel::showStoredDraw(bool readAgain) {
    if (drawShown_ || !answered_ || !storedDraw_) return false;
    // The store is read once for the strip, and again only when it changed: the refresh
    // asks every few seconds while the network is down.
    if (storedShown_ && !readAgain) return true;
    const std::optional<Draw> newest = storedDraw_();
    if (!newest) return storedShown_.has_value();
    if (newest == storedShown_) return true;
    storedShown_ = newest;
    // The button keeps its state: grey where nothing is asked, or while a refresh runs.
    const bool enabled = !latestDraws_->refreshButton() || latestDraws_->refreshButton()->IsEnabled();
    latestDraws_->showStoredDraw(*newest);
    latestDraws_->refreshButton()->Enable(enabled);
    return true;
}

void MainPanel::storedDrawsChanged() {
    showStoredDraw(true);
}

}  // namespace orvenna
