// One cast of 往期对照 opened: the digits the cast itself suggested, place by place, beside the
// draw and the hits. Opened by Enter or a double-click on a row; one at a time, showing the
// last cast opened.
#pragma once

#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "engine/CastReview.h"

namespace orvenna {

class CastDetailWin : public wxDialog {
public:
    explicit CastDetailWin(wxWindow* owner);

    void show(const ReviewedCast& cast);
    wxListCtrl* rows() const { return rows_; }
    wxStaticText* heading() const { return heading_; }

private:
    void layout();

    wxStaticText* heading_;
    wxListCtrl* rows_;
    wxButton* close_;
};

}  // namespace orvenna
