#include "NumberBox.h"

#include <wx/clipbrd.h>
#include <wx/utils.h>

#include "engine/CastRequest.h"

namespace orvenna {

NumberBox::NumberBox(wxWindow* parent) : wxTextCtrl(parent, wxID_ANY) {
    Bind(wxEVT_CHAR, &NumberBox::onChar, this);
    Bind(wxEVT_TEXT_PASTE, &NumberBox::onPaste, this);
}

wxString NumberBox::typable(const wxString& text) {
    wxString kept;
    for (const wxUniChar c : text)
        if (admits(static_cast<int>(c.GetValue())) && c.GetValue() >= 32 && c.GetValue() != 127) kept += c;
    return kept;
}

// Not skipped: the native paste would insert the clipboard as it is.
void NumberBox::onPaste(wxClipboardTextEvent&) {
    wxString text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data)) text = data.GetText();
        wxTheClipboard->Close();
    }
    const wxString kept = typable(text);
    if (!kept.empty()) WriteText(kept);
    if (kept.length() != text.length()) wxBell();
}

bool NumberBox::admits(int character) {
    return character < 32 || character == 127 ||
           (character < 128 && isNumberCharacter(static_cast<wchar_t>(character)));
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
