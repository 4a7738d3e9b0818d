#include "LabeledCombo.h"

#include <algorithm>

#include "framework/FontText.h"
#include "framework/Layout.h"

namespace orvenna {

LabeledCombo::LabeledCombo(wxWindow* parent, const wxFont& font, std::wstring_view captionText,
                           std::initializer_list<std::wstring_view> items)
    : wxPanel(parent) {
    SetFont(font);
    const wxSize cell = measureChar(font, L'数');
    const int cw = cell.x, ch = cell.y;
    const int captionLength = static_cast<int>(captionText.size());
    std::size_t longest = 0;
    for (std::wstring_view item : items) longest = std::max(longest, item.size());

    caption_ = new wxStaticText(this, wxID_ANY, wxString(captionText.data(), captionText.size()), wxDefaultPosition,
                                wxDefaultSize, wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    list_ = new wxChoice(this, wxID_ANY);
    for (std::wstring_view item : items) list_->Append(wxString(item.data(), item.size()));

    place(caption_, 0, scaled(5), cw * captionLength, ch, Floor::BestHeight);
    const wxRect listRect =
        place(list_, cw * captionLength + scaled(10), scaled(2), cw * (static_cast<int>(longest) + 1) + scaled(10), ch);
    // A list taller than one text line keeps its caption level with its text.
    if (listRect.height > ch + scaled(6))
        moveTo(caption_, 0, listRect.y + (listRect.height - caption_->GetSize().y) / 2);
    SetSize(sizeAroundChildren(this, cw * (static_cast<int>(longest) + captionLength + 1) + scaled(20), ch + scaled(10),
                               scaled(2)));

    list_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { reportSelection(); });
    if (!list_->IsEmpty()) setSelection(0);
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
