// The one check of what a user would see wrong in a window, run on every window at every
// DPI and desktop the tests meet: a text larger than its control, visible neighbours that
// overlap, a control outside its parent or cut off from view by a scrolled area or the window,
// a scroll bar on a window whose content the screen could show whole, a window outside the
// screen's work area.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/toplevel.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "GuiTest.h"
#include "gui/Layout.h"
#include "gui/WindowFront.h"

namespace orvenna::gui {

inline std::string describe(const wxWindow* window) {
    std::string text = wxString(window->GetClassInfo()->GetClassName()).utf8_str().data();
    const wxString label = window->GetLabel();
    if (!label.empty()) text += " \"" + std::string(label.utf8_str()) + "\"";
    return text;
}

// A label's or button's text, measured in the control's own font, fits the control; a drop-
// down list or a tick box is never smaller than its best size.
inline void expectTextFits(const wxWindow* control) {
    const wxSize size = control->GetSize();
    if (dynamic_cast<const wxStaticText*>(control) || dynamic_cast<const wxButton*>(control)) {
        const wxSize text = LayoutContext(control).extent(control->GetLabel());
        EXPECT_LE(text.x, size.x) << describe(control) << ": text wider than its control";
        EXPECT_LE(text.y, size.y) << describe(control) << ": text taller than its control";
    }
    if (dynamic_cast<const wxButton*>(control) || dynamic_cast<const wxChoice*>(control) ||
        dynamic_cast<const wxCheckBox*>(control) || dynamic_cast<const wxRadioButton*>(control)) {
        const wxSize best = control->GetBestSize();
        EXPECT_LE(best.x, size.x) << describe(control) << ": narrower than it draws";
        EXPECT_LE(best.y, size.y) << describe(control) << ": lower than it draws";
    }
}

inline void expectChildrenSound(const wxWindow* parent) {
    // A scrolled container holds its content in its virtual area.
    const auto* scrolled = dynamic_cast<const wxScrolledWindow*>(parent);
    const wxSize area = scrolled ? scrolled->GetVirtualSize() : parent->GetClientSize();
    std::vector<const wxWindow*> shown;
    for (const wxWindow* child : parent->GetChildren())
        if (child->IsShown() && !child->IsTopLevel()) shown.push_back(child);
    for (const wxWindow* child : shown) {
        if (dynamic_cast<const wxStatusBar*>(child)) continue;
        wxRect rect = child->GetRect();
        if (scrolled) rect.SetPosition(scrolled->CalcUnscrolledPosition(rect.GetPosition()));
        EXPECT_TRUE(wxRect(area).Contains(rect))
            << describe(child) << " at " << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height
            << " lies outside " << describe(parent) << " (" << area.x << "x" << area.y << ")";
        expectTextFits(child);
        for (const wxWindow* other : shown) {
            if (other < child && !dynamic_cast<const wxStatusBar*>(other)) {
                EXPECT_FALSE(child->GetRect().Intersects(other->GetRect()))
                    << describe(child) << " overlaps " << describe(other);
            }
        }
        expectChildrenSound(child);
    }
}

// The window's frame on screen as the window manager draws it: its client area and the
// manager's title bar and borders, whatever the toolkit believes them to be.
inline wxRect frameOnScreen(const wxWindow* window) {
#ifdef __WXGTK__
    if (GdkWindow* drawn = gtk_widget_get_window(window->GetHandle())) {
        GdkRectangle frame;
        gdk_window_get_frame_extents(drawn, &frame);
        return {frame.x, frame.y, frame.width, frame.height};
    }
#endif
    return window->GetScreenRect();
}

inline std::string describe(const wxRect& rect) {
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " + std::to_string(rect.width) + "x" +
           std::to_string(rect.height);
}

// The part of the screen where `window` shows its children: its client area.
inline wxRect clientOnScreen(const wxWindow* window) {
    return {window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize()};
}

// True when the window, grown by what `view` cannot show of its content, would still fit the
// work area: a window the program sized for a screen that holds it shows its content whole.
inline bool workAreaHoldsContent(const wxWindow* window, const wxScrolledWindow* view) {
    const wxSize hidden = view->GetVirtualSize() - view->GetSize();
    const wxRect frame = frameOnScreen(window), work = workArea(window);
    return frame.width + std::max(0, hidden.x) <= work.width && frame.height + std::max(0, hidden.y) <= work.height;
}

// What the user sees of every control: the control less whatever its ancestors' client areas
// cut off, up to the top-level window (a frame's status bar lies outside the client area, in
// the frame). A control cut by a scrolled view fails too, unless the view cannot show its
// content where the work area holds no larger window; and at the size the program chose, no
// view whose content the work area holds shows a scroll bar. `seen` is what shows of `parent`.
inline void expectAllInView(const wxWindow* window, const wxWindow* parent, const wxRect& seen, bool mayScroll) {
    if (const auto* view = dynamic_cast<const wxScrolledWindow*>(parent)) {
        const bool scrolls = !workAreaHoldsContent(window, view);
        if (!scrolls) {
            EXPECT_FALSE(view->HasScrollbar(wxHORIZONTAL)) << describe(view) << " shows a horizontal scroll bar";
            EXPECT_FALSE(view->HasScrollbar(wxVERTICAL)) << describe(view) << " shows a vertical scroll bar";
            const wxSize content = view->GetVirtualSize(), client = view->GetClientSize();
            EXPECT_TRUE(content.x <= client.x && content.y <= client.y)
                << describe(view) << " scrolls: its content is " << content.x << "x" << content.y << ", it shows "
                << client.x << "x" << client.y;
        }
        mayScroll = mayScroll || scrolls;
    }
    const wxRect inside = wxRect(seen).Intersect(clientOnScreen(parent));
    for (const wxWindow* child : parent->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel()) continue;
        // Where the parent placed it: wxMSW gives a control with a sunken edge a screen position
        // two pixels inside where its edge is drawn.
        const wxRect rect(parent->ClientToScreen(child->GetPosition()), child->GetSize());
        const wxRect shown = wxRect(dynamic_cast<const wxStatusBar*>(child) ? seen : inside).Intersect(rect);
        if (!mayScroll && !rect.IsEmpty() && shown != rect) {
            // The nearest ancestor that cuts it, for the message.
            const wxWindow* cut = parent;
            while (cut->GetParent() && clientOnScreen(cut).Contains(rect)) cut = cut->GetParent();
            ADD_FAILURE() << describe(child) << " at " << describe(rect) << " shows only " << describe(shown) << ": "
                          << describe(cut) << " at " << describe(cut->GetScreenRect()) << " shows its children in "
                          << describe(clientOnScreen(cut));
        }
        expectAllInView(window, child, shown, mayScroll);
    }
}

