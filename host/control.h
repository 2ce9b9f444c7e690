// What forms, picture boxes and user controls have in common as holders of controls
// (Container), and the base of every control placed in one (Control).
//
// Placement is on the container's side and in the container's units: twips on a form, the
// container's scale (twips or pixels) inside a picture box or user control. Controls learn
// events through std::function members named after the event (OnClick, OnMouseDown...);
// arguments a handler may change are references.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/accessible.h"
#include "host/property_bag.h"
#include "host/window.h"

namespace host {

class Control;
class Form;
using ControlList = std::vector<Control*>;

class Container {
public:
    virtual ~Container() = default;
    virtual HWND hWnd() const = 0;
    // The device context drawing goes to: the persistent image while AutoRedraw is on.
    virtual HDC hDC() = 0;
    // Container units per pixel: the twips per pixel, or 1 in pixel scale.
    virtual double UnitsPerPixelX() const = 0;
    virtual double UnitsPerPixelY() const = 0;
    virtual Form* HostForm() const = 0;
    // The controls of the form or user control that owns this container.
    virtual ControlList OwnerControls() const = 0;
    // Repaints the container now.
    virtual void Refresh() = 0;
    // Right to left: a child's Left counts from the container's right edge to the child's.
    virtual bool MirrorsChildren() const { return false; }
};

// Mouse button (1 left, 2 right, 4 middle), shift state (1 shift, 2 ctrl, 4 alt), position in
// the control's own scale.
using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

// The mouse events of a standard control.
struct MouseEvents {
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;
};

// Button, shift and pixel position of a mouse message; nullopt when it is not one.
struct MouseMessage {
    enum class What { Down, Move, Up, DoubleClick };
    What what;
    int button;
    int shift;
    int x, y;  // client pixels
};
std::optional<MouseMessage> DecodeMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
int ShiftState();  // of the keyboard now: 1 shift, 2 ctrl, 4 alt

class Control : public Window {
public:
    explicit Control(std::string name, std::optional<int> index = {});

    const std::string& Name() const { return name_; }
    // Present only for a member of a control array.
    std::optional<int> Index() const { return index_; }
    virtual std::string TypeName() const = 0;

    Container* Parent() const { return parent_; }
    Form* HostForm() const override { return form_; }

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void Move(int left, int top, int width, int height);

    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    virtual bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Makes the control's window in `parent`; `form` is the form it belongs to. Called by
    // whoever adds the control (a form or a user control).
    bool Attach(Container& parent, Form* form);

    // Hooks for the owner of the control: it is about to be destroyed; its form has been
    // shown or hidden; Alt with a character was pressed on its form (true when the control took it).
    virtual void BeforeDestroy() {}

    // Design-time values of a form description: Left, Top, Width, Height (container units),
    // Visible, TabIndex and TabStop here, each control's own keys in the overrides. Reading throws
    // PropertyError for a value that does not fit; what was read before stays.
    virtual void ReadDesignProperties(const PropertyBag& bag);
    virtual void WriteDesignProperties(PropertyBag& bag) const;
    virtual void ContainerVisibilityChanged() {}
    // High contrast or the system's colours changed (host/high_contrast.h): draw again.
    virtual void SystemColoursChanged() {}
    virtual bool AccessKey(int /*character*/) { return false; }

    // ---- keyboard focus and tab order ----
    // Whether this kind of control can hold the keyboard focus at all (a text box, an option
    // button, a user control that takes it itself or through a constituent).
    virtual bool CanTakeFocus() const { return false; }
    // The window that takes the focus for the control: its own, or a constituent's.
    virtual HWND FocusWindow() const { return hWnd(); }
    // True when `focus` is the control's window or a window inside it.
    bool HoldsFocus(HWND focus) const;
    // Visible and enabled, and so is every control it sits in: a control a user can reach.
    // The form itself need not be shown yet.
    bool Reachable() const;
    // Its place in the form's tab order; a control without one follows those with one, in
    // the order the controls were added.
    std::optional<int> TabIndex() const { return tabIndex_; }
    void SetTabIndex(std::optional<int> index) { tabIndex_ = index; }
    // Whether Tab stops at the control (when it can take the focus at all).
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool stop) { tabStop_ = stop; }
    // Tab and Shift+Tab may give it the focus now.
    bool IsTabStopNow() const { return CanTakeFocus() && tabStop_ && Reachable(); }

    // ---- what assistive technology is told (host/accessible.h) ----
    // Role (ROLE_SYSTEM_*), name, value, default action and keyboard shortcut of the control's
    // accessible object. The defaults give what the control's owner set below, or a plain
    // client area. The state is the control's own bits (checked); the host adds focus,
    // availability and visibility.
    virtual long AccessibleRole() const;
    virtual std::wstring AccessibleName() const { return accessibleName_; }
    virtual std::wstring AccessibleValue() const { return accessibleValue_; }
    virtual long AccessibleState() const { return 0; }
    virtual std::wstring AccessibleDefaultAction() const { return {}; }
    virtual std::wstring AccessibleShortcut() const { return {}; }
    // Does what the default action says, as a click would (an element's action is its own).
    virtual void DoAccessibleDefaultAction() {}
    virtual std::vector<AccessibleElement> AccessibleElements() const { return {}; }
    // What the window's owner says of a control that cannot tell itself (the label beside a
    // text box gives its name, a picture box drawn as a progress bar its role and value).
    // A new value is announced.
    void SetAccessibleName(std::wstring name);
    void SetAccessibleRole(long role) { accessibleRole_ = role; }
    void SetAccessibleValue(std::wstring value);
    // A constituent that is part of another control for assistive technology (the box of a
    // check box, the caption of a button) answers with that control's object.
    void SetAccessibleOwner(Control* owner) { accessibleOwner_ = owner; }
    Control* AccessibleOwner() const { return accessibleOwner_; }
    // Tells listeners that the control's state (a check, availability) changed.
    void AnnounceStateChange() const;

protected:
    // Creates the window with the given parent pixel rectangle; a windowless control
    // (a timer) creates nothing and gives true.
    virtual bool CreateControlWindow(HWND parent, const RECT& pixels) = 0;
    // The window style bits every child control gets.
    DWORD ChildStyle() const;

    // Raises the mouse events of `events` for a mouse message; true when it was one. Position
    // is converted with the units per pixel given. A press captures the mouse; a click is a
    // release inside the control after a press in it.
    bool DispatchMouse(MouseEvents& events, UINT message, WPARAM wParam, LPARAM lParam,
                       double unitsPerPixelX, double unitsPerPixelY);

    std::optional<LRESULT> AccessibilityMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    RECT PixelRect() const;
    void SetPixelRect(const RECT& rect);
    int MirroredLeft(int left, int width) const;
    double UnitsX() const;
    double UnitsY() const;

    std::string name_;
    std::optional<int> index_;
    Container* parent_ = nullptr;
    Form* form_ = nullptr;
    RECT pixels_{};  // placement while there is no window
    bool visible_ = true;
    bool enabled_ = true;
    bool pressed_ = false;
    std::optional<int> tabIndex_;
    bool tabStop_ = true;
    std::optional<long> accessibleRole_;
    std::wstring accessibleName_;
    std::wstring accessibleValue_;
    Control* accessibleOwner_ = nullptr;
};

}  // namespace host
