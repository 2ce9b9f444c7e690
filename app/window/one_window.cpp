#include "app/window/one_window.h"

#include "app/window/window_watch.h"
#include "host/handles.h"

namespace modMain {

namespace {

// Named in the session's own namespace: another user's session runs a program of its own.
constexpr const wchar_t* kSessionMutex = L"Local\\OrbVorexTrialWebSetup.OneWindow";
// The host's class of top-level windows (host/window.cpp): the running program's main window.
constexpr const char* kWindowClass = "OrbHost.Surface";
// How long a second start waits at most for the first one's window to show: the first may
// have been started a moment before and still be setting up.
constexpr DWORD kWindowShowsWithinMs = 5000;
constexpr DWORD kLookEveryMs = 50;

UINT ComeForwardMessage() { return RegisterWindowMessageA("OrbVorexTrialWebSetup.ComeForward"); }

// The running program's visible main window, if it shows yet.
HWND RunningWindow() {
    for (HWND window = FindWindowExA(nullptr, nullptr, kWindowClass, nullptr); window;
         window = FindWindowExA(nullptr, window, kWindowClass, nullptr)) {
        if (window && IsWindowVisible(window) && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
            return window;
        }
    }
    return nullptr;
}

// The window, or the message box it shows (its last active popup), comes to the front.
void BringForward(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
}

// Asks the running window to come forward, and lends it the right to: this start was the
// user's last action. It is brought forward from here as well, where the system allows that.
void AskForward(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    BringForward(window);
    PostMessageA(window, ComeForwardMessage(), 0, 0);
}

}  // namespace

bool FirstInSession() {
    // Kept open for the life of the process: the name exists as long as the first runs.
    host::unique_mutex mutex(CreateMutexW(nullptr, FALSE, kSessionMutex));
    if (!mutex) return true;  // nothing to tell by: run as before
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        mutex.release();
        return true;
    }
    mutex.reset();
    const DWORD start = GetTickCount();
    do {
        if (const HWND window = RunningWindow()) {
            AskForward(window);
            break;
        }
        Sleep(kLookEveryMs);
    } while (GetTickCount() - start < kWindowShowsWithinMs);
    return false;
}

void AnswerSecondStarts(HWND window) { modI::WatchWindowMessage(window, ComeForwardMessage(), &BringForward); }

}  // namespace modMain
