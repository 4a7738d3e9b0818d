#include "GuaWin.h"

#include "LineEntryPanel.h"
#include "gui/Layout.h"
#include "system/Clock.h"

namespace orvenna {

GuaWin::GuaWin(wxWindow* parent, CastRequest& request) : GuaWin(parent, request, fieldsFromDayCount(localNow())) {}

// The dialog has no minimize box and is sized to its panel: the panel's rows are laid out
// once, so a smaller window would cut off its buttons.
GuaWin::GuaWin(wxWindow* parent, CastRequest& request, const DateTimeFields& now)
    : wxDialog(parent, wxID_ANY, L"自己装卦", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU),
      request_(request) {
    panel_ = new LineEntryPanel(this, now);
    // Not skipped: the dialog's own handler would stretch its one child over the client area.
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) { panel_->Move(LayoutContext(this).gap(), LayoutContext(this).gap()); });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        panel_->layout();
        fitToPanel();
        event.Skip();
    });
    fitToPanel();
    CentreOnParent();
    // Esc does what 取消 does, Enter what 确定 does.
    SetEscapeId(panel_->cancelButton()->GetId());
    SetAffirmativeId(panel_->okButton()->GetId());
    panel_->okButton()->SetDefault();
    // Lines are written down from 初爻 up. Given once the dialog is on screen: GTK gives the
    // focus to the top line itself when it shows the window.
    Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        if (event.IsShown()) CallAfter([this] { panel_->lineChoice(1)->SetFocus(); });
        event.Skip();
    });

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

void GuaWin::fitToPanel() {
    const LayoutContext layout(this);
    const int margin = layout.gap();
    panel_->Move(margin, margin);
    SetClientSize(std::max(layout.px(480), panel_->GetSize().x + 2 * margin), panel_->GetSize().y + 2 * margin);
}

}  // namespace orvenna
