// The splash window: a picture without a frame, shown modally while the main window is
// still hidden. It closes itself 3 s after it first becomes active, or at once on a double
// click, Esc or Enter.
#pragma once

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include "gui/WindowTimer.h"

namespace orvenna {

inline constexpr int SplashMilliseconds = 3000;

class LoadWin : public wxDialog {
public:
    explicit LoadWin(wxWindow* parent);

    WindowTimer& timer() { return timer_; }
    // Closed by the timer, a double click or a key; a closed splash stays closed.
    bool closed() const { return closed_; }

private:
    void startTimer();
    void closeSplash();

    wxBitmap picture_;
    WindowTimer timer_;
    bool started_ = false;
    bool closed_ = false;
};

}  // namespace orvenna
