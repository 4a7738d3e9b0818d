// The main window's content: casting, analysis and result panels. It relays what they
// raise to the main window and runs the casting dispatch between them.
#pragma once

#include <functional>
#include <string>

#include <wx/panel.h>

#include "engine/AnalysisRecord.h"
#include "engine/CastDispatch.h"
#include "framework/Event.h"
#include "records/EasyDb.h"

namespace orvenna {

class AnalysisPanel;
class CastingPanel;
class ResultPanel;

// The code of 七星彩, the lottery whose draw times the time casting follows.
inline constexpr int SevenStarLottery = 106;

class MainPanel : public wxPanel {
public:
    explicit MainPanel(wxWindow* parent);

    // Creates the panels in `fontText`'s font and connects their events.
    void build(const std::wstring& fontText);

    // The clock the dispatch reads; tests set a fixed one.
    void setClock(std::function<CastClock()> clock) { clock_ = std::move(clock); }

    CastingPanel* castingPanel() const { return casting_; }
    AnalysisPanel* analysisPanel() const { return analysis_; }
    ResultPanel* resultPanel() const { return result_; }
    int lotteryCode() const { return lotteryCode_; }
    wxSize charCell() const { return charCell_; }

    Event<const std::wstring&> statusText;
    Event<> openManualDialog;
    Event<AnalysisRecord&> predictionReady;
    // title, the current analysis, note, the history list to fill again
    Event<const std::wstring&, AnalysisRecord&, const std::wstring&, HistoryList&> saveRequested;
    // DeleteButton or HelpButton
    Event<int> resultButton;
    Event<int> replayRequested;

private:
    void dispatchCast(int code, const std::wstring& message, CastRequest& request);

    CastingPanel* casting_ = nullptr;
    AnalysisPanel* analysis_ = nullptr;
    ResultPanel* result_ = nullptr;
    std::wstring fontText_;
    wxSize charCell_;
    int lotteryCode_ = 0;
    std::function<CastClock()> clock_;
};

}  // namespace orvenna
