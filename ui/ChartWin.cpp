#include "ChartWin.h"

#include <algorithm>

#include <wx/clipbrd.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/printdlg.h>

#include "ChartPicture.h"
#include "engine/ChartMarks.h"
#include "gui/FileDialogs.h"
#include "gui/Layout.h"
#include "gui/ScrolledView.h"

namespace orvenna {

namespace {

// The scrolled view round the picture: Tab passes it by (a panel that holds nothing the
// keyboard can use would otherwise take the focus itself on Windows).
class PictureView : public wxScrolledWindow {
public:
    explicit PictureView(wxWindow* parent)
        : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL) {}
    bool AcceptsFocusFromKeyboard() const override { return false; }
};

// The chart's picture on screen: painted from the sheet, passed by the keyboard.
class ChartCanvas : public wxWindow {
public:
    ChartCanvas(wxWindow* parent, const ChartSheet& sheet) : wxWindow(parent, wxID_ANY), sheet_(sheet) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            drawChart(dc, sheet_, GetFont(), LayoutContext(this).scale());
        });
    }
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

    wxSize pictureSize() {
        wxClientDC dc(this);
        return chartPictureSize(dc, sheet_, GetFont(), LayoutContext(this).scale());
    }

private:
    const ChartSheet& sheet_;
};

// The picture is drawn at twice its size on screen, for text that stays sharp when viewed
// large or printed.
constexpr double PictureScale = 2.0;

void warn(wxWindow* owner, const wxString& text) {
    wxMessageDialog box(owner, text, L"排盘详情", wxOK | wxICON_WARNING);
    box.ShowModal();
}

}  // namespace

ChartWin::ChartWin(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, L"排盘详情", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    SetFont(owner->GetFont());
    view_ = new PictureView(this);
    view_->SetBackgroundColour(*wxWHITE);
    canvas_ = new ChartCanvas(view_, sheet_);
    // The picture is looked at, not typed into: Tab walks the three buttons only (Windows
    // would stop at the picture and at the view round it).
    canvas_->DisableFocusFromKeyboard();
    auto* row = new wxPanel(this);
    buttons_ = row;
    copy_ = makeButton(row, L"复制");
    save_ = makeButton(row, L"保存图片…");
    print_ = makeButton(row, L"打印…");
    copy_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (!copyText()) warn(this, L"剪贴板现在不能使用,图表没有复制。");
    });
    save_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { choosePictureFile(); });
    print_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { preview(); });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) {
            Close();
            return;
        }
        if ((event.GetKeyCode() == WXK_PAGEUP || event.GetKeyCode() == WXK_PAGEDOWN) &&
            scrollByPage(view_, event.GetKeyCode()))
            return;
        event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        placeContent();
        event.Skip();
    });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        layout();
        event.Skip();
    });
}

void ChartWin::show(const Analysis& analysis) {
    sheet_ = chartSheet(analysis, chartMarks(analysis));
    layout();
    Show();
    Raise();
    copy_->SetFocus();
    canvas_->Refresh();
}

// The buttons in a row below the picture, right-aligned; the window as large as both, within
// the work area, where the picture then scrolls.
void ChartWin::layout() {
    const LayoutContext layout(this);
    const int gap = layout.gap();
    const int width = layout.px(96);
    place(copy_, 0, 0, width, -1);
    place(save_, right(copy_) + gap, 0, width, -1);
    place(print_, right(save_) + gap, 0, width, -1);
    const int buttonsHeight = std::max({copy_->GetSize().y, save_->GetSize().y, print_->GetSize().y});
    buttons_->SetSize(right(print_), buttonsHeight);
    const wxSize picture = static_cast<ChartCanvas*>(canvas_)->pictureSize();
    canvas_->SetSize(picture);
    const wxSize client(std::max(picture.x, buttons_->GetSize().x + 2 * gap), picture.y + gap + buttonsHeight + gap);
    SetMinClientSize(wxSize(buttons_->GetSize().x + 2 * gap, buttonsHeight + 2 * gap + layout.px(80)));
    if (!IsShown()) {
        fitOnScreen(this, client, GetParent());
    } else {
        SetClientSize(client);
    }
    placeContent();
}

void ChartWin::placeContent() {
    if (!buttons_ || !view_) return;
    const LayoutContext layout(this);
    const int gap = layout.gap();
    const wxSize client = GetClientSize();
    const int buttonsTop = std::max(0, client.y - gap - buttons_->GetSize().y);
    buttons_->Move(std::max(gap, client.x - gap - buttons_->GetSize().x), buttonsTop);
    view_->SetSize(0, 0, client.x, std::max(0, buttonsTop - gap));
    fitScrolledArea(view_, canvas_->GetSize());
}

bool ChartWin::copyText() {
    wxClipboardLocker locked;
    if (!locked) return false;
    return wxTheClipboard->SetData(new wxTextDataObject(text()));
}

bool ChartWin::savePicture(const wxString& path) {
    // The distances grow with the screen's scale and the picture's. On GTK the desktop's text
    // scale grows the font wherever it is drawn, a bitmap too; Windows draws a bitmap's text at
    // 96 DPI, so there the font grows with the screen's scale as well.
    const double scale = LayoutContext(this).scale();
#ifdef __WXMSW__
    const double fontScale = PictureScale * scale;
#else
    const double fontScale = PictureScale;
#endif
    const wxImage image = chartImage(sheet_, GetFont(), PictureScale * scale, fontScale);
    return image.IsOk() && image.SaveFile(path, wxBITMAP_TYPE_PNG);
}

void ChartWin::choosePictureFile() {
    wxFileDialog dialog(this, L"保存图片", wxEmptyString, L"排盘详情.png", L"PNG图片 (*.png)|*.png",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    fitFileDialog(dialog);
    if (dialog.ShowModal() != wxID_OK) return;
    wxString path = dialog.GetPath();
    if (!path.Lower().EndsWith(L".png")) path += L".png";
    // wx says why a file cannot be written in a log box of its own; the window says it once.
    wxLogNull quiet;
    if (!savePicture(path)) warn(this, L"图片没有保存:" + path + L" 不能写入。");
}

// The preview window prints; closed, it leaves the chart window as it was.
void ChartWin::preview() {
    auto* shown = new wxPrintPreview(new ChartPrintout(sheet_, GetFont()), new ChartPrintout(sheet_, GetFont()));
    if (!shown->IsOk()) {
        delete shown;
        warn(this, L"没有可用的打印机,不能打印。");
        return;
    }
    auto* frame = new wxPreviewFrame(shown, this, L"打印预览 - 排盘详情");
    frame->SetFont(GetFont());
    frame->Initialize();
    frame->Centre();
    frame->Show();
}

}  // namespace orvenna
