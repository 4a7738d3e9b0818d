#include "TarvWin.h"

#include <wx/msgdlg.h>

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "GuaWin.h"
#include "LatestDrawsPanel.h"
#include "MainPanel.h"
#include "ResultPanel.h"
#include "StoreReason.h"
#include "base/Text.h"
#include "draws/LoadWin.h"
#include "framework/FontText.h"
#include "framework/Layout.h"
#include "framework/Pictures.h"
#include "framework/ProgramDirectory.h"
#include "records/EasyDb.h"
#include "update/UpdateWin.h"

namespace orvenna {

namespace {

constexpr int OuterWidth = 1024;
constexpr int UpdateCheckDelayMs = 5000;
constexpr int PanelGap = 10;
// A list kept out by a lock is asked for again this often until it is read.
constexpr int HistoryRetryMs = 1000;

}  // namespace

// The window is fixed in size: its panels are laid out once, for this size.
TarvWin::TarvWin(EasyDb& store)
    : wxFrame(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
      programDir(programDirectory()),
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
    historyRetry_.Stop();
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
    scheduleUpdateCheck();
}

void TarvWin::setUpFrame() {
    Hide();
    SetTitle(L"Orvenna V1.0.0版");
    SetClientSize(scaled(800), scaled(600));
    SetSize(scaled(OuterWidth), -1);
    wxIcon icon;
    icon.CopyFromBitmap(pictureBitmap("orvenna.png", wxSize(64, 64)));
    SetIcon(icon);
    fontText_ = interfaceFontText();
}

void TarvWin::createPanels() {
    mainPanel_ = new MainPanel(this);
    mainPanel_->statusText.connect([this](const std::wstring& text) { setStatus(text); });
    mainPanel_->openManualDialog.connect([this] {
        if (runManualDialog) runManualDialog();
    });
    mainPanel_->predictionReady.connect([this](const CastResult& result) { showPrediction(result); });
    mainPanel_->replayRequested.connect([this](std::int64_t id) { replay(id); });
    mainPanel_->saveRequested.connect([this](const std::wstring& title, const AnalysisRecord& record,
                                             const std::wstring& note,
                                             HistoryList& list) { save(title, record, note, list); });
    mainPanel_->resultButton.connect([this](int id) {
        if (id == DeleteButton)
            deleteTicked();
        else if (id == HelpButton && openHelp)
            openHelp();
    });
    mainPanel_->setDrawSource(drawSource);
    mainPanel_->build(fontText_);
}

void TarvWin::createStatusBar() {
    statusBar_ = CreateStatusBar(2);
    statusBar_->SetFont(fontFromText(fontText_));
    // "状态:" gets 48 pixels, or what its text needs where the font is wider.
    const int captionWidth = std::max(scaled(48), statusBar_->GetTextExtent(L"状态:").x + scaled(12));
    const int widths[2] = {captionWidth, -1};
    statusBar_->SetStatusWidths(2, widths);
    statusBar_->SetStatusText(L"状态:", 0);
}

void TarvWin::fitToPanels() {
    // Where the platform's controls make the casting row wider than the chart below it, the
    // result column moves right by the difference and the window grows with it.
    const int castingOverhang =
        scaled(PanelGap) + mainPanel_->castingPanel()->widestWidth() - right(mainPanel_->analysisPanel());
    if (castingOverhang > 0) SetSize(scaled(OuterWidth) + castingOverhang, -1);

    layoutPanels();
    ResultPanel* result = mainPanel_->resultPanel();
    result->build(fontText_);
    // Where the font's cells are larger than the 800 x 600 window was planned for, the
    // window grows until the result column fits.
    if (const int missing = result->GetPosition().y + result->requiredHeight() - GetClientSize().y; missing > 0) {
        SetSize(GetSize().x, GetSize().y + missing);
        layoutPanels();
    }
}

void TarvWin::bindWindowEvents() {
    // Not skipped: the frame's own handler would stretch its one child over the client area.
    // The window cannot be resized by the user; its size changes only while the desktop
    // settles its frame, and then the panels take the final height.
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) {
        if (mainPanel_->GetSize().y != GetClientSize().y) layoutPanels();
        mainPanel_->Move(0, 0);
    });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive() && !activated_) {
            activated_ = true;
            loadHistory();
        } else if (event.GetActive()) {
            reloadPendingHistory();
        }
        event.Skip();
    });
    historyRetry_.setHandler([this] { reloadPendingHistory(); });
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
    updateCheck_.configure(updateUrl, programDir);
    updateTimer_.setHandler([this] { checkForUpdate(); });
    if (updateCheck_.dueToday()) updateTimer_.StartOnce(UpdateCheckDelayMs);
}

void TarvWin::checkForUpdate() {
    updateTimer_.Stop();
    updateCheck_.configure(updateUrl, programDir);
    updateCheck_.start();
}

