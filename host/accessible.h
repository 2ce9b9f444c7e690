// What the host tells assistive technology (Microsoft Active Accessibility): one accessible
// object class for every control, answering WM_GETOBJECT for the control's client area, and
// the WinEvents that say what changed.
//
// The object asks its control (found again from the window at every call, so an object a
// client still holds after the window is gone only answers "not connected") for role, name,
// state, value, default action, shortcut and child elements through the virtual functions
// of host::Control. oleacc is loaded from the system folder when the first request comes.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class Control;

// A part of a control that has no window of its own but is an element for assistive
// technology (a caption bar's boxes). Child ids count from 1 in the order given.
struct AccessibleElement {
    long role = 0;
    std::wstring name;
    long state = 0;
    RECT screen{};  // where it is on the screen
    std::wstring defaultAction;
    std::function<void()> doDefaultAction;  // what a click on it does
};

// The answer to WM_GETOBJECT for `control`'s window: for OBJID_CLIENT an LRESULT made by
// LresultFromObject; nullopt for other objects, or when oleacc cannot be had, so that the
// system's own object answers.
std::optional<LRESULT> AccessibleObjectAnswer(Control& control, WPARAM flags, LPARAM objectId);

// Tells WinEvent listeners that something of the control's client object changed
// (EVENT_OBJECT_FOCUS, _STATECHANGE, _NAMECHANGE, _VALUECHANGE); `child` names an element.
// A constituent announces nothing: its owner speaks for it.
void AnnounceChange(const Control& control, DWORD event, LONG child = CHILDID_SELF);

// The message a control's window receives when a client asked for its default action: the
// action runs from the window's own queue, after the client's call has returned (an install
// or a close must not run inside another process's call). wParam is the child id.
UINT AccessibleActionMessage();

// A caption as a screen reader says it: without the "&" of its access key ("&&" is one "&").
std::wstring SpokenCaption(std::wstring_view caption);
// The keyboard shortcut a caption's access key gives, "Alt+X"; empty without one.
std::wstring AccessKeyShortcut(std::wstring_view caption);

}  // namespace host
