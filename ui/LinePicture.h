// One line of a hexagram drawn in a grid cell: a solid bar for yang ("1"); for yin ("0")
// two bars over the left and the right third with the middle third empty.
#pragma once

#include <string>
#include <vector>

#include <wx/window.h>

namespace orvenna {

class LinePicture : public wxWindow {
public:
    explicit LinePicture(wxWindow* parent);

    // "1", "0", or empty for nothing drawn.
    void setMark(const std::wstring& mark);

    // A picture: the keyboard passes it by.
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }
    const std::wstring& mark() const { return mark_; }

    // The bars as rectangles inside a cell of `size`, for the painter and for tests.
    static std::vector<wxRect> bars(const std::wstring& mark, wxSize size);

private:
    void onPaint(wxPaintEvent& event);

    std::wstring mark_;
};

}  // namespace orvenna
