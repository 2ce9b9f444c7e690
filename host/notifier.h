// A list of handlers for one kind of notification, and the subscription that keeps one
// handler in it. Either side may go first: a subscription outliving its notifier does
// nothing when it ends, and handlers may unsubscribe while being notified.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace host {

class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        Cancel();
        cancel_ = std::exchange(other.cancel_, {});
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Cancel(); }

    void Cancel() {
        if (auto cancel = std::exchange(cancel_, {})) cancel();
    }

private:
    std::function<void()> cancel_;
};

template <typename... Args>
class Notifier {
public:
    using Handler = std::function<void(Args...)>;

    [[nodiscard]] Subscription Subscribe(Handler handler) {
        const int id = nextId_++;
        handlers_->emplace(id, std::move(handler));
        std::weak_ptr<Handlers> handlers = handlers_;
        return Subscription([handlers, id] {
            if (auto alive = handlers.lock()) alive->erase(id);
        });
    }

    void Notify(Args... args) const {
        const Handlers snapshot = *handlers_;  // a handler may subscribe or unsubscribe
        for (const auto& [id, handler] : snapshot) {
            if (handlers_->count(id)) handler(args...);
        }
    }

private:
    using Handlers = std::map<int, Handler>;
    std::shared_ptr<Handlers> handlers_ = std::make_shared<Handlers>();
    int nextId_ = 0;
};

}  // namespace host
