#include "PictureButton.h"

#include <wx/dcclient.h>
#include <wx/renderer.h>
#if wxUSE_ACCESSIBILITY
#include <wx/access.h>
#endif
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace orvenna {

namespace {

#if wxUSE_ACCESSIBILITY
// A push button with the button's label as its name, pressed by the reader's default action.
class PictureButtonAccessible : public wxWindowAccessible {
public:
    explicit PictureButtonAccessible(PictureButton* button) : wxWindowAccessible(button), button_(button) {}

    wxAccStatus GetName(int, wxString* name) override {
        *name = button_->GetLabel();
        return wxACC_OK;
    }
    wxAccStatus GetRole(int, wxAccRole* role) override {
        *role = wxROLE_SYSTEM_PUSHBUTTON;
        return wxACC_OK;
    }
    wxAccStatus GetDefaultAction(int, wxString* action) override {
        *action = L"按下";
        return wxACC_OK;
    }
    wxAccStatus DoDefaultAction(int) override {
        button_->press();
        return wxACC_OK;
    }

private:
    PictureButton* button_;
};
#endif

}  // namespace

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
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        Refresh();
        event.Skip();
    });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        Refresh();
        event.Skip();
    });
    // Seen before anything else: on Windows the dialog navigation would take Enter. Tab is
    // passed on here too: GTK moves the focus on from no window of wx's own making.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
            press();
        else if (key == WXK_TAB && !event.ControlDown() && !event.AltDown())
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
        else
            event.Skip();
    });
#if wxUSE_ACCESSIBILITY
    SetAccessible(new PictureButtonAccessible(this));
#endif
}

void PictureButton::setAccessibleName(const wxString& name) {
    SetName(name);
    SetLabel(name);
    SetToolTip(name);
#ifdef __WXGTK__
    AtkObject* accessible = gtk_widget_get_accessible(GetHandle());
    atk_object_set_name(accessible, name.utf8_str());
    atk_object_set_role(accessible, ATK_ROLE_PUSH_BUTTON);
#endif
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
    // The picture has no edge of its own to highlight: the system's focus frame goes just
    // inside the button.
    if (HasFocus()) wxRendererNative::Get().DrawFocusRect(this, dc, GetClientRect().Deflate(FromDIP(1)));
}

}  // namespace orvenna
