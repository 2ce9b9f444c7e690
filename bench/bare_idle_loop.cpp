// A bare Win32 window idling in the setup program's wait loop: sleep until a message comes,
// then process every pending message, until the window is destroyed. What the launcher
// measures of its processor time is the floor of that loop on this system.
#include <windows.h>

namespace {

bool closed = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) closed = true;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "BareIdleLoop";
    if (!RegisterClassA(&windowClass)) return 1;
    // The setup program's window size: 497 x 395 pixels.
    if (!CreateWindowExA(0, windowClass.lpszClassName, "Bare idle loop", WS_POPUP | WS_VISIBLE, 100, 100, 497,
                         395, nullptr, nullptr, instance, nullptr)) {
        return 1;
    }
    while (!closed) {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
