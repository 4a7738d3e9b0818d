// The main window's content: the latest-draws strip, the casting, analysis and result panels.
// It lays them out, relays what they raise to the main window, runs the casting dispatch
// between them, and shows what the draw refresh reports.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/panel.h>

#include "DrawRefresh.h"
#include "engine/CastPipeline.h"
#include "gui/Event.h"
#include "records/EasyDb.h"

namespace orvenna {

class AnalysisPanel;
class CastingPanel;
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
    DrawRefresh drawRefresh_{*this, *this};
    bool drawShown_ = false;  // a draw has been shown; the strip keeps it
    std::function<CastClock()> clock_;
};

}  // namespace orvenna
