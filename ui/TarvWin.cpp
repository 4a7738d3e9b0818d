#include "TarvWin.h"

#include <algorithm>

#include <wx/filedlg.h>

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "DrawListWin.h"
#include "GuaWin.h"
#include "HistoryController.h"
#include "LatestDrawsPanel.h"
#include "MainPanel.h"
#include "RefusedLinesWin.h"
#include "ResultPanel.h"
#include "ReviewWin.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "base/Version.h"
#include "gui/FileDialogs.h"
#include "gui/FontText.h"
#include "gui/LabeledCombo.h"
#include "gui/Layout.h"
#include "gui/Pictures.h"
#include "gui/ScrolledView.h"
#include "gui/WindowFront.h"
#include "records/DrawStore.h"
#include "records/StoredReview.h"
#include "system/Clock.h"
#include "system/ProgramDirectory.h"
#include "ui/LoadWin.h"
#include "ui/words/HistoryWords.h"
#include "ui/words/StoreReason.h"
#include "update/window/UpdateWin.h"

namespace orvenna {

namespace {

// The window's planned client height, in 96-DPI pixels.
constexpr int PlannedClientHeight = 600;
constexpr int UpdateCheckDelayMs = 5000;
// The status bar's caption "状态:": its planned width, and its margin where the text needs more.
constexpr int StatusCaptionWidth = 48;
constexpr int StatusCaptionMargin = 12;
// The view scrolls by this much a unit, both ways.
constexpr int ScrollStep = 10;

}  // namespace

// The window takes the size its panels need; where the screen is smaller, or the user makes
// the window smaller, the panels keep their layout and scroll.
TarvWin::TarvWin(EasyDb& store)
    : wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE & ~wxMAXIMIZE_BOX),
      programDir(programDirectory()),
      updateKeyFile(trustedUpdateKeyFile()),
      store_(store) {
    runManualDialog = [this] {
        GuaWin dialog(this, mainPanel_->castingPanel()->request());
        dialog.ShowModal();
    };
}

TarvWin::~TarvWin() {
    // The update window goes first, while this window can still hear that it went.
    delete updateWin_;
    updateTimer_.Stop();
    updateCheck_.cancel();
}

void TarvWin::create() {
    setUpFrame();
    createPanels();
    createStatusBar();
    fitToPanels();
    bindWindowEvents();
    runSplash();
    Show();
    mainPanel_->castingPanel()->methodChoice()->list()->SetFocus();
    showFocusCues(this);
    scheduleUpdateCheck();
}

void TarvWin::setUpFrame() {
    Hide();
    // The content has one size: maximised, it would only add empty space beside it.
    keepFromMaximising(this);
    SetTitle(L"Orvenna " + std::wstring(ProgramVersionText) + L"版");
    wxIcon icon;
    icon.CopyFromBitmap(pictureBitmap("orvenna.png", wxSize(64, 64)));
    SetIcon(icon);
    // Set once here: every panel and control inherits it.
    SetFont(fontFromText(interfaceFontText()));
}

void TarvWin::createPanels() {
    viewport_ = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL);
    mainPanel_ = new MainPanel(viewport_);
    mainPanel_->statusText.connect([this](const std::wstring& text) { setStatus(text); });
    mainPanel_->openManualDialog.connect([this] {
        if (runManualDialog) runManualDialog();
    });
    mainPanel_->predictionReady.connect([this](const CastResult& result) { showPrediction(result); });
    mainPanel_->drawFetched.connect([this](const DrawResult& draw) { keepDraw(draw); });
    mainPanel_->setDrawSource(drawSource);
    mainPanel_->setStoredDraw([this] { return newestStoredDraw(); });
    mainPanel_->build();
    history_ = std::make_unique<HistoryController>(store_, *mainPanel_->resultPanel(), *mainPanel_->castingPanel(),
                                                   *mainPanel_->analysisPanel());
    history_->statusText.connect([this](const std::wstring& text) { setStatus(text); });
    history_->scoreNoted.connect([this](const std::wstring& line) { setStatus(statusMessage() + L"  " + line); });
    history_->storeChanged.connect([this] {
        mainPanel_->storedDrawsChanged();
        refreshReview();
    });
    history_->linesRefused.connect([this](const std::vector<std::wstring>& lines) { showRefusedLines(lines); });
    ResultPanel* result = mainPanel_->resultPanel();
    result->saveRequested.connect([this] { history_->save(mainPanel_->analysisPanel()->record()); });
    result->deleteRequested.connect([this] { history_->deleteTicked(); });
    result->replayRequested.connect([this](std::int64_t id) { replay(id); });
    result->helpRequested.connect([this] { showHelp(); });
    result->reviewRequested.connect([this] { openReview(); });
    result->importRequested.connect([this] { chooseDrawFile(); });
}

