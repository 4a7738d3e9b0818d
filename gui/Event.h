// Typed events: a child raises them, the parent that created it connects handlers to them.
#pragma once

#include <deque>
#include <functional>
#include <utility>

namespace orvenna {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    void connect(Handler handler) { handlers_.push_back(std::move(handler)); }

    // Calls every connected handler in the order they were connected.
    void raise(Args... args) const {
        // A handler may connect another one: a deque keeps the running handler in place,
        // and the count taken first leaves the new one for the next raise.
        const std::size_t count = handlers_.size();
        for (std::size_t i = 0; i < count; ++i) handlers_[i](args...);
    }

    bool connected() const { return !handlers_.empty(); }

private:
    std::deque<Handler> handlers_;
};

}  // namespace orvenna
