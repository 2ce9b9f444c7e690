// Owners of Windows handles: one move-only template, one alias per kind of handle.
//
//   unique_pen pen(CreatePen(PS_SOLID, 1, colour));
//   SelectObjectScope selected(dc, pen.get());   // puts the previous pen back on exit
//   unique_event ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
//   LockScope locked(section);                   // a CriticalSection, left however the scope ends
//
// Closing never changes GetLastError(), so a failure can still be read after cleanup.
// A region handed to a window with SetWindowRgn belongs to the window from then on:
// call release() on its owner after the call succeeds.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace host {

template <typename Handle>
Handle NullHandle() {
    return Handle{};
}

template <typename Handle, auto Close, auto InvalidValue = &NullHandle<Handle>>
class unique_handle {
    static inline const Handle Invalid = InvalidValue();


public:
    unique_handle() = default;
    explicit unique_handle(Handle handle) : handle_(handle) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~unique_handle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }

    // Gives up ownership without closing.
    Handle release() { return std::exchange(handle_, Invalid); }

    void reset(Handle handle = Invalid) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Invalid) {
            const DWORD error = GetLastError();
            Close(old);
            SetLastError(error);
        }
    }

    // For APIs that return a handle through a pointer: closes the current one first.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = InvalidValue();
};

namespace close {
inline void Gdi(HGDIOBJ object) { DeleteObject(object); }
inline void Dc(HDC dc) { DeleteDC(dc); }
inline void Internet(HINTERNET handle) { InternetCloseHandle(handle); }
inline void File(HANDLE file) { CloseHandle(file); }
inline void Icon(HICON icon) { DestroyIcon(icon); }
inline void Local(void* memory) { LocalFree(memory); }
template <typename T>
void GdiOf(T object) {
    DeleteObject(object);
}
inline HANDLE InvalidFile() { return INVALID_HANDLE_VALUE; }
}  // namespace close

template <typename T>
using unique_gdi = unique_handle<T, &close::GdiOf<T>>;
using unique_pen = unique_gdi<HPEN>;
using unique_brush = unique_gdi<HBRUSH>;
using unique_font = unique_gdi<HFONT>;
using unique_region = unique_gdi<HRGN>;
using unique_bitmap = unique_gdi<HBITMAP>;
using unique_dc = unique_handle<HDC, close::Dc>;  // from CreateDC / CreateCompatibleDC
using unique_internet = unique_handle<HINTERNET, close::Internet>;
using unique_file = unique_handle<HANDLE, close::File, &close::InvalidFile>;
using unique_icon = unique_handle<HICON, close::Icon>;
// Kernel objects that are null when missing, closed with CloseHandle as files are.
using unique_event = unique_handle<HANDLE, close::File>;   // from CreateEvent
using unique_thread = unique_handle<HANDLE, close::File>;  // from CreateThread; closing does not end it
using unique_process = unique_handle<HANDLE, close::File>;  // from CreateProcess; closing does not end it
using unique_mutex = unique_handle<HANDLE, close::File>;    // from CreateMutex
// Memory the system allocated for the caller (FORMAT_MESSAGE_ALLOCATE_BUFFER), freed with LocalFree.
template <typename T>
using unique_local = unique_handle<T*, close::Local>;

// A critical section, initialised with its owner and deleted with it. Threads find it by its
// address, so it neither copies nor moves: it stays inside the state it guards.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    CRITICAL_SECTION* get() { return &section_; }

private:
    CRITICAL_SECTION section_;
};

// Holds a critical section for a scope, and lets go of it however the scope ends.
class LockScope {
public:
    explicit LockScope(CriticalSection& section) : section_(section) { EnterCriticalSection(section_.get()); }
    ~LockScope() { LeaveCriticalSection(section_.get()); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CriticalSection& section_;
};

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back on exit.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC dc() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

}  // namespace host
