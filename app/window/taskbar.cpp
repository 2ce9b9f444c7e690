#include "app/window/taskbar.h"

#include <objbase.h>
#include <shobjidl.h>

#include "app/window/window_watch.h"
#include "host/system_library.h"

namespace modI {

namespace {

// Defined here: MinGW's import libraries give some interface ids as import thunks.
constexpr GUID kTaskbarListClass = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
constexpr GUID kTaskbarList3Interface = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};

TBPFLAG FlagOf(TaskbarState state) {
    switch (state) {
        case TaskbarState::Normal: return TBPF_NORMAL;
        case TaskbarState::Paused: return TBPF_PAUSED;
        case TaskbarState::Error: return TBPF_ERROR;
        case TaskbarState::None: break;
    }
    return TBPF_NOPROGRESS;
}

// The shell's own button, through ITaskbarList3, made when first needed after the shell has
// announced the window's button. The COM library is loaded then too, not at start-up.
class SystemTaskbar final : public TaskbarButton {
public:
    void SetState(HWND window, TaskbarState state) override {
        if (ITaskbarList3* list = ListFor(window)) list->SetProgressState(window, FlagOf(state));
    }
    void SetValue(HWND window, int percent) override {
        if (ITaskbarList3* list = ListFor(window)) list->SetProgressValue(window, static_cast<ULONGLONG>(percent), 100);
    }
    void Announced(HWND window) { announced_ = window; }

private:
    ITaskbarList3* ListFor(HWND window) {
        if (window != announced_ || !window) return nullptr;
        if (!tried_) {
            tried_ = true;
            list_ = Create();
        }
        return list_;
    }
    static ITaskbarList3* Create() {
        const auto initialize = host::SystemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx");
        const auto create = host::SystemFunction<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
        if (!initialize || !create) return nullptr;
        // The window's thread is a single-threaded apartment; already one (S_FALSE) is as good.
        const HRESULT apartment = initialize(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(apartment) && apartment != RPC_E_CHANGED_MODE) return nullptr;
        void* list = nullptr;
        if (FAILED(create(kTaskbarListClass, nullptr, CLSCTX_INPROC_SERVER, kTaskbarList3Interface, &list)) || !list) {
            return nullptr;
        }
        auto* taskbar = static_cast<ITaskbarList3*>(list);
        if (FAILED(taskbar->HrInit())) {
            taskbar->Release();
            return nullptr;
        }
        return taskbar;  // kept for the life of the process
    }
    HWND announced_ = nullptr;
    bool tried_ = false;
    ITaskbarList3* list_ = nullptr;
};

SystemTaskbar& System() {
    static SystemTaskbar system;
    return system;
}

TaskbarButton* replacement = nullptr;

// What the button shows, so that a state or value is sent once.
struct Shown {
    HWND window = nullptr;
    TaskbarState state = TaskbarState::None;
    int percent = -1;
} shown;

// Lets `message` through to `window` from processes of lower integrity (the shell).
void AllowFromTheShell(HWND window, UINT message) {
    if (!WindowMessageFilter) {
        WindowMessageFilter = host::SystemFunction<MessageFilterFunction>("user32.dll", "ChangeWindowMessageFilterEx");
    }
    if (WindowMessageFilter) {
        WindowMessageFilter(window, message, MSGFLT_ALLOW, nullptr);
        return;
    }
    // Vista: only the process-wide filter exists.
    using ProcessFilter = BOOL(WINAPI*)(UINT message, DWORD action);
    if (const auto process = host::SystemFunction<ProcessFilter>("user32.dll", "ChangeWindowMessageFilter")) {
        process(message, MSGFLT_ADD);
    }
}

void ButtonAnnounced(HWND window) { System().Announced(window); }
void WindowGone(HWND) { System().Announced(nullptr); }

}  // namespace

MessageFilterFunction WindowMessageFilter = nullptr;

TaskbarButton& Taskbar() { return replacement ? *replacement : System(); }

void SetTaskbar(TaskbarButton* button) {
    replacement = button;
    shown = {};
}

void ShowOnTaskbar(HWND window, TaskbarState state, int percent) {
    if (!window) return;
    if (window != shown.window) shown = {window, TaskbarState::None, -1};
    if (state != shown.state) {
        Taskbar().SetState(window, state);
        shown.state = state;
    }
    if (percent >= 0 && percent != shown.percent) {
        Taskbar().SetValue(window, percent);
        shown.percent = percent;
    }
    if (state == TaskbarState::None) shown.percent = -1;  // the next download's first value is shown
}

void WatchTaskbarButton(HWND window) {
    const UINT announced = RegisterWindowMessageA("TaskbarButtonCreated");
    if (announced == 0) return;  // no name could be registered: no shell message to wait for
    AllowFromTheShell(window, announced);
    WatchWindowMessage(window, announced, &ButtonAnnounced);
    WatchWindowMessage(window, WM_NCDESTROY, &WindowGone);
}

}  // namespace modI
