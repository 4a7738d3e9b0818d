// The right-hand column: the prediction text of the current cast (and, to come, the saved
// history, the note and the title).
#pragma once

#include <string>

#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace orvenna {

class ResultPanel : public wxPanel {
public:
    explicit ResultPanel(wxWindow* parent);

    // Creates the controls in `fontText`'s font inside the panel's current size.
    void build(const std::wstring& fontText);

    void setResultText(const std::wstring& text);
    std::wstring resultText() const;
    // Empties the result and the note.
    void clearResult();

    wxTextCtrl* resultBox() const { return resultBox_; }

private:
    wxStaticText* resultCaption_ = nullptr;
    wxTextCtrl* resultBox_ = nullptr;
};

}  // namespace orvenna
