#include "LabeledCombo.h"

#include <algorithm>

#include "gui/Layout.h"

namespace orvenna {

LabeledCombo::LabeledCombo(wxWindow* parent, const wxFont& font, std::wstring_view captionText,
                           std::initializer_list<std::wstring_view> items)
    : wxPanel(parent) {
    SetFont(font);
    captionLength_ = static_cast<int>(captionText.size());
    for (std::wstring_view item : items) longestItem_ = std::max(longestItem_, static_cast<int>(item.size()));

    caption_ = new wxStaticText(this, wxID_ANY, wxString(captionText.data(), captionText.size()), wxDefaultPosition,
                                wxDefaultSize, wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    list_ = new wxChoice(this, wxID_ANY);
    for (std::wstring_view item : items) list_->Append(wxString(item.data(), item.size()));
    layout();

    list_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { reportSelection(); });
    if (!list_->IsEmpty()) setSelection(0);
}

void LabeledCombo::layout() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'数');
    const int cw = cell.x, ch = cell.y;
    // The caption is as wide as its text needs where the face's glyphs are wider than the cell.
    const int captionWidth = std::max(cw * captionLength_, layout.extent(caption_->GetLabel()).x);
    place(caption_, 0, layout.px(5), captionWidth, ch, Floor::BestHeight);
    const wxRect listRect =
        place(list_, captionWidth + layout.gap(), layout.px(2), cw * (longestItem_ + 1) + layout.gap(), ch);
    // A list taller than one text line keeps its caption level with its text.
    if (listRect.height > ch + layout.px(6))
        moveTo(caption_, 0, listRect.y + (listRect.height - caption_->GetSize().y) / 2);
    SetSize(sizeAroundChildren(this, captionWidth + cw * (longestItem_ + 1) + layout.px(20), ch + layout.gap(),
                               layout.px(2)));
}

void LabeledCombo::setSelection(int index) {
    list_->SetSelection(index);
    reportSelection();
}

void LabeledCombo::reportSelection() {
    const int index = list_->GetSelection();
    if (index == wxNOT_FOUND) return;
    selectionChanged.raise(index, list_->GetString(index).ToStdWstring());
}

}  // namespace orvenna
