#include "QrView.h"

#include <wx/dcclient.h>
#include <wx/image.h>

namespace orvenna {

QrView::QrView(wxWindow* parent, const wxRect& area, const QrSymbol& symbol)
    : wxWindow(parent, wxID_ANY, area.GetPosition(), area.GetSize()),
      picture_(drawQr(symbol, std::min(area.width, area.height))) {
    SetBackgroundColour(*wxWHITE);
    // wxImage takes the pixels it is given with `static_data`; copy so the view owns them.
    wxImage image(picture_.side, picture_.side, picture_.rgb.data(), true);
    bitmap_ = wxBitmap(image.Copy());
    Bind(wxEVT_PAINT, &QrView::onPaint, this);
}

wxRect QrView::pictureRect() const {
    const wxSize box = GetClientSize();
    return {(box.x - picture_.side) / 2, (box.y - picture_.side) / 2, picture_.side, picture_.side};
}

void QrView::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxRect at = pictureRect();
    // A symbol larger than the box (a very long text) is shown whole, scaled down.
    if (at.x < 0 || at.y < 0) {
        const int side = std::min(GetClientSize().x, GetClientSize().y);
        const wxImage image = bitmap_.ConvertToImage().Scale(side, side, wxIMAGE_QUALITY_NORMAL);
        dc.DrawBitmap(wxBitmap(image), (GetClientSize().x - side) / 2, (GetClientSize().y - side) / 2);
        return;
    }
    dc.DrawBitmap(bitmap_, at.GetPosition());
}

}  // namespace orvenna
