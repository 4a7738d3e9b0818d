// The one-line box of number casting: it admits digits, "-" and control keys, and refuses
// any other typed character with the system's beep.
#pragma once

#include <wx/textctrl.h>

namespace orvenna {

class NumberBox : public wxTextCtrl {
public:
    explicit NumberBox(wxWindow* parent);

    // True for the characters the box lets through.
    static bool admits(int character);

private:
    void onChar(wxKeyEvent& event);
};

}  // namespace orvenna
