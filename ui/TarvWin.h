// The program's one top-level window: the content panel, the status bar, and the calls
// that the panels' events end in (record store, result text, manual casting dialog).
#pragma once

#include <functional>
#include <string>

#include <wx/frame.h>
#include <wx/statusbr.h>

#include "draws/DrawFetcher.h"
#include "engine/AnalysisRecord.h"
#include "records/EasyDb.h"

namespace orvenna {

class MainPanel;

class TarvWin : public wxFrame {
public:
    // The window uses `store` for saving, listing and replaying; the store outlives it.
    explicit TarvWin(EasyDb& store);
    ~TarvWin() override;

    // Creates the window and runs the start sequence; the window is shown at its end.
    void create();

    // Loads record `id` and casts it again; nothing happens for an id the store lacks.
    void replay(int id);

    MainPanel* mainPanel() const { return mainPanel_; }
    std::wstring statusMessage() const;
    const std::wstring& fontText() const { return fontText_; }

    // Runs the manual casting dialog; tests replace it.
    std::function<void()> runManualDialog;
    // Opens the help; the application sets it.
    std::function<void()> openHelp;
    // Where the latest draw comes from; the application sets it from the configuration.
    DrawSource drawSource;

private:
    void layoutPanels();
    void showPrediction(AnalysisRecord& record);
    void save(const std::wstring& title, AnalysisRecord& record, const std::wstring& note, HistoryList& list);
    void deleteTicked();
    void setStatus(const std::wstring& text);

    EasyDb& store_;
    MainPanel* mainPanel_ = nullptr;
    wxStatusBar* statusBar_ = nullptr;
    std::wstring fontText_;
    bool activated_ = false;
};

}  // namespace orvenna
