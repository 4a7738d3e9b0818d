// The modal dialog of "自己装卦": the user enters an offline coin cast; "确定" writes it
// into the casting request.
#pragma once

#include <wx/dialog.h>

#include "base/DayCount.h"
#include "engine/CastRequest.h"

namespace orvenna {

class LineEntryPanel;

class GuaWin : public wxDialog {
public:
    // The time choices start at the current local time.
    GuaWin(wxWindow* parent, CastRequest& request);
    GuaWin(wxWindow* parent, CastRequest& request, const DateTimeFields& now);

    LineEntryPanel* panel() const { return panel_; }

private:
    // Sizes the dialog around its panel, at least 480 wide.
    void fitToPanel();

    CastRequest& request_;
    LineEntryPanel* panel_;
};

}  // namespace orvenna
