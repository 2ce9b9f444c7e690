#include "support/cls_track_mouse.h"

#include <utility>

#include "host/boundary.h"
#include "host/window.h"

clsTrackMouse::~clsTrackMouse() {
    SetTrackObject(nullptr);
    if (subclassed_) StopTracking(subclassed_);
}

bool clsTrackMouse::StartTracking(HWND hWindow) {
    if (subclassed_ && subclassed_ != hWindow) StopTracking(subclassed_);
    if (GetPropA(hWindow, modTM::kTrackerProperty)) {
        clsTrackMouse* holder = modTM::TrackerFromWindow(hWindow);
        if (holder) holder->StopTracking(hWindow);
    }
    if (!SetPropA(hWindow, modTM::kTrackerProperty, this)) return false;
    subclassed_ = hWindow;
    oldWindowProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&modTM::TrackWindowProc)));
    request_.cbSize = sizeof request_;
    request_.dwFlags = TME_HOVER | TME_LEAVE;
    request_.hwndTrack = hWindow;
    request_.dwHoverTime = 1;
    TrackMouseEvent(&request_);
    return false;
}

bool clsTrackMouse::StopTracking(HWND hWindow) {
    if (!IsWindow(hWindow)) return false;
    if (!oldWindowProc_ || hWindow != subclassed_) return false;
    SetWindowLongPtrA(hWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWindowProc_));
    RemovePropA(hWindow, modTM::kTrackerProperty);
    oldWindowProc_ = nullptr;
    subclassed_ = nullptr;
    return false;
}

void clsTrackMouse::SetTrackObject(TrackedObject* Obj) {
    if (trackObject_) StopTracking(trackObject_->hwnd());
    trackObject_ = Obj;
    if (trackObject_) StartTracking(trackObject_->hwnd());
}

LRESULT clsTrackMouse::MessageReceived(HWND hwnd, UINT wMsg, WPARAM wParam, LPARAM lParam) {
    if (wMsg == WM_NCDESTROY) {
        // The window goes: give it back its own procedure and drop the property first.
        const WNDPROC own = oldWindowProc_;
        StopTracking(hwnd);
        return own ? CallWindowProcA(own, hwnd, wMsg, wParam, lParam)
                   : DefWindowProcA(hwnd, wMsg, wParam, lParam);
    }
    if (wMsg == WM_MOUSEMOVE) StartTracking(hwnd);
    // Read before the events: a handler may stop the tracking or even destroy the tracker.
    const WNDPROC next = oldWindowProc_;
    switch (wMsg) {
    case WM_MOUSEMOVE:
    case WM_MOUSEHOVER:
        GetCursorPos(&cursor_);
        MouseOver(cursor_.x, cursor_.y);
        break;
    case WM_MOUSELEAVE:
        MouseOut();
        break;
    }
    // The message goes on with its own window: the tracker may track another window than
    // its object's.
    return next ? CallWindowProcA(next, hwnd, wMsg, wParam, lParam)
                : DefWindowProcA(hwnd, wMsg, wParam, lParam);
}

namespace modTM {

namespace {

// To the procedure the window's tracker replaced, if it still has one; else the default.
LRESULT PassOn(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const clsTrackMouse* tracker = TrackerFromWindow(hwnd);
    const WNDPROC next = tracker ? tracker->OldWindowProc() : nullptr;
    return next ? CallWindowProcA(next, hwnd, uMsg, wParam, lParam) : DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK TrackWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    clsTrackMouse* tracker = TrackerFromWindow(hwnd);
    if (!tracker) return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    // The owner's handlers run here: its form is not destroyed under them.
    host::HandlerScope running(hwnd);
    // A handler that throws: the message still goes on to the window's own procedure.
    return host::CatchAtBoundary([&] { return tracker->MessageReceived(hwnd, uMsg, wParam, lParam); },
                                 [&] { return PassOn(hwnd, uMsg, wParam, lParam); });
}

clsTrackMouse* TrackerFromWindow(HWND hwnd) {
    return static_cast<clsTrackMouse*>(GetPropA(hwnd, kTrackerProperty));
}

}  // namespace modTM
