#include "RefusedLinesWin.h"

#include <algorithm>

#include <wx/clipbrd.h>

#include "gui/Layout.h"

namespace orvenna {

namespace {

// The box as planned, in cells of the font ('框'): wide enough for the longest reason, and as
// many lines as a screen of a small laptop holds beside the rest.
constexpr int BoxCells = 44;
constexpr int BoxLines = 16;
constexpr int ButtonCells = 5;
constexpr int ButtonLines = 2;

std::wstring joined(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) {
        if (!text.empty()) text += L'\n';
        text += line;
    }
    return text;
}

}  // namespace

RefusedLinesWin::RefusedLinesWin(wxWindow* owner, const std::vector<std::wstring>& lines)
    : wxDialog(owner, wxID_ANY, L"未导入的行", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    SetFont(owner->GetFont());
    // The status bar has the count: the list may end with a line that counts the rest.
    caption_ = new wxStaticText(this, wxID_ANY, L"未导入的行及原因:");
    text_ = new wxTextCtrl(this, wxID_ANY, joined(lines), wxDefaultPosition, wxDefaultSize,
                           wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL);
    copy_ = makeButton(this, L"复制");
    close_ = makeButton(this, L"关闭");
    for (wxWindow* control : std::initializer_list<wxWindow*>{caption_, text_, copy_, close_})
        control->SetFont(GetFont());
    copy_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { copyLines(); });
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    // Esc closes from anywhere in the window, the box included.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Close();
        else
            event.Skip();
    });
    // Not modal: closing it ends it.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        layoutControls();
        event.Skip();
    });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        fit();
        event.Skip();
    });
    fit();
    text_->SetFocus();
}

bool RefusedLinesWin::copyLines() {
    wxClipboardLocker locker;
    if (!locker) return false;
    // Each line ends as the system's text does, so that an editor shows the lines apart.
    wxString text = text_->GetValue();
#ifdef __WXMSW__
    text.Replace(L"\n", L"\r\n");
#endif
    const bool copied = wxTheClipboard->SetData(new wxTextDataObject(text));
    // Kept after the program ends, where the desktop has a clipboard keeper.
    wxTheClipboard->Flush();
    return copied;
}

void RefusedLinesWin::fit() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'框');
    const int gap = layout.gap();
    const int width = std::max(BoxCells * cell.x, caption_->GetBestSize().x);
    const int boxHeight = text_->GetSizeFromTextSize(-1, BoxLines * cell.y).y;
    const int buttonHeight = std::max(ButtonLines * cell.y, copy_->GetBestSize().y);
    const wxSize client(width + 2 * gap, caption_->GetBestSize().y + boxHeight + buttonHeight + 4 * gap);
    SetMinClientSize(wxSize(2 * ButtonCells * cell.x + 3 * gap, caption_->GetBestSize().y + buttonHeight + 5 * gap));
    fitOnScreen(this, client, GetParent());
    layoutControls();
}

void RefusedLinesWin::layoutControls() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'框');
    const int gap = layout.gap();
    const wxSize client = GetClientSize();
    const wxRect caption = place(caption_, gap, gap, 0, 0);
    const int buttonWidth = std::max(ButtonCells * cell.x, std::max(copy_->GetBestSize().x, close_->GetBestSize().x));
    const int buttonHeight = std::max(ButtonLines * cell.y, copy_->GetBestSize().y);
    const int buttonTop = client.y - gap - buttonHeight;
    place(close_, client.x - gap - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    place(copy_, close_->GetPosition().x - gap - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    const int boxTop = caption.GetBottom() + 1 + gap;
    place(text_, gap, boxTop, client.x - 2 * gap, std::max(buttonTop - gap - boxTop, cell.y), Floor::Exact);
}

}  // namespace orvenna
