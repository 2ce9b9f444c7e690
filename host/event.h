// An event a control raises to its container. The container sets the handler; arguments
// the handler may change are references, so the control sees the change when the call
// returns:
//
//   host::Event<host::I2&> OnKeyPress;           // in the control
//   button.OnKeyPress = [](host::I2& key) { key = 0; };   // in the container
//   OnKeyPress(keyAscii);                        // raising it: keyAscii is now 0
//
// Raising an event without a handler does nothing.
#pragma once

#include <functional>
#include <utility>

namespace host {

template <typename... Args>
class Event {
public:
    Event() = default;
    Event& operator=(std::function<void(Args...)> handler) {
        handler_ = std::move(handler);
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }

    void operator()(Args... args) const {
        if (handler_) {
            const auto handler = handler_;  // the handler may replace itself
            handler(std::forward<Args>(args)...);
        }
    }

private:
    std::function<void(Args...)> handler_;
};

}  // namespace host
