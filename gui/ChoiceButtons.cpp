#include "ChoiceButtons.h"

#include <algorithm>

#include "gui/Layout.h"

namespace orvenna {

ChoiceButtons::ChoiceButtons(wxWindow* parent, const wxFont& font, std::initializer_list<std::wstring_view> captions)
    : wxPanel(parent) {
    SetFont(font);
    int id = 1;
    for (std::wstring_view caption : captions) {
        auto* button = new wxRadioButton(this, wxID_ANY, wxString(caption.data(), caption.size()), wxDefaultPosition,
                                         wxDefaultSize, id == 1 ? wxRB_GROUP : 0);
        button->Bind(wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { chosen.raise(id); });
        buttons_.push_back(button);
        ++id;
    }
    if (buttons_.size() > 1) buttons_[1]->SetValue(true);
    layout();
}

void ChoiceButtons::layout() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'除');
    const int cw = cell.x, ch = cell.y;
    // The focus ring is drawn around a button, outside its text: the panel leaves it room on
    // every side, or the panel's edge would cut it off.
    const int ring = layout.px(3);
    int left = ring, width = 0, height = 0;
    for (wxRadioButton* button : buttons_) {
        const int chars = static_cast<int>(button->GetLabel().length());
        const wxRect rect = place(button, left, ring, (chars + 2) * cw, ch + layout.px(5));
        width = rect.GetRight() + 1;
        height = std::max(height, rect.GetBottom() + 1);
        left = width + layout.gap();
    }
    SetSize(sizeAroundChildren(this, width + ring, height + ring, ring));
}

void ChoiceButtons::choose(int id) {
    if (id < 1 || id > static_cast<int>(buttons_.size())) return;
    button(id)->SetValue(true);
    chosen.raise(id);
}

int ChoiceButtons::chosenId() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->GetValue()) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace orvenna
