#include "app/window/window_watch.h"

#include <array>

namespace modI {

namespace {

struct Watch {
    UINT message = 0;
    void (*onMessage)(HWND) = nullptr;
};

// The watched window, its own procedure, and what is watched on it.
HWND watchedWindow = nullptr;
WNDPROC ownProcedure = nullptr;
std::array<Watch, 4> watches;

LONG_PTR SetProcedure(HWND window, WNDPROC procedure) {
    const auto value = reinterpret_cast<LONG_PTR>(procedure);
    return IsWindowUnicode(window) ? SetWindowLongPtrW(window, GWLP_WNDPROC, value)
                                   : SetWindowLongPtrA(window, GWLP_WNDPROC, value);
}

LRESULT CALLBACK WatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC own = ownProcedure;
    for (const Watch& watch : watches) {
        if (watch.onMessage && watch.message == message) watch.onMessage(window);
    }
    if (message == WM_NCDESTROY) {
        // The window is going: it gets its own procedure back, and the watches end.
        SetProcedure(window, own);
        watchedWindow = nullptr;
        ownProcedure = nullptr;
        watches = {};
    }
    return IsWindowUnicode(window) ? CallWindowProcW(own, window, message, wParam, lParam)
                                   : CallWindowProcA(own, window, message, wParam, lParam);
}

}  // namespace

void WatchWindowMessage(HWND window, UINT message, void (*onMessage)(HWND)) {
    if (!window || !message || !onMessage) return;
    if (!watchedWindow) {
        const LONG_PTR previous = SetProcedure(window, &WatchingProcedure);
        if (!previous) return;
        ownProcedure = reinterpret_cast<WNDPROC>(previous);
        watchedWindow = window;
    }
    if (window != watchedWindow) return;
    for (Watch& watch : watches) {
        if (!watch.onMessage) {
            watch = {message, onMessage};
            return;
        }
    }
}

}  // namespace modI
