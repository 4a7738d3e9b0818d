#include "ScrolledView.h"

#include <algorithm>

#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "WindowFront.h"

namespace orvenna {

void fitScrolledArea(wxScrolledWindow* view, wxSize content) {
    int unitX = 1, unitY = 1;
    view->GetScrollPixelsPerUnit(&unitX, &unitY);
    const wxSize room = view->GetSize();
    const auto fit = [](int length, int space, int unit) {
        return length <= space || unit <= 1 ? length : (length + unit - 1) / unit * unit;
    };
    const wxSize area(fit(content.x, room.x, unitX), fit(content.y, room.y, unitY));
    if (view->GetVirtualSize() != area) view->SetVirtualSize(area);
}

void scrollIntoView(wxScrolledWindow* view, const wxWindow* control) {
    if (control == view || !view->IsDescendant(const_cast<wxWindow*>(control))) return;
    int unitX = 1, unitY = 1;
    view->GetScrollPixelsPerUnit(&unitX, &unitY);
    if (unitX <= 0 || unitY <= 0) return;
    const wxSize shown = view->GetClientSize();
    const wxPoint origin = view->CalcUnscrolledPosition(wxPoint(0, 0));
    const wxPoint at = view->CalcUnscrolledPosition(view->ScreenToClient(control->GetScreenPosition()));
    const wxSize size = control->GetSize();
    // The view's start (in scroll units) along one axis that shows the control whole: the
    // nearest such place to where the view is. The view moves in whole units; where none shows
    // it whole (it is larger than the view, or no unit falls in between), its start shows.
    const auto startFor = [](int current, int start, int length, int viewSize, int unit) {
        const int earliest = start + length - viewSize;  // the least view start that shows the end
        const int latest = start;                        // the most that shows the beginning
        if (current >= earliest && current <= latest) return current / unit;
        if (current > latest || earliest > latest) return std::max(0, latest / unit);
        const int up = (earliest + unit - 1) / unit;  // the first unit that shows the end
        return up * unit <= latest ? up : std::max(0, latest / unit);
    };
    const int x = startFor(origin.x, at.x, size.x, shown.x, unitX);
    const int y = startFor(origin.y, at.y, size.y, shown.y, unitY);
    if (x != origin.x / unitX || y != origin.y / unitY) view->Scroll(x, y);
}

bool scrollByPage(wxScrolledWindow* view, int key) {
    if (key != WXK_PAGEUP && key != WXK_PAGEDOWN) return false;
    const wxWindow* focus = wxWindow::FindFocus();
    // A key pressed in another window (one this window owns passes its keys up here) or in a
    // list pages that window or list, never the view behind it.
    if (!focus || !view->IsDescendant(const_cast<wxWindow*>(focus))) return false;
    // GTK's list control takes the keyboard in a window of its own inside it.
    const bool inList = dynamic_cast<const wxListCtrl*>(focus) || dynamic_cast<const wxListCtrl*>(focus->GetParent());
    if (dynamic_cast<const wxListBox*>(focus) || inList) return false;
    if (const auto* box = dynamic_cast<const wxTextCtrl*>(focus); box && box->IsMultiLine()) return false;
    int unitX = 1, unitY = 1;
    view->GetScrollPixelsPerUnit(&unitX, &unitY);
    if (unitY <= 0) return false;
    const int page = std::max(1, view->GetClientSize().y / unitY - 1);
    const wxPoint start = view->GetViewStart();
    view->Scroll(-1, std::max(0, start.y + (key == WXK_PAGEDOWN ? page : -page)));
    return true;
}

void keepFocusInView(wxTopLevelWindow* window, wxScrolledWindow* view) {
    followFocus(window, [view](wxWindow* focus) { scrollIntoView(view, focus); });
}

}  // namespace orvenna
