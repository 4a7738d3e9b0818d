#include "ResultPanel.h"

#include "framework/FontText.h"
#include "framework/Layout.h"

namespace orvenna {

ResultPanel::ResultPanel(wxWindow* parent) : wxPanel(parent) {}

void ResultPanel::build(const std::wstring& fontText) {
    const wxFont font = fontFromText(fontText);
    SetFont(font);
    const wxSize cell = measureChar(font, L'框');
    const int width = GetClientSize().x;
    resultCaption_ = new wxStaticText(this, wxID_ANY, L"演算结果:");
    place(resultCaption_, 0, 0, cell.x * 5, cell.y, Floor::BestHeight);
    resultBox_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL);
    place(resultBox_, 0, bottom(resultCaption_) + 2, width, cell.y * 16, Floor::Exact);
}

void ResultPanel::setResultText(const std::wstring& text) {
    if (resultBox_) resultBox_->ChangeValue(text);
}

std::wstring ResultPanel::resultText() const { return resultBox_ ? resultBox_->GetValue().ToStdWstring() : L""; }

void ResultPanel::clearResult() {
    if (resultBox_) resultBox_->Clear();
}

}  // namespace orvenna
