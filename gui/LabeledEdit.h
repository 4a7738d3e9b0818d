// A caption with an edit box: the result, the note and the title of the result panel. A
// multi-line box is framed in the system's highlight colour while it has the focus, as a
// one-line box marks it itself.
#pragma once

#include <string>
#include <string_view>

#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/Event.h"

namespace orvenna {

class LabeledEdit : public wxPanel {
public:
    enum class Lines { Single, Multi };
    enum class Mode { Normal, ReadOnly };
    enum class Form { Vertical, Horizontal };

    LabeledEdit(wxWindow* parent, const wxFont& font, std::wstring_view caption, Lines lines, Mode mode);

    // Places the component and lays out its caption and box for a height of `height`:
    // vertical puts the caption above the box, horizontal beside it.
    void layout(Form form, int left, int top, int width, int height);

    // Also raises emptyChanged.
    void setText(const std::wstring& text);
    std::wstring text() const { return box_->GetValue().ToStdWstring(); }
    // True when nothing is left of the text without its leading and trailing blanks and
    // control characters.
    bool isBlank() const;

    void showBalloonTip(const std::wstring& title, const std::wstring& text);
    void focusAndSelectAll();

    wxTextCtrl* box() const { return box_; }
    wxStaticText* caption() const { return caption_; }
    // The room kept on each side of a multi-line box for its focus frame; 0 for one line.
    int focusFrame() const;
    // The last balloon tip shown, as title and text; for the window tests.
    const std::pair<std::wstring, std::wstring>& lastBalloonTip() const { return lastTip_; }

    Event<bool> emptyChanged;

private:
    void onPaint(wxPaintEvent& event);

    wxStaticText* caption_;
    wxTextCtrl* box_;
    std::pair<std::wstring, std::wstring> lastTip_;
};

}  // namespace orvenna
