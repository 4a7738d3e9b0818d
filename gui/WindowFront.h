// Bringing a top-level window to the user's eyes: restored if minimised, in front of the others,
// with the dialogs it has open in front of it.
#pragma once

#include <functional>

#include <wx/toplevel.h>

namespace orvenna {

void bringToFront(wxTopLevelWindow* window);

// The control inside `window` that has the keyboard, or null. GTK gives a drop-down list's
// focus to a part of it that is no window of wx's own: the list is named for it.
wxWindow* focusedControl(const wxTopLevelWindow* window);

// Calls `moved` with the control that took the keyboard each time the focus moves inside
// `window`, once the focus has settled (drop-down lists included, which on GTK raise no wx
// focus event).
void followFocus(wxTopLevelWindow* window, std::function<void(wxWindow*)> moved);

// Shows the focus frame in `window` from the start: Windows and GTK draw it only once a key
// was pressed, so a keyboard user would not see where the keys go until they had guessed.
void showFocusCues(wxTopLevelWindow* window);

// Asks the window manager not to offer maximising `window` (its button, its menu entry, a
// double click on the title), and restores the window where a manager maximises it anyway.
void keepFromMaximising(wxTopLevelWindow* window);

}  // namespace orvenna