void TarvWin::showUpdateOffer(UpdateOffer offer) {
    updateWin_ = new UpdateWin(this);
    updateWin_->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == updateWin_) updateWin_ = nullptr;
        event.Skip();
    });
    updateWin_->endProgram = [this] { Destroy(); };
    updateWin_->showUpdate(fontText_, std::move(offer));
}

void TarvWin::layoutPanels() {
    // The height above the status bar: wx's client area already ends at the bar.
    const int usable = GetClientSize().y;
    const int outerWidth = GetSize().x;
    LatestDrawsPanel* draws = mainPanel_->latestDrawsPanel();
    CastingPanel* casting = mainPanel_->castingPanel();
    AnalysisPanel* analysis = mainPanel_->analysisPanel();
    ResultPanel* result = mainPanel_->resultPanel();
    const int gap = scaled(PanelGap);
    moveTo(draws, gap, gap);
    moveTo(casting, gap, bottom(draws) + gap);
    place(analysis, 0, bottom(casting) + gap, analysis->GetSize().x, usable, Floor::Exact);
    const int resultLeft = std::max(right(analysis), casting->GetPosition().x + casting->widestWidth()) + gap;
    place(result, resultLeft, gap, outerWidth - resultLeft - 2 * gap, usable, Floor::Exact);
    place(mainPanel_, 0, 0, right(result) + gap, usable, Floor::Exact);
    analysis->layoutControls();
    result->layoutControls();
}

void TarvWin::showPrediction(const CastResult& result) {
    mainPanel_->resultPanel()->setResultText(result.resultText);
}

// The note and the title are cleared only once the record is stored: after a failure the
// user still has what they typed.
void TarvWin::save(const std::wstring& title, const AnalysisRecord& record, const std::wstring& note, HistoryList&) {
    YsModel model = YsModel::fromAnalysis(record, title, note);
    if (!store_.save(model)) {
        setStatus(L"保存失败");
        return;
    }
    setStatus(L"保存成功");
    loadHistory();
    mainPanel_->resultPanel()->clearEntry();
}

// The ticked rows go in one transaction: all of them, or after a failure none, and then the
// list stays as it is, which is still what the database holds.
void TarvWin::deleteTicked() {
    wxMessageDialog question(this, L"确定需要删除当前所选择的历史数据吗?", L"询问:", wxYES_NO | wxICON_QUESTION);
    if (question.ShowModal() != wxID_YES) return;
    ResultPanel* result = mainPanel_->resultPanel();
    if (const Status removed = store_.remove(result->tickedIds()); !removed) {
        setStatus(L"删除失败:" + storeReason(removed.error()));
        return;
    }
    result->removeTicked();
}

bool TarvWin::loadHistory() {
    ResultPanel* result = mainPanel_->resultPanel();
    const Status listed = store_.fillList(result->history());
    result->updateDeleteButton();
    historyStale_ = !listed && storeFailure(listed.error()) == StoreFailure::Locked;
    if (!historyStale_) historyRetry_.Stop();
    if (listed && store_.readOnly()) setStatus(L"数据库只读,记录无法保存或删除");
    if (listed) return true;
    const std::wstring reason = storeReason(listed.error());
    if (result->itemCount() > 0)
        setStatus(concat(L"历史记录不完整,只读出", result->itemCount(), L"条:", reason));
    else
        setStatus(L"无法读取历史记录:" + reason);
    if (historyStale_ && !historyRetry_.IsRunning()) historyRetry_.Start(HistoryRetryMs);
    return false;
}

void TarvWin::reloadPendingHistory() {
    if (historyStale_ && loadHistory()) setStatus(L"历史记录已读取");
}

void TarvWin::setStatus(const std::wstring& text) {
    if (statusBar_) statusBar_->SetStatusText(text, 1);
}

std::wstring TarvWin::statusMessage() const {
    return statusBar_ ? statusBar_->GetStatusText(1).ToStdWstring() : L"";
}

void TarvWin::replay(std::int64_t id) {
    if (id == 0) return;
    const Result<YsModel> model = store_.load(id);
    if (!model) {
        // The list named a row that another program deleted: it shows what is there again.
        if (model.error().code == NoSuchRow) loadHistory();
        setStatus(L"无法复盘:" + storeReason(model.error()));
        return;
    }
    // Restoring such a row would clear the result and cast nothing, or cast a zodiac that
    // does not exist. Everything stays as it was; the user is told why.
    switch (replayProblem(*model)) {
        case ReplayProblem::UnknownMethod:
            setStatus(L"无法复盘:未知的起卦方式");
            return;
        case ReplayProblem::UnknownZodiac:
            setStatus(L"无法复盘:未知的卦主生肖");
            return;
        case ReplayProblem::None:
            break;
    }
    mainPanel_->castingPanel()->restore(replayRequest(*model));
}

}  // namespace orvenna
