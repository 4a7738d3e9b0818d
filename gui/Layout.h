// Absolute placement of controls, with what a layout given in character cells needs on a real
// desktop: cells and text measured in the window's own font at its screen's DPI, fixed pixel
// distances converted for that DPI, and a native control never made smaller than its best
// size (GTK drop-down lists and buttons need more than one text line of height). Panels read
// positions back from the controls (right(), bottom()), so a control that grew moves what is
// placed after it.
#pragma once

#include <wx/button.h>
#include <wx/textctrl.h>
#include <wx/window.h>

namespace orvenna {

// What one window is laid out by. Made from the window when a layout runs, so a window that
// moved to a screen of another DPI measures again.
class LayoutContext {
public:
    // Measures in `window`'s font (set it first).
    explicit LayoutContext(const wxWindow* window);

    // Width and height of one character in the window's font on its screen.
    wxSize cell(wchar_t glyph) const;
    // The extent of a text, line breaks included.
    wxSize extent(const wxString& text) const;
    // `text` with line breaks put in so that no line is wider than `width`: between any two
    // characters, as Chinese text breaks.
    wxString wrap(const wxString& text, int width) const;
    // A distance given in 96-DPI pixels (a 10-pixel gap, a 56-pixel box) on this window's
    // screen: the window's DPI, and on GTK the desktop's text scale as well.
    int px(int pixels) const;
    wxSize px(wxSize size) const { return {px(size.x), px(size.y)}; }
    // The 10-pixel gap between neighbouring controls.
    int gap() const { return px(10); }
    double scale() const { return scale_; }

private:
    const wxWindow* window_;
    double scale_;
};

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
// Gives a text box `margin` pixels between its left and right edges and its text, so that
// the caret does not stand on the first character.
void setInnerMargin(wxTextCtrl* box, int margin);

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

// Gives a top-level window the client size `client` and puts it wholly inside the work area
// of its display, centred; a window larger than the work area gets the work area. With an
// `owner`, the work area is the owner's display's and the window is centred over the owner
// as far as that area allows.
void fitOnScreen(wxWindow* topLevel, wxSize client, const wxWindow* owner = nullptr);

// The work area of the display `window` is on (the screen less the desktop's panels).
wxRect workArea(const wxWindow* window);

// True when the frame, as the window manager really draws it, is wider or taller than the
// work area. A manager that frames a window only once it is shown (and does not say its frame
// size before) makes the frame larger than fitOnScreen's estimate: the window is then fitted
// again.
bool outgrowsWorkArea(const wxWindow* topLevel);

}  // namespace orvenna
