#include "LinePicture.h"

#include <wx/dcclient.h>

namespace orvenna {

// The cell shows the panel's own background between the bars.
LinePicture::LinePicture(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTRANSPARENT_WINDOW) {
    Bind(wxEVT_PAINT, &LinePicture::onPaint, this);
}

void LinePicture::setMark(const std::wstring& mark) {
    if (mark == mark_) return;
    mark_ = mark;
    Refresh();
}

std::vector<wxRect> LinePicture::bars(const std::wstring& mark, wxSize size) {
    // A bar half the cell high, centred, so neighbouring rows stay apart.
    const int height = std::max(2, size.y / 2);
    const int top = (size.y - height) / 2;
    if (mark == L"1") return {wxRect(0, top, size.x, height)};
    if (mark == L"0") {
        const int third = size.x / 3;
        return {wxRect(0, top, third, height), wxRect(size.x - third, top, third, height)};
    }
    return {};
}

void LinePicture::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(GetForegroundColour()));
    for (const wxRect& bar : bars(mark_, GetClientSize())) dc.DrawRectangle(bar);
}

}  // namespace orvenna
