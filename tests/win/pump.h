// Helpers of the Windows tests: let messages run for a while, read a pixel off the screen.
#pragma once

#include <windows.h>

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

// A pixel of a window as the screen shows it.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

}  // namespace wintest
