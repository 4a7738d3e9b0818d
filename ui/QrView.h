// The picture box that shows the result text as a QR code, laid exactly over the result
// box: the symbol centred, at whole pixels per module, on white.
#pragma once

#include <optional>

#include <wx/bitmap.h>
#include <wx/window.h>

#include "codec/QrSymbol.h"

namespace orvenna {

class QrView : public wxWindow {
public:
    QrView(wxWindow* parent, const wxRect& area, const QrSymbol& symbol);

    const QrPicture& picture() const { return picture_; }
    // Where the picture is drawn inside the view.
    wxRect pictureRect() const;

private:
    void onPaint(wxPaintEvent& event);

    QrPicture picture_;
    wxBitmap bitmap_;
};

}  // namespace orvenna
