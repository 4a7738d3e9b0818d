#include "Layout.h"

#include <algorithm>
#include <cmath>

#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/toplevel.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace orvenna {

namespace {

// GTK works in logical pixels, which GDK_SCALE maps to the device; what still grows a layout
// there is the desktop's text scale (Xft.dpi), which enlarges every font. Windows reports
// the screen's DPI to the window itself (FromDIP) and needs nothing more.
double textScale() {
#ifdef __WXGTK__
    const double resolution = gdk_screen_get_resolution(gdk_screen_get_default());
    return resolution > 96.0 ? resolution / 96.0 : 1.0;
#else
    return 1.0;
#endif
}

}  // namespace

LayoutContext::LayoutContext(const wxWindow* window)
    : window_(window), scale_(window->FromDIP(1000) / 1000.0 * textScale()) {}

wxSize LayoutContext::cell(wchar_t glyph) const {
    return extent(wxString(glyph));
}

wxSize LayoutContext::extent(const wxString& text) const {
    // The window's own measurement: a bare memory DC would measure at 96 DPI whatever the
    // screen's DPI, while the window's font grows with it.
    const wxFont font = window_->GetFont();
    int width = 0, height = 0;
    wxString line;
    for (wxString::const_iterator it = text.begin();; ++it) {
        if (it == text.end() || *it == '\n') {
            int w = 0, h = 0;
            window_->GetTextExtent(line.empty() ? wxString(" ") : line, &w, &h, nullptr, nullptr, &font);
            width = std::max(width, line.empty() ? 0 : w);
            height += h;
            line.clear();
            if (it == text.end()) break;
        } else {
            line += *it;
        }
    }
    return {width, height};
}

wxString LayoutContext::wrap(const wxString& text, int width) const {
    wxString wrapped, line;
    for (const wxUniChar c : text) {
        if (c == '\n') {
            wrapped += line + c;
            line.clear();
            continue;
        }
        if (!line.empty() && extent(line + c).x > width) {
            wrapped += line + '\n';
            line.clear();
        }
        line += c;
    }
    return wrapped + line;
}

int LayoutContext::px(int pixels) const {
    return static_cast<int>(std::lround(pixels * scale_));
}

wxRect place(wxWindow* window, int left, int top, int width, int height, Floor floor) {
    const wxSize current = window->GetSize();
    if (width < 0) width = current.x;
    if (height < 0) height = current.y;
    if (floor != Floor::Exact) {
        const wxSize best = window->GetBestSize();
        height = std::max(height, best.y);
        if (floor == Floor::BestSize) width = std::max(width, best.x);
    }
    const wxRect rect(left, top, width, height);
    window->SetSize(rect);
    return rect;
}

wxButton* makeButton(wxWindow* parent, const wxString& caption) {
    return new wxButton(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
}

// GTK's one-line boxes keep their theme's padding and ignore margins; its multi-line boxes have
// none, and wx sets none there, so their text view gets it directly.
void setInnerMargin(wxTextCtrl* box, int margin) {
    box->SetMargins(margin, -1);
#ifdef __WXGTK__
    if (!box->IsMultiLine()) return;
    GtkWidget* scrolled = static_cast<GtkWidget*>(box->GetHandle());
    GtkWidget* view = GTK_IS_BIN(scrolled) ? gtk_bin_get_child(GTK_BIN(scrolled)) : nullptr;
    if (view && GTK_IS_TEXT_VIEW(view)) {
        gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), margin);
        gtk_text_view_set_right_margin(GTK_TEXT_VIEW(view), margin);
    }
#endif
}

void moveTo(wxWindow* window, int left, int top) {
    window->Move(left, top);
}

wxSize sizeAroundChildren(const wxWindow* parent, int minWidth, int minHeight, int margin) {
    int width = minWidth, height = minHeight;
    for (const wxWindow* child : parent->GetChildren()) {
        if (child->IsTopLevel() || !child->IsShown()) continue;
        width = std::max(width, right(child) + margin);
        height = std::max(height, bottom(child) + margin);
    }
    return {width, height};
}

wxRect workArea(const wxWindow* window) {
    const int index = wxDisplay::GetFromWindow(window);
    return wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
}

void fitOnScreen(wxWindow* topLevel, wxSize client, const wxWindow* owner) {
    const wxRect area = workArea(owner ? owner : topLevel);
    // The frame's decorations as the system draws them now; before the window manager has
    // framed a new window they may still be an estimate, and the next size event corrects them.
    const wxSize frame = topLevel->GetSize() - topLevel->GetClientSize();
    const wxSize fits(std::min(client.x, area.width - frame.x), std::min(client.y, area.height - frame.y));
    topLevel->SetClientSize(fits);
    const wxSize outer = topLevel->GetSize();
    const wxRect centre = owner ? owner->GetScreenRect() : area;
    const int left = centre.x + (centre.width - outer.x) / 2;
    const int top = centre.y + (centre.height - outer.y) / 2;
    topLevel->Move(std::clamp(left, area.x, std::max(area.x, area.GetRight() + 1 - outer.x)),
                   std::clamp(top, area.y, std::max(area.y, area.GetBottom() + 1 - outer.y)));
}

bool outgrowsWorkArea(const wxWindow* topLevel) {
    const wxRect area = workArea(topLevel);
    const wxSize outer = topLevel->GetSize();
    return outer.x > area.width || outer.y > area.height;
}

}  // namespace orvenna