void TarvWin::createStatusBar() {
    statusBar_ = CreateStatusBar(2);
    statusBar_->SetFont(GetFont());
    layoutStatusBar();
    statusBar_->SetStatusText(L"状态:", 0);
}

void TarvWin::layoutStatusBar() {
    // "状态:" gets its planned width, or what its text needs where the font is wider.
    const LayoutContext layout(statusBar_);
    const int captionWidth =
        std::max(layout.px(StatusCaptionWidth), layout.extent(L"状态:").x + layout.px(StatusCaptionMargin));
    const int widths[2] = {captionWidth, -1};
    statusBar_->SetStatusWidths(2, widths);
}

// The panels are laid out for the 800 x 600 client area the window was planned with, at
// the screen's DPI; where the font's cells need more height, the content grows until the
// result column and the chart's text fit. The window then takes the content's size, as
// much of it as the screen's work area holds.
void TarvWin::fitToPanels() {
    const LayoutContext layout(this);
    mainPanel_->fit(layout.px(PlannedClientHeight) - statusBar_->GetSize().y);
    viewport_->SetScrollRate(layout.px(ScrollStep), layout.px(ScrollStep));
    fitOnScreen(this, mainPanel_->GetSize());
    fitScrolledArea(viewport_, mainPanel_->GetSize());
}

// Where the window manager's frame turned out larger than the estimate the window was sized
// with (it frames the window only once it is shown), the window is fitted again, and its
// content scrolls.
void TarvWin::keepInsideWorkArea() {
    if (refitting_ || IsMaximized() || IsIconized() || !outgrowsWorkArea(this)) return;
    refitting_ = true;
    fitOnScreen(this, mainPanel_->GetSize());
    refitting_ = false;
}

// A window moved to a screen of another DPI measures its cells again and lays every panel
// out anew, as at its start.
void TarvWin::relayout() {
    SetFont(fontFromText(interfaceFontText()));
    statusBar_->SetFont(GetFont());
    layoutStatusBar();
    mainPanel_->measure();
    fitToPanels();
}

void TarvWin::bindWindowEvents() {
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        relayout();
        event.Skip();
    });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive() && !activated_) {
            activated_ = true;
            history_->load();
        } else if (event.GetActive()) {
            history_->reloadPending();
        } else {
            // A tooltip left over a window that opened on top of it would hide what it shows.
            mainPanel_->resultPanel()->hideTip();
        }
        event.Skip();
    });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (!refitting_) CallAfter([this] { keepInsideWorkArea(); });
    });
    keepFocusInView(this, viewport_);
    viewport_->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        fitScrolledArea(viewport_, mainPanel_->GetSize());
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_F1 && !event.HasAnyModifiers() && openHelp)
            showHelp();
        else if (key == 'X' && event.GetModifiers() == wxMOD_ALT)
            mainPanel_->openChart();
        else if (event.HasAnyModifiers() || !scrollByPage(viewport_, key))
            event.Skip();
    });
}

// The splash runs modally while this window is still hidden; the draw timer ticks on under it.
void TarvWin::runSplash() {
    if (!showSplash) return;
    LoadWin splash(this);
    loadWin_ = &splash;
    splash.ShowModal();
    loadWin_ = nullptr;
}

// Once a newer build was offered today, the server is not asked again until tomorrow.
void TarvWin::scheduleUpdateCheck() {
    updateCheck_.configure(updateUrl, programDir, updateKeyFile);
    updateTimer_.setHandler([this] { checkForUpdate(); });
    if (updateCheck_.dueToday()) updateTimer_.StartOnce(UpdateCheckDelayMs);
}

void TarvWin::checkForUpdate() {
    updateTimer_.Stop();
    updateCheck_.configure(updateUrl, programDir, updateKeyFile);
    updateCheck_.start();
}

