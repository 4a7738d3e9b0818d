#include "NumberBox.h"

#include <wx/clipbrd.h>
#include <wx/utils.h>

#include "engine/CastRequest.h"

namespace orvenna {

namespace {

// The ASCII form of a character the box keeps, or 0 for one it refuses. Full-width digits
// (U+FF10..U+FF19) and minus signs (full-width U+FF0D, U+2212) come from input methods.
wchar_t keptForm(wxUniChar c) {
    const auto code = c.GetValue();
    if (code >= 0xFF10 && code <= 0xFF19) return static_cast<wchar_t>(L'0' + (code - 0xFF10));
    if (code == 0xFF0D || code == 0x2212) return L'-';
    if (code < 128 && code >= 32 && code != 127 && isNumberCharacter(static_cast<wchar_t>(code)))
        return static_cast<wchar_t>(code);
    return 0;
}

// How a refused character is named: a blank or a control character by a word, anything else
// as itself.
std::wstring characterName(wxUniChar c) {
    switch (c.GetValue()) {
        case L' ':
        case 0x3000:
            return L"空格";
        case L'\t':
            return L"制表符";
        case L'\r':
        case L'\n':
            return L"换行";
        default:
            return c.GetValue() < 32 || c.GetValue() == 127 ? L"控制字符" : std::wstring(1, c.GetValue());
    }
}

}  // namespace

NumberBox::NumberBox(wxWindow* parent) : wxTextCtrl(parent, wxID_ANY) {
    Bind(wxEVT_CHAR, &NumberBox::onChar, this);
    Bind(wxEVT_TEXT_PASTE, &NumberBox::onPaste, this);
    Bind(wxEVT_TEXT, &NumberBox::onText, this);
}

wxString NumberBox::typable(const wxString& text) {
    wxString kept;
    for (const wxUniChar c : text)
        if (const wchar_t ascii = keptForm(c)) kept += ascii;
    return kept;
}

std::wstring NumberBox::refusalMessage(const wxString& text) {
    std::wstring names;
    int count = 0;
    for (const wxUniChar c : text) {
        if (keptForm(c)) continue;
        const std::wstring name = characterName(c);
        // Each refused character once, and only the first few of a long paste.
        if (names.find(L"「" + name + L"」") != std::wstring::npos) continue;
        if (++count > 5) {
            names += L"…";
            break;
        }
        names += L"「" + name + L"」";
    }
    return names.empty() ? std::wstring() : L"推算数字只能输入数字和负号,未输入" + names;
}

bool NumberBox::admits(int character) {
    return character < 32 || character == 127 || keptForm(wxUniChar(static_cast<wxUint32>(character))) != 0;
}

void NumberBox::onChar(wxKeyEvent& event) {
    const int character = event.GetUnicodeKey();
    // Keys that type nothing (arrows, Home, function keys) carry no character.
    if (character == WXK_NONE || event.ControlDown() || admits(character)) {
        event.Skip();
        return;
    }
    wxBell();
    refused.raise(refusalMessage(wxString(wxUniChar(static_cast<wxUint32>(character)))));
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
    if (const std::wstring message = refusalMessage(text); !message.empty()) {
        wxBell();
        refused.raise(message);
    }
}

// Whatever put the text in (an input method commits without a key event, a drop, the
// program), the box holds only what it keeps, in ASCII; the cursor stays after what was
// entered.
void NumberBox::onText(wxCommandEvent& event) {
    const wxString value = GetValue();
    const wxString kept = typable(value);
    if (kept != value) {
        const long cursor = GetInsertionPoint();
        const long keptBefore = static_cast<long>(typable(value.Left(static_cast<size_t>(cursor))).length());
        ChangeValue(kept);
        SetInsertionPoint(keptBefore);
        if (const std::wstring message = refusalMessage(value); !message.empty()) {
            wxBell();
            refused.raise(message);
        }
    }
    textChanged.raise(kept.ToStdWstring());
    event.Skip();
}

}  // namespace orvenna
