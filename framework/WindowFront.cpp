#include "WindowFront.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif
#ifdef __WXMSW__
#include <windows.h>
#endif

namespace orvenna {

void bringToFront(wxTopLevelWindow* window) {
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
    if (GdkWindow* drawn = gtk_widget_get_window(GTK_WIDGET(window->GetHandle()))) gdk_window_raise(drawn);
#endif
}

}  // namespace orvenna
