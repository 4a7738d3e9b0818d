#include "MainPanel.h"

#include "AnalysisPanel.h"
#include "CastingPanel.h"
#include "LabeledEdit.h"
#include "ResultPanel.h"
#include "engine/BaseNumbers.h"
#include "framework/Clock.h"
#include "framework/FontText.h"

namespace orvenna {

MainPanel::MainPanel(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxPoint(0, 0)), clock_(systemClock) {}

void MainPanel::build(const std::wstring& description) {
    fontText_ = description;
    lotteryCode_ = SevenStarLottery;
    charCell_ = measureChar(fontFromText(fontText_), L'数');

    casting_ = new CastingPanel(this);
    casting_->build(fontText_);
    casting_->panelChanged.connect([this] {
        if (result_) result_->clearResult();
        if (analysis_) analysis_->clear();
    });
    casting_->openLineEntry.connect([this] { openManualDialog.raise(); });
    casting_->castMessage.connect(
        [this](int code, const std::wstring& message, CastRequest& request) { dispatchCast(code, message, request); });

    if (fontText_.empty()) fontText_ = fontText(fontFromText(L""));
    analysis_ = new AnalysisPanel(this, fontText_);
    analysis_->analysisDone.connect([this](AnalysisRecord& record) {
        record.baseNumbers = deriveBaseNumbers(record);
        predictionReady.raise(record);
    });

    result_ = new ResultPanel(this);
    result_->buttonClicked.connect([this](int id) {
        if (id == SaveButton)
            saveRequested.raise(result_->titleEdit()->text(), analysis_->record(), result_->noteEdit()->text(),
                                result_->history());
        else if (id == DeleteButton || id == HelpButton)
            resultButton.raise(id);
    });
    result_->replayRequested.connect([this](int id) { replayRequested.raise(id); });
}

void MainPanel::dispatchCast(int code, const std::wstring& message, CastRequest& request) {
    statusText.raise(message);
    if (code <= 0 || request.isErrorCarrier) return;
    completeCastTime(request, clock_());
    analysis_->runAnalysis(request);
}

}  // namespace orvenna