// Lets the window manager and the window's own refitting finish: the frame as drawn and the
// client area stay the same for a while (a loaded machine frames a new window late, and a
// window fitted again after that moves once more).
inline void settleFrame(const wxWindow* window) {
    wxRect frame = frameOnScreen(window);
    wxSize client = window->GetClientSize();
    int steady = 0;
    waitUntil(
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            const wxRect nowFrame = frameOnScreen(window);
            const wxSize nowClient = window->GetClientSize();
            steady = nowFrame == frame && nowClient == client ? steady + 1 : 0;
            frame = nowFrame;
            client = nowClient;
            return steady >= 4;
        },
        std::chrono::seconds(3));
}

// Every control of `window`, and the window itself on its display, at the size the program
// chose for it (a window the user made smaller may scroll and cut its controls).
inline void expectSoundLayout(const wxWindow* window) {
    settleFrame(window);
    const wxRect work = workArea(window);
    const wxRect outer = frameOnScreen(window);
    EXPECT_TRUE(work.Contains(outer)) << describe(window) << " at " << describe(outer)
                                      << " is not inside the work area " << describe(work);
    expectChildrenSound(window);
    expectAllInView(window, window, window->GetScreenRect(), false);
}

// The control that has the keyboard lies whole in the visible part of the scrolled area it
// is in: what the user types goes where they can see it.
inline void expectFocusInView(const wxWindow* window) {
    const wxWindow* focus = focusedControl(static_cast<const wxTopLevelWindow*>(window));
    if (!focus || wxGetTopLevelParent(const_cast<wxWindow*>(focus)) != window) {
        ADD_FAILURE() << "nothing in " << describe(window) << " has the keyboard";
        return;
    }
    for (const wxWindow* view = focus->GetParent(); view; view = view->GetParent()) {
        const auto* scrolled = dynamic_cast<const wxScrolledWindow*>(view);
        if (!scrolled) continue;
        // Whole; or, where it is larger than the view, filling it or from its beginning on: the
        // view moves in whole scroll units, so the beginning may sit less than a unit inside it.
        // (The client area starts inside the view's border, which Windows draws.)
        const wxRect visible(view->ClientToScreen(wxPoint(0, 0)), view->GetClientSize());
        const wxRect control = focus->GetScreenRect();
        int unitX = 1, unitY = 1;
        scrolled->GetScrollPixelsPerUnit(&unitX, &unitY);
        const auto shown = [](int start, int length, int viewStart, int viewLength, int unit) {
            if (length <= viewLength) return start >= viewStart && start + length <= viewStart + viewLength;
            const bool fills = start <= viewStart && start + length >= viewStart + viewLength;
            return fills || (start >= viewStart && start < viewStart + std::max(unit, 1));
        };
        EXPECT_TRUE(shown(control.x, control.width, visible.x, visible.width, unitX) &&
                    shown(control.y, control.height, visible.y, visible.height, unitY))
            << describe(focus) << " has the keyboard outside the visible part of the window: it lies at " << control.x
            << "," << control.y << " " << control.width << "x" << control.height << ", the view shows " << visible.x
            << "," << visible.y << " " << visible.width << "x" << visible.height;
    }
}

}  // namespace orvenna::gui
