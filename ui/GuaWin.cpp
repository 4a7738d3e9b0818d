#include "GuaWin.h"

#include "LineEntryPanel.h"
#include "framework/Clock.h"
#include "framework/Layout.h"

namespace orvenna {

GuaWin::GuaWin(wxWindow* parent, CastRequest& request) : GuaWin(parent, request, fieldsFromDayCount(localNow())) {}

// The dialog has no minimize box and is sized to its panel: the panel's rows are laid out
// once, so a smaller window would cut off its buttons.
GuaWin::GuaWin(wxWindow* parent, CastRequest& request, const DateTimeFields& now)
    : wxDialog(parent, wxID_ANY, L"自己装卦", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU),
      request_(request) {
    SetClientSize(scaled(480), scaled(420));
    panel_ = new LineEntryPanel(this, now);
    const int margin = scaled(10);
    // Not skipped: the dialog's own handler would stretch its one child over the client area.
    Bind(wxEVT_SIZE, [this, margin](wxSizeEvent&) { panel_->Move(margin, margin); });
    panel_->Move(margin, margin);
    SetClientSize(std::max(scaled(480), panel_->GetSize().x + 2 * margin), panel_->GetSize().y + 2 * margin);
    CentreOnParent();

    panel_->lineEntryResult.connect([this](int code, const std::wstring& upper, const std::wstring& lower,
                                           const std::vector<int>& flags, double castTime) {
        if (code == LineEntryConfirmed) {
            request_.upperCode = upper;
            request_.lowerCode = lower;
            request_.movingFlags = flags;
            request_.castTime = castTime;
        }
        const int result = code == LineEntryConfirmed ? wxID_OK : wxID_CANCEL;
        if (IsModal())
            EndModal(result);
        else
            SetReturnCode(result), Hide();
    });
}

}  // namespace orvenna
