// The X server's stacking of top-level windows, as a user sees which window is in front.
#pragma once

namespace orvenna::gui {

// Where the viewable top-level window of this title stands among the screen's windows, bottom
// first; -1 when there is none.
int stackPlace(const char* title);

}  // namespace orvenna::gui
