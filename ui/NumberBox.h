// The one-line box of number casting: it admits digits, "-" and control keys. Digits and the
// minus sign typed or pasted in their full-width forms (an input method in 全角 mode) are taken
// as their ASCII forms; any other character is refused with the system's beep and named, so
// the user learns why it did not appear.
#pragma once

#include <string>

#include <wx/textctrl.h>

#include "gui/Event.h"

namespace orvenna {

class NumberBox : public wxTextCtrl {
public:
    explicit NumberBox(wxWindow* parent);

    // True for the characters the box lets through (full-width digits and minus included).
    static bool admits(int character);
    // What of `text` the box keeps: its digits and minus signs, in their ASCII forms.
    static wxString typable(const wxString& text);
    // What the status bar says about the characters of `text` that the box refused; empty
    // when it refused none.
    static std::wstring refusalMessage(const wxString& text);

    // The box's text changed (typed, pasted or set by the program); it holds only what it keeps.
    Event<const std::wstring&> textChanged;
    // Characters were refused; the text says which.
    Event<const std::wstring&> refused;

private:
    void onChar(wxKeyEvent& event);
    void onPaste(wxClipboardTextEvent& event);
    void onText(wxCommandEvent& event);
};

}  // namespace orvenna
