// A caption and a drop-down list beside it: the method and the zodiac choice.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "gui/Event.h"

namespace orvenna {

class LabeledCombo : public wxPanel {
public:
    // Item k carries k as its data; item 0 is selected.
    LabeledCombo(wxWindow* parent, const wxFont& font, std::wstring_view caption,
                 std::initializer_list<std::wstring_view> items);

    // Selects item `index` and reports it as if the user had chosen it.
    void setSelection(int index);
    int selection() const { return list_->GetSelection(); }

    // Places the caption and the list and sizes the panel, in cells of its font on its screen.
    void layout();

    wxChoice* list() const { return list_; }
    wxStaticText* caption() const { return caption_; }

    Event<int, const std::wstring&> selectionChanged;

private:
    void reportSelection();

    wxStaticText* caption_;
    wxChoice* list_;
    int captionLength_ = 0;
    int longestItem_ = 0;
};

}  // namespace orvenna