void TarvWin::showUpdateOffer(UpdateOffer offer) {
    updateWin_ = new UpdateWin(this);
    updateWin_->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == updateWin_) updateWin_ = nullptr;
        event.Skip();
    });
    updateWin_->endProgram = [this] { Destroy(); };
    updateWin_->showUpdate(GetFont(), std::move(offer));
}

void TarvWin::showUpdateNotice(const std::wstring& text) {
    setStatus(text);
}

// Each fetched draw is kept for the casts made before it. One that the draw rules refuse, or
// that disagrees with the draw stored for its period or its date, is shown as the page has
// it, but the store keeps what it had, and the user learns of it. A store that cannot take it
// now is asked again at the next fetch.
void TarvWin::keepDraw(const DrawResult& shown) {
    const std::optional<Draw> draw = drawOf(shown.period, shown.drawDate, shown.mainNumbers, shown.extraNumbers);
    if (!draw) return;
    const Result<FetchedDraw> kept = keepFetchedDraw(store_, *draw, systemClock());
    if (!kept) return;
    if (const std::wstring said = keptDrawText(*kept); !said.empty()) return setStatus(said);
    history_->drawKept();
}

// The newest by its day; of two on a day (another program wrote them), the one listed last.
// A store that cannot be read now has none to show.
std::optional<Draw> TarvWin::newestStoredDraw() {
    const Result<std::vector<Draw>> draws = DrawStore(store_).draws(localDay(systemClock()));
    if (!draws || draws->empty()) return std::nullopt;
    const Draw* newest = &draws->front();
    for (const Draw& draw : *draws)
        if (draw.day >= newest->day) newest = &draw;
    return *newest;
}

// 往期对照 shows the store as it is now: one already open is replaced.
void TarvWin::openReview() {
    const Result<CastReview> review = reviewCasts(store_, systemClock());
    if (!review) return setStatus(L"无法读取往期对照:" + storeReason(review.error()));
    if (reviewWin_) reviewWin_->Destroy();
    reviewWin_ = new ReviewWin(this, *review);
    reviewWin_->drawsRequested.connect([this] { openDrawList(); });
    reviewWin_->Show();
}

// An open 往期对照 follows the store: a save, a delete, an import or a new draw shows in it.
void TarvWin::refreshReview() {
    if (!reviewWin_) return;
    const Result<CastReview> review = reviewCasts(store_, systemClock());
    if (!review) return setStatus(L"无法读取往期对照:" + storeReason(review.error()));
    reviewWin_->showReview(*review);
}

// 开奖数据 over 往期对照: a deleted draw changes the scores both it and the history list show.
void TarvWin::openDrawList() {
    if (!reviewWin_) return;
    auto* draws = new DrawListWin(reviewWin_.get(), store_);
    draws->drawsChanged.connect([this] {
        history_->load();
        mainPanel_->storedDrawsChanged();
        refreshReview();
    });
    draws->Show();
}

// A second import is refused before a file is chosen for it.
void TarvWin::chooseDrawFile() {
    if (history_->importing()) return setStatus(std::wstring(DrawImportBusyText));
    wxFileDialog dialog(this, L"导入开奖数据", wxEmptyString, wxEmptyString,
                        L"CSV文件 (*.csv)|*.csv|所有文件 (*.*)|*.*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    fitFileDialog(dialog);
    if (dialog.ShowModal() != wxID_OK) return;
    history_->importDraws(std::filesystem::path(dialog.GetPath().ToStdWstring()));
}

// The list of the last import replaces one still open from an earlier import.
void TarvWin::showRefusedLines(const std::vector<std::wstring>& lines) {
    if (refusedLinesWin_) refusedLinesWin_->Destroy();
    refusedLinesWin_ = new RefusedLinesWin(this, lines);
    refusedLinesWin_->Show();
}

void TarvWin::showPrediction(const CastResult& result) {
    mainPanel_->resultPanel()->setResultText(result.resultText);
}

void TarvWin::showHelp() {
    if (!openHelp) return;
    if (const Status shown = openHelp(); !shown) setStatus(L"无法打开帮助:" + fromUtf8(shown.error().message));
}

void TarvWin::setStatus(const std::wstring& text) {
    if (statusBar_) statusBar_->SetStatusText(text, 1);
}

std::wstring TarvWin::statusMessage() const {
    return statusBar_ ? statusBar_->GetStatusText(1).ToStdWstring() : L"";
}

void TarvWin::replay(std::int64_t id) {
    history_->replay(id);
}

}  // namespace orvenna
