// The lines an import of past draws left, each with its line and reason, in a box the user
// can read, select and copy from: 复制 puts every line on the clipboard, 关闭 or Esc closes.
// It does not hold the main window: the user may look up a line while the list stays open.
#pragma once

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace orvenna {

class RefusedLinesWin : public wxDialog {
public:
    // A window over `owner`, in the owner's font, listing `lines`.
    RefusedLinesWin(wxWindow* owner, const std::vector<std::wstring>& lines);

    // Puts the whole list on the clipboard, one line a line; false where the clipboard
    // cannot be had.
    bool copyLines();

    wxStaticText* caption() const { return caption_; }
    wxTextCtrl* text() const { return text_; }
    wxButton* copyButton() const { return copy_; }
    wxButton* closeButton() const { return close_; }

private:
    // Fits the window to what its controls ask for, within the work area.
    void fit();
    // Lays the controls out in the client area it has: the box takes what the caption and
    // the buttons leave.
    void layoutControls();

    wxStaticText* caption_;
    wxTextCtrl* text_;
    wxButton* copy_;
    wxButton* close_;
};

}  // namespace orvenna
