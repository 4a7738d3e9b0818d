// Absolute placement of controls, with the two things a layout given in character cells
// needs on a real desktop: the display's scale factor for fixed pixel distances, and a
// native control never made smaller than its best size (GTK drop-down lists and buttons
// need more than one text line of height). Panels read positions back from the controls
// (right(), bottom()), so a control that grew moves what is placed after it.
#pragma once

#include <wx/button.h>
#include <wx/window.h>

namespace orvenna {

// The display scale factor for a vertical DPI: dpi / 96, never below 1.
double scaleFactorForDpi(int dpi);
// The factor of the screen this process draws on.
double displayScale();
// A fixed pixel distance (a 10-pixel gap, a 56-pixel box) on this display.
int scaled(int pixels);

enum class Floor {
    BestSize,    // width and height at least the control's best size
    BestHeight,  // height at least the best height; the width as asked (labels that clip)
    Exact,       // as asked
};

// A push button whose width the layout gives: GTK's default button width (about 85
// pixels whatever the caption) would otherwise be its floor.
wxButton* makeButton(wxWindow* parent, const wxString& caption);

// Moves and sizes `window`; a width or height of -1 keeps the current one. Returns the
// rectangle the window got.
wxRect place(wxWindow* window, int left, int top, int width, int height, Floor floor = Floor::BestSize);
// Moves `window` keeping its size.
void moveTo(wxWindow* window, int left, int top);

inline int right(const wxWindow* window) {
    return window->GetPosition().x + window->GetSize().x;
}
inline int bottom(const wxWindow* window) {
    return window->GetPosition().y + window->GetSize().y;
}

// The size that holds every child of `parent` plus `margin` on the right and below, but
// never less than (minWidth, minHeight).
wxSize sizeAroundChildren(const wxWindow* parent, int minWidth, int minHeight, int margin = 0);

}  // namespace orvenna
