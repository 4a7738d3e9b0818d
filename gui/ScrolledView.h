// A view that scrolls the content it holds as a keyboard user needs it: the control that takes
// the keyboard is scrolled into view, PageUp and PageDown move the view, and the scrolled area
// is just the content's size wherever the view shows it whole.
#pragma once

#include <wx/scrolwin.h>
#include <wx/toplevel.h>

namespace orvenna {

// Sets `view`'s scrolled area for `content`: its size where the view shows it whole; where the
// content is larger, rounded up to whole scroll units, or its far edge (and a control there)
// could never be scrolled into view whole.
void fitScrolledArea(wxScrolledWindow* view, wxSize content);

// Scrolls `view` so that `control`, one of its descendants, shows whole as far as it fits.
void scrollIntoView(wxScrolledWindow* view, const wxWindow* control);

// Moves `view` by a screenful for PageUp or PageDown, unless the control that has the
// keyboard uses those keys itself (a list, a text of several lines). False when it did not.
bool scrollByPage(wxScrolledWindow* view, int key);

// From now on, whatever control inside `window` takes the keyboard is scrolled into `view`.
void keepFocusInView(wxTopLevelWindow* window, wxScrolledWindow* view);

}  // namespace orvenna
