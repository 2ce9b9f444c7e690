// One C++ object per window. The object is bound to its HWND at WM_NCCREATE (GWLP_USERDATA,
// from lpCreateParams) and unbound at WM_NCDESTROY; a static window procedure forwards every
// message to the virtual member HandleMessage. One Paint(HDC) serves WM_PAINT and
// WM_PRINTCLIENT.
//
// Besides the host's own window classes, the standard EDIT and BUTTON classes are
// superclassed ("OrbHost.EDIT", "OrbHost.BUTTON"), so text boxes and option buttons are
// window objects too; their messages go on to the system procedure.
//
// A parent hands WM_COMMAND and WM_CTLCOLOR* of a child window to the child's object
// (ReflectedMessage), so a control handles its own notifications. Timers are kept per window:
// StartTimer(id, ms, callback) calls back on WM_TIMER.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>

namespace host {

class Form;

class Window {
public:
    enum class Kind {
        Plain,   // the host's class; double clicks
        OwnDc,   // the same with its own device context (CS_OWNDC): a lasting drawing state
        Edit,    // superclass of EDIT
        Button,  // superclass of BUTTON
    };

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists.
    virtual ~Window();

    HWND hWnd() const { return hwnd_; }
    static Window* FromHandle(HWND window);

    // Calls back every `milliseconds` on this window's thread while events are processed.
    // The same id again changes the interval. False when the window does not exist.
    bool StartTimer(UINT_PTR id, UINT milliseconds, std::function<void()> callback);
    void StopTimer(UINT_PTR id);

    // The form whose handler is running while this window handles a message; a form is not
    // destroyed under a running handler of its own or of one of its controls.
    virtual Form* HostForm() const { return nullptr; }

protected:
    struct CreateArgs {
        Kind kind = Kind::Plain;
        DWORD exStyle = 0;
        DWORD style = 0;
        const char* text = "";
        int x = 0, y = 0, width = 0, height = 0;
        HWND parent = nullptr;
        UINT_PTR id = 0;

        // A window at `pixels` (right and bottom outside it) in `parent`.
        static CreateArgs At(const RECT& pixels, HWND parent = nullptr) {
            CreateArgs args;
            args.x = pixels.left;
            args.y = pixels.top;
            args.width = pixels.right - pixels.left;
            args.height = pixels.bottom - pixels.top;
            args.parent = parent;
            return args;
        }
    };
    bool CreateWindowObject(const CreateArgs& args);
    void DestroyWindowObject();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What the window class does with a message: the system procedure for superclasses,
    // DefWindowProc otherwise.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void Paint(HDC) {}
    // True when Paint covers the whole client area, so WM_ERASEBKGND does nothing.
    virtual bool PaintsBackground() const { return false; }
    // A notification the parent received from this window (WM_COMMAND, WM_CTLCOLOR*).
    virtual std::optional<LRESULT> ReflectedMessage(UINT, WPARAM, LPARAM) { return {}; }
    // After WM_NCDESTROY: the window is gone, hWnd() is null.
    virtual void WindowDestroyed() {}
    // The keyboard focus enters this window or one inside it (entering) from `other`, or
    // leaves it for `other`. Told to every host window from the focused one up to the top.
    virtual void DescendantFocus(bool /*entering*/, HWND /*other*/) {}
    // Messages of assistive technology (WM_GETOBJECT, the focus it is told of, a requested
    // default action), seen before the window's own handler; an answer ends the message.
    virtual std::optional<LRESULT> AccessibilityMessage(UINT, WPARAM, LPARAM) { return {}; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void TellFocus(HWND focused, bool entering, HWND other);
    std::optional<LRESULT> ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;
    std::map<UINT_PTR, std::function<void()>> timers_;
};

// Marks a handler of a form as running for the scope's life (see Form::Unload). Window
// procedures of the host open one; a window procedure that runs handlers outside the host's
// own (a subclassing procedure) opens one for the window it serves.
class HandlerScope {
public:
    explicit HandlerScope(Form* form);
    explicit HandlerScope(HWND window);
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
    ~HandlerScope();

private:
    Form* form_;
};

}  // namespace host
