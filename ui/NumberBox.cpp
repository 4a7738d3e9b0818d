#include "NumberBox.h"

#include <wx/utils.h>

namespace orvenna {

NumberBox::NumberBox(wxWindow* parent) : wxTextCtrl(parent, wxID_ANY) {
    Bind(wxEVT_CHAR, &NumberBox::onChar, this);
}

bool NumberBox::admits(int character) {
    return (character >= L'0' && character <= L'9') || character == L'-' || character < 32 || character == 127;
}

void NumberBox::onChar(wxKeyEvent& event) {
    const int character = event.GetUnicodeKey();
    // Keys that type nothing (arrows, Home, function keys) carry no character.
    if (character == WXK_NONE || event.ControlDown() || admits(character)) {
        event.Skip();
        return;
    }
    wxBell();
}

}  // namespace orvenna
