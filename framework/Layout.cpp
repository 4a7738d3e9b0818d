#include "Layout.h"

#include <algorithm>
#include <cmath>

#include <wx/display.h>
#include <wx/gdicmn.h>

namespace orvenna {

double scaleFactorForDpi(int dpi) {
    const double factor = dpi / 96.0;
    return factor < 1.0 ? 1.0 : factor;
}

double displayScale() {
    static const double factor = scaleFactorForDpi(wxGetDisplayPPI().y);
    return factor;
}

int scaled(int pixels) {
    return static_cast<int>(std::lround(pixels * displayScale()));
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

}  // namespace orvenna
