#include "TarvWin.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "GuaWin.h"
#include "MainPanel.h"
#include "ResultPanel.h"
#include "engine/Suggestion.h"
#include "framework/FontText.h"
#include "framework/Layout.h"
#include "records/EasyDb.h"
#include "records/ResultText.h"

namespace orvenna {

namespace {

constexpr int OuterWidth = 1024;

}  // namespace

// The window is fixed in size: its panels are laid out once, for this size.
TarvWin::TarvWin(EasyDb& store)
    : wxFrame(nullptr, wxID_ANY, L"Valdoro V1.0版", wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX)),
      store_(store) {
    runManualDialog = [this] {
        GuaWin dialog(this, mainPanel_->castingPanel()->request());
        dialog.ShowModal();
    };
}

TarvWin::~TarvWin() {
    // Whatever way the window goes, the database is closed with it.
    store_.close();
    EasyDb::shutdown();
}

void TarvWin::create() {
    Hide();
    SetTitle(L"Orvenna V1.0.0版");
    SetClientSize(scaled(800), scaled(600));
    SetSize(scaled(OuterWidth), -1);
    fontText_ = interfaceFontText();
    const wxFont font = fontFromText(fontText_);

    mainPanel_ = new MainPanel(this);
    mainPanel_->statusText.connect([this](const std::wstring& text) { setStatus(text); });
    mainPanel_->openManualDialog.connect([this] {
        if (runManualDialog) runManualDialog();
    });
    mainPanel_->predictionReady.connect([this](AnalysisRecord& record) { showPrediction(record); });
    mainPanel_->replayRequested.connect([this](int id) { replay(id); });
    mainPanel_->build(fontText_);

    statusBar_ = CreateStatusBar(2);
    statusBar_->SetFont(font);
    // "状态:" gets 48 pixels, or what its text needs where the font is wider.
    const int captionWidth = std::max(scaled(48), statusBar_->GetTextExtent(L"状态:").x + scaled(12));
    const int widths[2] = {captionWidth, -1};
    statusBar_->SetStatusWidths(2, widths);
    statusBar_->SetStatusText(L"状态:", 0);

    layoutPanels();
    mainPanel_->resultPanel()->build(fontText_);

    // Not skipped: the frame's own handler would stretch its one child over the client area.
    // The window cannot be resized by the user; its size changes only while the desktop
    // settles its frame, and then the panels take the final height.
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) {
        if (mainPanel_->GetSize().y != GetClientSize().y) layoutPanels();
        mainPanel_->Move(0, 0);
    });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive() && !activated_) activated_ = true;
        event.Skip();
    });
    Show();
}

void TarvWin::layoutPanels() {
    // The height above the status bar: wx's client area already ends at the bar.
    const int usable = GetClientSize().y;
    const int outerWidth = GetSize().x;
    CastingPanel* casting = mainPanel_->castingPanel();
    AnalysisPanel* analysis = mainPanel_->analysisPanel();
    ResultPanel* result = mainPanel_->resultPanel();
    const int gap = scaled(10);
    moveTo(casting, gap, gap);
    place(analysis, 0, bottom(casting) + gap, analysis->GetSize().x, usable, Floor::Exact);
    place(result, right(analysis) + gap, gap, outerWidth - right(analysis) - 3 * gap, usable, Floor::Exact);
    place(mainPanel_, 0, 0, right(result) + gap, usable, Floor::Exact);
}

void TarvWin::showPrediction(AnalysisRecord& record) {
    mainPanel_->resultPanel()->setResultText(fillSuggestion(buildSuggestion(record.baseNumbers)));
}

void TarvWin::setStatus(const std::wstring& text) {
    if (statusBar_) statusBar_->SetStatusText(text, 1);
}

std::wstring TarvWin::statusMessage() const {
    return statusBar_ ? statusBar_->GetStatusText(1).ToStdWstring() : L"";
}

void TarvWin::replay(int id) {
    const YsModel model = store_.load(id);
    if (model._id != id || id == 0) return;
    mainPanel_->castingPanel()->restore(model._id, model.ysindex, model.gzsxid, model.ysday, model.ysnumber,
                                        model.upstr, model.downstr, model.rot, model.dong);
}

}  // namespace orvenna
