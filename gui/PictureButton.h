// A button that is only a picture: one picture for each state (normal, mouse over,
// disabled, pressed), drawn at exactly the button's size. It takes the keyboard like a push
// button: a focus frame while it has the focus, Space or Enter presses it.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

#include "Event.h"

namespace orvenna {

class PictureButton : public wxWindow {
public:
    enum class State { Normal, Hover, Disabled, Pressed };

    PictureButton(wxWindow* parent, wxSize size, const wxBitmap& normal, const wxBitmap& hover,
                  const wxBitmap& disabled, const wxBitmap& pressed);

    // Presses the button from code: raises clicked when it is enabled.
    void press();
    State state() const;
    const wxBitmap& picture(State state) const;

    bool Enable(bool enable = true) override;
    // What a screen reader says for the button, shown as its tooltip too: the picture says
    // nothing to one.
    void setAccessibleName(const wxString& name);

    Event<> clicked;

private:
    void onPaint(wxPaintEvent& event);

    wxBitmap pictures_[4];
    bool hover_ = false;
    bool pressed_ = false;
};

}  // namespace orvenna
