// The update window: a top-level window of its own (the main window stays usable) that
// offers a newer build.
#pragma once

#include <functional>

#include <wx/frame.h>

#include "UpdatePanel.h"

namespace orvenna {

class UpdateWin : public wxFrame {
public:
    explicit UpdateWin(wxWindow* parent);

    // Builds the panel for `offer` in `font` (the main window's) and shows the window, centred.
    void showUpdate(const wxFont& font, UpdateOffer offer);

    UpdateState updateState() const { return updateState_; }
    UpdatePanel* panel() const { return panel_; }

    // Ends the program after the installer was started; the main window sets it.
    std::function<void()> endProgram;

private:
    void onClose(wxCloseEvent& event);

    UpdatePanel* panel_ = nullptr;
    // Written and read on the window's thread only: the download worker reports through
    // queued calls, never by touching this.
    UpdateState updateState_ = UpdateState::Idle;
};

}  // namespace orvenna
