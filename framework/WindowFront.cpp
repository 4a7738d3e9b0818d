#include "WindowFront.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace orvenna {

void bringToFront(wxTopLevelWindow* window) {
    window->Restore();
    // A window manager takes GTK's request to present the window; without one (or with one
    // that ignores requests of a program in the background) the window is raised itself.
    window->Raise();
#ifdef __WXGTK__
    if (GdkWindow* drawn = gtk_widget_get_window(GTK_WIDGET(window->GetHandle()))) gdk_window_raise(drawn);
#endif
}

}  // namespace orvenna
