// Messages of the main window that parts of the program outside its form answer: the shell's
// note that the taskbar button exists, a second start's request to come forward.
#pragma once

#include <windows.h>

namespace modI {

// Calls `onMessage` whenever `window` receives `message`, before the window's own procedure
// (which still gets the message). A few watches per process, on one window: a watch on
// another window than the first is not kept. The watches end with the window. `onMessage`
// must not throw: it runs inside the window's procedure.
void WatchWindowMessage(HWND window, UINT message, void (*onMessage)(HWND));

}  // namespace modI
