// The program's one top-level window: the content panel, the status bar, and the calls
// that the panels' events end in (the saved casts, the result text, the manual casting dialog).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/scrolwin.h>
#include <wx/statusbr.h>
#include <wx/weakref.h>

#include "draws/DrawFetcher.h"
#include "engine/CastPipeline.h"
#include "engine/Draw.h"
#include "gui/WindowTimer.h"
#include "records/EasyDb.h"
#include "update/window/UpdateCheck.h"

namespace orvenna {

class HistoryController;
class MainPanel;

// How long the window's store waits for another program's lock before it fails: the window
// answers within this time, and says why when the lock outlasts it.
inline constexpr int WindowStoreBusyMs = 100;

class TarvWin : public wxFrame, private UpdateObserver {
public:
    // The window uses `store` for saving, listing and replaying; the store outlives it and
    // is closed by whoever opened it.
    explicit TarvWin(EasyDb& store);
    ~TarvWin() override;

    // Creates the window and runs the start sequence; the window is shown at its end.
    void create();

    // Loads record `id` and casts it again, as a double click in the history list does.
    void replay(std::int64_t id);
    HistoryController& history() { return *history_; }

    MainPanel* mainPanel() const { return mainPanel_; }
    std::wstring statusMessage() const;

    // Runs the manual casting dialog; tests replace it.
    std::function<void()> runManualDialog;
    // Opens the help; the application sets it. A failure is said in the status bar.
    std::function<Status()> openHelp;
    // Where the latest draw comes from; the application sets it from the configuration.
    DrawSource drawSource;
    // The update server's base address ("update_url"); empty: no update check at all.
    std::string updateUrl;
    // Where config.ini and a downloaded installer live.
    std::filesystem::path programDir;
    // The public key an update's installer must be signed with.
    std::filesystem::path updateKeyFile;
    // The splash shows at start; window tests that are not about it turn it off.
    bool showSplash = true;
    class LoadWin* loadWindow() const {
        return loadWin_;
    }

    // The one-shot timer that starts the update check 5 s after the window was shown.
    WindowTimer& updateTimer() { return updateTimer_; }
    // The update timer's tick: asks the server (off the window's thread) and offers a newer
    // build in the update window.
    void checkForUpdate();
    bool checkingForUpdate() const { return updateCheck_.running(); }
    class UpdateWin* updateWindow() const {
        return updateWin_;
    }
    class ReviewWin* reviewWindow() const {
        return reviewWin_.get();
    }
    // Shows the store as it is now in an open 往期对照.
    void refreshReview();
    // The lines the last import left, while that list is open.
    class RefusedLinesWin* refusedLinesWindow() const {
        return refusedLinesWin_.get();
    }

private:
    // The steps of create(), in order.
    void setUpFrame();
    void createPanels();
    void createStatusBar();
    void fitToPanels();
    void bindWindowEvents();
    void runSplash();
    void scheduleUpdateCheck();

    void showUpdateOffer(UpdateOffer offer) override;
    void showUpdateNotice(const std::wstring& text) override;
    void keepInsideWorkArea();
    void layoutStatusBar();
    void relayout();
    void showPrediction(const CastResult& result);
    void keepDraw(const DrawResult& draw);
    std::optional<Draw> newestStoredDraw();
    void openReview();
    void openDrawList();
    void chooseDrawFile();
    void showRefusedLines(const std::vector<std::wstring>& lines);
    void showHelp();
    void setStatus(const std::wstring& text);

    EasyDb& store_;
    std::unique_ptr<HistoryController> history_;
    wxScrolledWindow* viewport_ = nullptr;
    MainPanel* mainPanel_ = nullptr;
    wxStatusBar* statusBar_ = nullptr;
    bool activated_ = false;
    bool refitting_ = false;
    WindowTimer updateTimer_;
    UpdateCheck updateCheck_{*this, *this};
    class UpdateWin* updateWin_ = nullptr;
    class LoadWin* loadWin_ = nullptr;
    // 往期对照, while it is open (it goes with this window, or when the user closes it).
    wxWeakRef<class ReviewWin> reviewWin_;
    wxWeakRef<class RefusedLinesWin> refusedLinesWin_;
};

}  // namespace orvenna
