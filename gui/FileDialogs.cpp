#include "FileDialogs.h"

#include <algorithm>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "Layout.h"

namespace orvenna {

#ifdef __WXGTK__
namespace {

// Where the dialog must stay: the work area, less the frame the manager draws around it.
struct Bound {
    wxRect area;
    wxSize frame;
};

// The manager frames the dialog only once it is shown: the frame it drew around the owner's
// window, already shown, stands in for it.
wxSize decoration(const wxWindow* owner) {
    GtkWidget* widget = wxGetTopLevelParent(const_cast<wxWindow*>(owner))->GetHandle();
    GdkWindow* drawn = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!drawn) return {};
    GdkRectangle frame;
    gdk_window_get_frame_extents(drawn, &frame);
    return {std::max(0, frame.width - gdk_window_get_width(drawn)),
            std::max(0, frame.height - gdk_window_get_height(drawn))};
}

// The chooser sizes its dialog as it is mapped (from the size it remembered, or its font), so
// the bound is applied after that.
void keepWithin(GtkWidget* widget, gpointer data) {
    const Bound& bound = *static_cast<const Bound*>(data);
    GtkWindow* window = GTK_WINDOW(widget);
    int width = 0, height = 0, left = 0, top = 0;
    gtk_window_get_size(window, &width, &height);
    gtk_window_get_position(window, &left, &top);
    const int fitWidth = std::min(width, bound.area.width - bound.frame.x);
    const int fitHeight = std::min(height, bound.area.height - bound.frame.y);
    // Centred as it was meant to be, and inside the area.
    const int fitLeft = std::clamp(left + (width - fitWidth) / 2, bound.area.x,
                                   std::max(bound.area.x, bound.area.GetRight() + 1 - fitWidth - bound.frame.x));
    const int fitTop = std::clamp(top + (height - fitHeight) / 2, bound.area.y,
                                  std::max(bound.area.y, bound.area.GetBottom() + 1 - fitHeight - bound.frame.y));
    if (fitWidth != width || fitHeight != height) gtk_window_resize(window, fitWidth, fitHeight);
    if (fitLeft != left || fitTop != top) gtk_window_move(window, fitLeft, fitTop);
}

}  // namespace
#endif

void fitFileDialog(wxFileDialog& dialog) {
#ifdef __WXGTK__
    GtkWidget* widget = dialog.GetHandle();
    if (!widget) return;
    const wxWindow* owner = dialog.GetParent() ? dialog.GetParent() : &dialog;
    auto* bound = new Bound{workArea(owner), decoration(owner)};
    g_signal_connect_data(
        widget, "map", G_CALLBACK(keepWithin), bound,
        [](gpointer data, GClosure*) { delete static_cast<Bound*>(data); }, G_CONNECT_AFTER);
#else
    // Windows' own dialog keeps itself on the screen.
    (void)dialog;
#endif
}

}  // namespace orvenna
