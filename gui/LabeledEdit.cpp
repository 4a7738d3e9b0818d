#include "LabeledEdit.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/richtooltip.h>
#include <wx/settings.h>

#include "base/Text.h"
#include "gui/Layout.h"

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
    if (lines == Lines::Multi) {
        Bind(wxEVT_PAINT, &LabeledEdit::onPaint, this);
        const auto redraw = [this](wxFocusEvent& event) {
            Refresh();
            event.Skip();
        };
        box_->Bind(wxEVT_SET_FOCUS, redraw);
        box_->Bind(wxEVT_KILL_FOCUS, redraw);
    }
}

int LabeledEdit::focusFrame() const {
    return box_->IsMultiLine() ? LayoutContext(this).px(2) : 0;
}

// The frame is the band around the box: the box itself covers the rest.
void LabeledEdit::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (wxWindow::FindFocus() != box_) return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)));
    dc.DrawRectangle(box_->GetRect().Inflate(focusFrame()));
}

void LabeledEdit::layout(Form form, int left, int top, int width, int height) {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'数');
    const wxString captionText = caption_->GetLabel();
    place(caption_, 0, 0, std::max(cell.x * static_cast<int>(captionText.length()), layout.extent(captionText).x),
          cell.y, Floor::BestHeight);
    setInnerMargin(box_, layout.px(5));
    if (form == Form::Vertical) {
        const int captionHeight = caption_->GetSize().y;
        const int frame = focusFrame();
        SetSize(left, top, width, height);
        place(box_, frame, captionHeight + layout.px(2) + frame, width - 2 * frame,
              height - captionHeight - layout.px(2) - 2 * frame, Floor::Exact);
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
