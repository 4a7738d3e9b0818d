#include "LabeledEdit.h"

#include <algorithm>

#include <wx/richtooltip.h>

#include "base/Text.h"
#include "framework/Layout.h"

namespace orvenna {

namespace {

// A balloon tip goes by itself after this long.
constexpr int BalloonTipMs = 5000;

}  // namespace

LabeledEdit::LabeledEdit(wxWindow* parent, const wxFont& font, std::wstring_view captionText, Lines lines, Mode mode)
    : wxPanel(parent) {
    SetFont(font);
    long style = 0;
    if (lines == Lines::Multi) style |= wxTE_MULTILINE | wxVSCROLL;
    if (mode == Mode::ReadOnly) style |= wxTE_READONLY;
    caption_ = new wxStaticText(this, wxID_ANY, wxString(captionText.data(), captionText.size()));
    box_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, style);
    box_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { emptyChanged.raise(isBlank()); });
}

void LabeledEdit::layout(Form form, int left, int top, int width, int height) {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'数');
    const wxString captionText = caption_->GetLabel();
    place(caption_, 0, 0, std::max(cell.x * static_cast<int>(captionText.length()), layout.extent(captionText).x),
          cell.y, Floor::BestHeight);
    box_->SetMargins(layout.px(5), -1);
    if (form == Form::Vertical) {
        const int captionHeight = caption_->GetSize().y;
        SetSize(left, top, width, height);
        place(box_, 0, captionHeight + layout.px(2), width, height - captionHeight - layout.px(2), Floor::Exact);
    } else {
        // A one-line box is never lower than GTK draws it; the component grows instead.
        const int boxLeft = right(caption_) + layout.px(3);
        const wxRect boxRect = place(box_, boxLeft, 0, width - boxLeft, height, Floor::BestHeight);
        SetSize(left, top, width, boxRect.height);
        moveTo(caption_, 0, (boxRect.height - caption_->GetSize().y) / 2);
    }
}

void LabeledEdit::setText(const std::wstring& text) {
    box_->ChangeValue(text);
    emptyChanged.raise(isBlank());
}

bool LabeledEdit::isBlank() const {
    return trimControl(box_->GetValue().ToStdWstring()).empty();
}

void LabeledEdit::showBalloonTip(const std::wstring& title, const std::wstring& text) {
    lastTip_ = {title, text};
    wxRichToolTip tip(title, text);
    tip.SetIcon(wxICON_NONE);
    tip.SetTimeout(BalloonTipMs);
    tip.ShowFor(box_);
}

void LabeledEdit::focusAndSelectAll() {
    box_->SetFocus();
    box_->SelectAll();
}

}  // namespace orvenna
