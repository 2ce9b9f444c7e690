// The program's taskbar button as a second view of the download's progress: filled while it
// runs, paused while a broken download waits to be resumed, red after a failure, plain
// otherwise. The system's button (ITaskbarList3) is used once the shell has announced it to
// the window; the tests put a recorder in its place.
#pragma once

#include <windows.h>

namespace modI {

enum class TaskbarState { None, Normal, Paused, Error };

// Where the taskbar's calls go.
class TaskbarButton {
public:
    virtual ~TaskbarButton() = default;
    virtual void SetState(HWND window, TaskbarState state) = 0;
    // `percent` of 100 done.
    virtual void SetValue(HWND window, int percent) = 0;
};

// The button calls go to: the system's, unless a test set another.
TaskbarButton& Taskbar();
// Puts `button` in the system's place; null puts the system's back.
void SetTaskbar(TaskbarButton* button);

// Shows `state`, and with it `percent` when that is 0 or more, on `window`'s button; a state
// or value the button already shows is not sent again.
void ShowOnTaskbar(HWND window, TaskbarState state, int percent = -1);

// Watches `window` for the shell's "TaskbarButtonCreated" message, after which the system's
// button may be drawn on; before it, and on a shell without a taskbar, nothing is drawn. The
// program runs elevated and the shell does not, so the window first lets that message through
// the system's message filter; without that Windows never delivers it.
void WatchTaskbarButton(HWND window);

// The system's ChangeWindowMessageFilterEx (Windows 7 and later), looked up when first needed;
// null on a system without it (Vista delivers the message to the window through the process's
// filter, which ChangeWindowMessageFilter opens instead). A test puts a recorder in its place.
using MessageFilterFunction = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT status);
extern MessageFilterFunction WindowMessageFilter;

}  // namespace modI
