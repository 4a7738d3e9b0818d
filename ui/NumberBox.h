// The one-line box of number casting: it admits digits, "-" and control keys, and refuses
// any other typed character with the system's beep. Pasted text keeps only what typing could
// have entered.
#pragma once

#include <wx/textctrl.h>

namespace orvenna {

class NumberBox : public wxTextCtrl {
public:
    explicit NumberBox(wxWindow* parent);

    // True for the characters the box lets through.
    static bool admits(int character);
    // What of `text` typing could have put in the box: its digits and "-".
    static wxString typable(const wxString& text);

private:
    void onChar(wxKeyEvent& event);
    void onPaste(wxClipboardTextEvent& event);
};

}  // namespace orvenna
