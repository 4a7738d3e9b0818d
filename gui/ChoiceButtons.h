// A row of radio buttons; the draw-time choice of time casting.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

#include <wx/panel.h>
#include <wx/radiobut.h>

#include "gui/Event.h"

namespace orvenna {

class ChoiceButtons : public wxPanel {
public:
    // The second button starts selected.
    ChoiceButtons(wxWindow* parent, const wxFont& font, std::initializer_list<std::wstring_view> captions);

    // Selects button `id` (1 = first) and reports it as if the user had chosen it.
    void choose(int id);
    // The id of the selected button, 0 when none is.
    int chosenId() const;
    // Places the buttons side by side and sizes the panel.
    void layout();
    wxRadioButton* button(int id) const { return buttons_.at(static_cast<std::size_t>(id - 1)); }

    Event<int> chosen;
    // The group's generic notification: the choice no longer names a button. No user action
    // raises it today (a GTK radio group always keeps one button on); its receiver clears
    // the stored choice.
    Event<> cleared;

private:
    std::vector<wxRadioButton*> buttons_;
};

}  // namespace orvenna
