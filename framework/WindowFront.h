// Bringing a top-level window to the user's eyes: restored if minimised, in front of the others.
#pragma once

#include <wx/toplevel.h>

namespace orvenna {

void bringToFront(wxTopLevelWindow* window);

}  // namespace orvenna
