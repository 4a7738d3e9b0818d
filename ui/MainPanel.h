// The main window's content: the latest-draws strip, the casting, analysis and result panels.
// It lays them out, relays what they raise to the main window, runs the casting dispatch
// between them, and shows what the draw refresh reports.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <wx/panel.h>

#include "DrawRefresh.h"
#include "engine/CastPipeline.h"
#include "engine/Draw.h"
#include "gui/Event.h"
#include "records/EasyDb.h"

namespace orvenna {

class AnalysisPanel;
class CastingPanel;
class ChartWin;
class LatestDrawsPanel;
class ResultPanel;

class MainPanel : public wxPanel, private DrawRefreshObserver {
public:
    explicit MainPanel(wxWindow* parent);
    // Cancels a refresh still running and waits for it.
    ~MainPanel() override;

    // Where the latest draw comes from; set before build. Without a page address the strip
    // says that the draw is off, and nothing is asked.
    void setDrawSource(DrawSource source) { drawRefresh_.configure(std::move(source)); }
    // The newest draw the store holds, if any; set before build. The strip shows it, marked as
    // stored, while no draw has come from the results page and none is on its way: without a
    // page address, and after a refresh that brought none.
    void setStoredDraw(std::function<std::optional<Draw>()> newest) { storedDraw_ = std::move(newest); }
    // The store's draws changed: a stored draw on show gives way to the newest.
    void storedDrawsChanged();

    // Creates the panels, in the font the panel inherited, and connects their events.
    void build();

    // Lays the panels out for a content `plannedHeight` high (the window's planned client
    // area above its status bar), taller where the result column or the chart's text needs
    // more; the panel takes the size they need. Builds the result column the first time.
    void fit(int plannedHeight);
    // Measures the strip, the casting row and the chart again (a new DPI); fit() follows.
    void measure();

    // The refresh of the latest draw: its timer, and whether one is running.
    DrawRefresh& drawRefresh() { return drawRefresh_; }

    // The clock the dispatch reads; tests set a fixed one.
    void setClock(std::function<CastClock()> clock) { clock_ = std::move(clock); }

    LatestDrawsPanel* latestDrawsPanel() const { return latestDraws_; }
    CastingPanel* castingPanel() const { return casting_; }
    AnalysisPanel* analysisPanel() const { return analysis_; }
    ResultPanel* resultPanel() const { return result_; }

    // Opens 排盘详情 on the chart on show (none: nothing happens). 详细排盘, the chart's
    // context menu and a double-click on the chart open it.
    void openChart();
    // The detail window, once it was opened.
    ChartWin* chartWin() const { return chartWin_; }
    bool chartShown() const { return chartShown_; }

    Event<const std::wstring&> statusText;
    Event<> openManualDialog;
    Event<const CastResult&> predictionReady;
    // A draw read from the results page, once it is on show.
    Event<const DrawResult&> drawFetched;

private:
    void layoutPanels(int usable);
    void pressRefresh() override;
    void drawRefreshRunning(bool running) override;
    void showDrawStatus(const std::wstring& text) override;
    void showDrawOutcome(const RefreshOutcome& outcome) override;

    LatestDrawsPanel* latestDraws_ = nullptr;
    CastingPanel* casting_ = nullptr;
    AnalysisPanel* analysis_ = nullptr;
    ResultPanel* result_ = nullptr;
    ChartWin* chartWin_ = nullptr;
    bool chartShown_ = false;
    void showChart(bool shown);
    void bindChartMouse();
    DrawRefresh drawRefresh_{*this, *this};
    // Shows the newest stored draw (read again with `readAgain`), where there is one and the
    // strip is not waiting for the page's first answer nor showing its draw; false where the
    // strip shows none.
    bool showStoredDraw(bool readAgain = false);

    bool drawShown_ = false;  // a draw has been shown; the strip keeps it
    bool answered_ = false;   // the page answered, or is never asked
    std::function<std::optional<Draw>()> storedDraw_;
    std::optional<Draw> storedShown_;  // the stored draw on show
    std::function<CastClock()> clock_;
};

}  // namespace orvenna
