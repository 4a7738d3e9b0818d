// The stacking of the screen's top-level windows, as a user sees which window is in front.
#pragma once

#ifndef _WIN32
typedef struct _XDisplay Display;
#endif

namespace orvenna::gui {

// Where the visible top-level window of this title (UTF-8) stands among the screen's windows,
// bottom first; -1 when there is none. A window that goes while it is asked about counts as
// none.
int stackPlace(const char* title);

#ifndef _WIN32
// The same on an X connection of the caller's.
int stackPlace(Display* display, const char* title);

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};
// Where the visible top-level window of this title is on the screen; empty when there is none.
ScreenRect windowRect(const char* title);
// Asks the visible top-level window of this title to close, as a window manager's close
// button does (WM_DELETE_WINDOW); false when there is none.
bool closeWindow(const char* title);
#endif

}  // namespace orvenna::gui
