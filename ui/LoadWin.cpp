#include "LoadWin.h"

#include <wx/dcclient.h>

#include "gui/Layout.h"
#include "gui/Pictures.h"

namespace orvenna {

// No frame, no caption, no minimise or maximise: only the picture.
LoadWin::LoadWin(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, L"Orvenna 启动", wxDefaultPosition, wxDefaultSize, wxBORDER_NONE) {
    // 488 x 288 at 96 DPI, drawn from a picture twice that size.
    const wxSize size = LayoutContext(this).px(wxSize(488, 288));
    SetClientSize(size);
    picture_ = pictureBitmap("splash.png", size);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
        wxPaintDC dc(this);
        if (picture_.IsOk()) dc.DrawBitmap(picture_, 0, 0);
    });
    timer_.setHandler([this] { closeSplash(); });
    // The timer starts when the window first becomes active. Without a window manager a
    // window may never be told it is active; its first showing starts the timer then.
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        if (event.GetActive()) startTimer();
        event.Skip();
    });
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        if (event.IsShown())
            CallAfter([this] {
                SetFocus();
                startTimer();
            });
        event.Skip();
    });
    Bind(wxEVT_LEFT_DCLICK, [this](wxMouseEvent&) { closeSplash(); });
    // Esc and Enter are the keyboard's double click. The picture has no control to hold the
    // keys: the window takes them itself.
    SetCanFocus(true);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
            closeSplash();
        else
            event.Skip();
    });
    CentreOnScreen();
}

void LoadWin::startTimer() {
    if (started_ || closed_) return;
    started_ = true;
    timer_.StartOnce(SplashMilliseconds);
}

void LoadWin::closeSplash() {
    timer_.Stop();
    if (closed_) return;
    closed_ = true;
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}

}  // namespace orvenna
