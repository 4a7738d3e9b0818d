#include "WindowFront.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#endif
#ifdef __WXMSW__
#include <windows.h>
#endif

#include <memory>
#include <vector>

namespace orvenna {

namespace {

void raiseOne(wxTopLevelWindow* window) {
    window->Restore();
    // A window manager takes GTK's request to present the window; without one (or with one
    // that ignores requests of a program in the background) the window is raised itself.
    window->Raise();
#ifdef __WXMSW__
    // wx raises with BringWindowToTop, which leaves the order as it is when this program's
    // window is already the active one; the foreground is given by the second start.
    const auto handle = static_cast<HWND>(window->GetHandle());
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(handle);
#endif
#ifdef __WXGTK__
    GtkWindow* shell = GTK_WINDOW(window->GetHandle());
    GdkWindow* drawn = gtk_widget_get_window(GTK_WIDGET(shell));
    if (!drawn) return;
#ifdef GDK_WINDOWING_X11
    // Managers that prevent focus stealing (metacity, mutter) ignore a request without a time
    // (GTK's plain present sends none); the server's time now is later than anything the user
    // did, so the request counts as the user's own.
    if (GDK_IS_X11_WINDOW(drawn)) gtk_window_present_with_time(shell, gdk_x11_get_server_time(drawn));
#endif
    gdk_window_raise(drawn);
#endif
}

}  // namespace

void bringToFront(wxTopLevelWindow* window) {
    raiseOne(window);
    // A dialog the window has open comes in front of it: a modal one is where the user's
    // input goes, and a window raised without it would look stuck.
    for (wxWindow* other : wxTopLevelWindows)
        if (other->GetParent() == window && other->IsShown())
            if (auto* owned = dynamic_cast<wxTopLevelWindow*>(other)) bringToFront(owned);
}

void showFocusCues(wxTopLevelWindow* window) {
#ifdef __WXMSW__
    // Sent to the top-level window, the state reaches every control inside it.
    SendMessage(static_cast<HWND>(window->GetHandle()), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
#endif
#ifdef __WXGTK__
    gtk_window_set_focus_visible(GTK_WINDOW(window->GetHandle()), TRUE);
#endif
}

wxWindow* focusedControl(const wxTopLevelWindow* window) {
    wxWindow* focus = wxWindow::FindFocus();
    if (focus && wxGetTopLevelParent(focus) == window) return focus;
#ifdef __WXGTK__
    GtkWidget* held = gtk_window_get_focus(GTK_WINDOW(window->GetHandle()));
    if (!held) return nullptr;
    // The deepest of the window's descendants whose widget holds the focused one.
    focus = nullptr;
    std::vector<wxWindow*> candidates(window->GetChildren().begin(), window->GetChildren().end());
    while (!candidates.empty()) {
        wxWindow* next = candidates.back();
        candidates.pop_back();
        if (next->IsTopLevel()) continue;
        if (next->GetHandle() == held || gtk_widget_is_ancestor(held, next->GetHandle())) {
            focus = next;
            candidates.assign(next->GetChildren().begin(), next->GetChildren().end());
        }
    }
    return focus;
#else
    return nullptr;
#endif
}

void followFocus(wxTopLevelWindow* window, std::function<void(wxWindow*)> moved) {
    auto report = std::make_shared<std::function<void()>>([window, moved = std::move(moved)] {
        if (wxWindow* focus = focusedControl(window)) moved(focus);
    });
    window->Bind(wxEVT_CHILD_FOCUS, [window, report](wxChildFocusEvent& event) {
        event.Skip();
        window->CallAfter([report] { (*report)(); });
    });
#ifdef __WXGTK__
    struct Follower {
        wxTopLevelWindow* window;
        std::shared_ptr<std::function<void()>> report;
    };
    g_signal_connect_data(
        window->GetHandle(), "set-focus", G_CALLBACK(+[](GtkWindow*, GtkWidget*, gpointer data) {
            auto* follower = static_cast<Follower*>(data);
            follower->window->CallAfter([report = follower->report] { (*report)(); });
        }),
        new Follower{window, report}, +[](gpointer data, GClosure*) { delete static_cast<Follower*>(data); },
        G_CONNECT_AFTER);
#endif
}

void keepFromMaximising(wxTopLevelWindow* window) {
#ifdef __WXGTK__
    // The window style's missing maximise box reaches GTK's window managers only as this hint,
    // given once the window exists on the server and before it is mapped. (Realising it here
    // would keep wx from learning the frame's size before the window is shown.)
    const auto withoutMaximise = [](GtkWidget* shell, gpointer) {
        if (GdkWindow* drawn = gtk_widget_get_window(shell))
            gdk_window_set_functions(drawn, static_cast<GdkWMFunction>(GDK_FUNC_ALL | GDK_FUNC_MAXIMIZE));
    };
    GtkWidget* shell = GTK_WIDGET(window->GetHandle());
    if (gtk_widget_get_realized(shell))
        withoutMaximise(shell, nullptr);
    else
        g_signal_connect_after(shell, "realize", G_CALLBACK(+withoutMaximise), nullptr);
#endif
    window->Bind(wxEVT_MAXIMIZE, [window](wxMaximizeEvent& event) {
        event.Skip();
        window->CallAfter([window] {
            if (window->IsMaximized()) window->Maximize(false);
        });
    });
}

}  // namespace orvenna
