// The main window's content: casting, analysis and result panels. It relays what they
// raise to the main window and runs the casting dispatch between them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/panel.h>

#include "draws/DrawFetcher.h"
#include "engine/CastPipeline.h"
#include "gui/BackgroundTask.h"
#include "gui/Event.h"
#include "gui/WindowTimer.h"
#include "records/EasyDb.h"

namespace orvenna {

class AnalysisPanel;
class CastingPanel;
class LatestDrawsPanel;
class ResultPanel;

// The code of 七星彩, the lottery whose draw times the time casting follows.
inline constexpr int SevenStarLottery = 106;
// The latest draw is asked for every 3 s until one arrives.
inline constexpr int DrawRefreshIntervalMs = 3000;

class MainPanel : public wxPanel {
public:
    explicit MainPanel(wxWindow* parent);
    // Cancels a refresh still running and waits for it.
    ~MainPanel() override;

    // Where the latest draw comes from; set before build. Without a page address the panel
    // keeps its placeholder and asks nothing.
    void setDrawSource(DrawSource source) { drawSource_ = std::move(source); }

    // Creates the panels in `fontText`'s font and connects their events.
    void build(const std::wstring& fontText);

    // One refresh of the latest draw, run off the window's thread; its result is shown when
    // it arrives. A request while one runs is ignored.
    void refreshLatestDraw();
    bool refreshing() const { return refresh_.busy(); }
    WindowTimer& drawRefreshTimer() { return drawRefreshTimer_; }

    // The clock the dispatch reads; tests set a fixed one.
    void setClock(std::function<CastClock()> clock) { clock_ = std::move(clock); }

    LatestDrawsPanel* latestDrawsPanel() const { return latestDraws_; }
    CastingPanel* castingPanel() const { return casting_; }
    AnalysisPanel* analysisPanel() const { return analysis_; }
    ResultPanel* resultPanel() const { return result_; }
    int lotteryCode() const { return lotteryCode_; }

    Event<const std::wstring&> statusText;
    Event<> openManualDialog;
    Event<const CastResult&> predictionReady;
    // Raised when a refresh's result has been shown (or found unusable); for the window tests.
    Event<> drawRefreshDone;

private:
    void applyRefresh(const RefreshOutcome& outcome);
    void reportRefresh(const std::wstring& text);

    LatestDrawsPanel* latestDraws_ = nullptr;
    CastingPanel* casting_ = nullptr;
    AnalysisPanel* analysis_ = nullptr;
    ResultPanel* result_ = nullptr;
    WindowTimer drawRefreshTimer_;
    DrawSource drawSource_;
    BackgroundTask<RefreshOutcome> refresh_{*this};
    bool drawShown_ = false;    // a draw has been shown; the strip keeps it
    bool retryTick_ = false;    // the refresh timer is pressing the button
    bool askedByUser_ = false;  // the refresh running (or last run) was the user's press
    std::wstring lastRefreshStatus_;
    std::wstring fontText_;
    int lotteryCode_ = 0;
    std::function<CastClock()> clock_;
};

}  // namespace orvenna
