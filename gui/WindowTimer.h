// A window timer whose ticks call a handler on the UI thread.
#pragma once

#include <functional>
#include <utility>

#include <wx/timer.h>

namespace orvenna {

class WindowTimer : public wxTimer {
public:
    explicit WindowTimer(std::function<void()> onTick = {}) : onTick_(std::move(onTick)) {}
    void setHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }
    void Notify() override {
        if (onTick_) onTick_();
    }

private:
    std::function<void()> onTick_;
};

}  // namespace orvenna
