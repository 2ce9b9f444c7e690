// clsTrackMouse: tells its owner when the mouse moves over, rests on and leaves one window,
// by subclassing that window (modTM::TrackWindowProc) and arming TrackMouseEvent.
//
// The tracker finds itself again through the window property "nv9182769", which holds its
// address; the property is set before the procedure is replaced and removed after it is put
// back. The tracked object is held without being owned: its owner (the caption bar) owns
// the tracker and ends tracking before it goes away. So that no window keeps a procedure
// that leads nowhere:
//   - one tracker subclasses one window: tracking another first lets the old one go;
//   - a window whose property names another tracker is let go by that tracker first;
//   - StopTracking acts only on the window this tracker subclassed;
//   - a tracked window that is destroyed is let go on its WM_NCDESTROY;
//   - destroying the tracker lets its window go.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/event.h"

// What a tracker tracks: something with a window.
class TrackedObject {
public:
    virtual HWND hwnd() const = 0;

protected:
    ~TrackedObject() = default;
};

class clsTrackMouse {
public:
    clsTrackMouse() = default;
    clsTrackMouse(const clsTrackMouse&) = delete;
    clsTrackMouse& operator=(const clsTrackMouse&) = delete;
    ~clsTrackMouse();

    // Called by modTM::TrackWindowProc only: raises the events, then passes the message on,
    // unchanged, to the procedure it replaced; gives that procedure's result.
    LRESULT MessageReceived(HWND hwnd, UINT wMsg, WPARAM wParam, LPARAM lParam);
    // Both always give false.
    bool StartTracking(HWND hWindow);
    bool StopTracking(HWND hWindow);

    TrackedObject* TrackObject() const { return trackObject_; }
    // An object starts tracking its window; nullptr stops tracking the one held.
    void SetTrackObject(TrackedObject* Obj);

    // The procedure StartTracking replaced; null while no window is subclassed.
    WNDPROC OldWindowProc() const { return oldWindowProc_; }

    // Cursor position in screen coordinates, on every WM_MOUSEMOVE and WM_MOUSEHOVER.
    host::Event<std::int32_t, std::int32_t> MouseOver;
    // On WM_MOUSELEAVE.
    host::Event<> MouseOut;

private:
    TrackedObject* trackObject_ = nullptr;
    HWND subclassed_ = nullptr;
    WNDPROC oldWindowProc_ = nullptr;
    TRACKMOUSEEVENT request_{};
    POINT cursor_{};
};

namespace modTM {

inline constexpr const char* kTrackerProperty = "nv9182769";

// The window procedure of every tracked window.
LRESULT CALLBACK TrackWindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// The tracker the window's property names, or nullptr.
clsTrackMouse* TrackerFromWindow(HWND hwnd);

}  // namespace modTM
