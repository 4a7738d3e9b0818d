// The X server's stacking of top-level windows, as a user sees which window is in front.
#pragma once

typedef struct _XDisplay Display;

namespace orvenna::gui {

// Where the viewable top-level window of this title stands among the screen's windows, bottom
// first; -1 when there is none. A window that goes while it is asked about counts as none.
int stackPlace(Display* display, const char* title);
// The same on a connection of its own to $DISPLAY.
int stackPlace(const char* title);

}  // namespace orvenna::gui
