// Helpers of the Windows tests: let messages run for a while or until sent input is handled,
// read a pixel off the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "host/app.h"

namespace wintest {

// Processes events for about `milliseconds`, sleeping 1 ms between rounds.
inline void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        host::App::DoEvents();
        Sleep(1);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

namespace detail {
inline bool markerTaken = false;
// Sees the marker taken and turns it into WM_NULL, so that no control hears it.
inline LRESULT CALLBACK WatchForMarker(int code, WPARAM removed, LPARAM lParam) {
    MSG* m = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && m->wParam == VK_F24 &&
        (m->message == WM_KEYDOWN || m->message == WM_KEYUP)) {
        if (m->message == WM_KEYUP) markerTaken = true;
        m->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
}  // namespace detail

// Sends `inputs` (SendInput) and processes events until the thread has taken every one of
// them from its queue and dispatched it, and what those posted in turn: a marker key (F24, which
// the hook below hides from the controls) follows the inputs through the same input stream, and a
// message hook of this thread sees the marker's release taken. Fails the test when the
// marker has not come after 10 s.
inline void SendInputAndPump(std::vector<INPUT> inputs) {
    bool& markerTaken = detail::markerTaken;
    for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
        INPUT marker{};
        marker.type = INPUT_KEYBOARD;
        marker.ki.wVk = VK_F24;
        marker.ki.dwFlags = up;
        inputs.push_back(marker);
    }
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, detail::WatchForMarker, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr) << "no message hook: " << GetLastError();
    markerTaken = false;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    const DWORD start = GetTickCount();
    while (sent == inputs.size() && !markerTaken && GetTickCount() - start < 10000) {
        host::App::DoEvents();
        if (!markerTaken) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    UnhookWindowsHookEx(hook);
    host::App::DoEvents();  // what the last keys posted
    EXPECT_EQ(sent, inputs.size()) << "SendInput: " << GetLastError();
    EXPECT_TRUE(markerTaken) << "the keys sent were not all taken from the queue within 10 s";
}

// A pixel of a window as the screen shows it.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

}  // namespace wintest
