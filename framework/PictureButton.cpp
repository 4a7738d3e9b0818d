#include "PictureButton.h"

#include <wx/dcclient.h>

namespace orvenna {

PictureButton::PictureButton(wxWindow* parent, wxSize size, const wxBitmap& normal, const wxBitmap& hover,
                             const wxBitmap& disabled, const wxBitmap& pressed)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, size, wxBORDER_NONE | wxTRANSPARENT_WINDOW),
      pictures_{normal, hover, disabled, pressed} {
    SetMinSize(size);
    SetCursor(wxCursor(wxCURSOR_HAND));
    Bind(wxEVT_PAINT, &PictureButton::onPaint, this);
    Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent&) {
        hover_ = true;
        Refresh();
    });
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent&) {
        hover_ = false;
        pressed_ = false;
        Refresh();
    });
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        pressed_ = true;
        Refresh();
    });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        const bool click = pressed_ && GetClientRect().Contains(event.GetPosition());
        pressed_ = false;
        Refresh();
        if (click) press();
    });
}

void PictureButton::press() {
    if (IsEnabled()) clicked.raise();
}

PictureButton::State PictureButton::state() const {
    if (!IsEnabled()) return State::Disabled;
    if (pressed_) return State::Pressed;
    return hover_ ? State::Hover : State::Normal;
}

const wxBitmap& PictureButton::picture(State state) const {
    return pictures_[static_cast<int>(state)];
}

bool PictureButton::Enable(bool enable) {
    const bool changed = wxWindow::Enable(enable);
    Refresh();
    return changed;
}

void PictureButton::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxBitmap& shown = picture(state());
    if (shown.IsOk()) dc.DrawBitmap(shown, 0, 0, true);
}

}  // namespace orvenna
