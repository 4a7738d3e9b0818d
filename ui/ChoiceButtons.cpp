#include "ChoiceButtons.h"

#include "framework/FontText.h"
#include "framework/Layout.h"

namespace orvenna {

ChoiceButtons::ChoiceButtons(wxWindow* parent, const wxFont& font, std::initializer_list<std::wstring_view> captions)
    : wxPanel(parent) {
    SetFont(font);
    const wxSize cell = measureChar(font, L'除');
    const int cw = cell.x, ch = cell.y;
    int left = 0, width = 0, id = 1;
    for (std::wstring_view caption : captions) {
        auto* button = new wxRadioButton(this, wxID_ANY, wxString(caption.data(), caption.size()), wxDefaultPosition,
                                         wxDefaultSize, id == 1 ? wxRB_GROUP : 0);
        const wxRect rect = place(button, left, 0, (static_cast<int>(caption.size()) + 2) * cw, ch + scaled(5));
        width = rect.GetRight() + 1;
        left = width + scaled(10);
        button->Bind(wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { chosen.raise(id); });
        buttons_.push_back(button);
        ++id;
    }
    if (buttons_.size() > 1) buttons_[1]->SetValue(true);
    SetSize(sizeAroundChildren(this, width, ch + scaled(5)));
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
