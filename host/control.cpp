#include "host/control.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/app.h"

namespace host {

std::optional<MouseMessage> DecodeMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MouseMessage m{};
    const auto is = [&m](MouseMessage::What what, int button) {
        m.what = what;
        m.button = button;
    };
    switch (message) {
    case WM_LBUTTONDOWN: is(MouseMessage::What::Down, 1); break;
    case WM_RBUTTONDOWN: is(MouseMessage::What::Down, 2); break;
    case WM_MBUTTONDOWN: is(MouseMessage::What::Down, 4); break;
    case WM_LBUTTONUP: is(MouseMessage::What::Up, 1); break;
    case WM_RBUTTONUP: is(MouseMessage::What::Up, 2); break;
    case WM_MBUTTONUP: is(MouseMessage::What::Up, 4); break;
    case WM_LBUTTONDBLCLK: is(MouseMessage::What::DoubleClick, 1); break;
    case WM_RBUTTONDBLCLK: is(MouseMessage::What::DoubleClick, 2); break;
    case WM_MBUTTONDBLCLK: is(MouseMessage::What::DoubleClick, 4); break;
    case WM_MOUSEMOVE:
        m.what = MouseMessage::What::Move;
        m.button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                   ((wParam & MK_MBUTTON) ? 4 : 0);
        break;
    default: return {};
    }
    m.shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
              (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    m.x = GET_X_LPARAM(lParam);
    m.y = GET_Y_LPARAM(lParam);
    return m;
}

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

Control::Control(std::string name, std::optional<int> index)
    : name_(std::move(name)), index_(index) {}

double Control::UnitsX() const {
    return parent_ ? parent_->UnitsPerPixelX() : App::TwipsPerPixelX();
}
double Control::UnitsY() const {
    return parent_ ? parent_->UnitsPerPixelY() : App::TwipsPerPixelY();
}

RECT Control::PixelRect() const {
    if (!hWnd()) return pixels_;
    RECT r{};
    GetWindowRect(hWnd(), &r);
    MapWindowPoints(nullptr, GetParent(hWnd()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Control::SetPixelRect(const RECT& r) {
    pixels_ = r;
    if (hWnd()) {
        SetWindowPos(hWnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// In a container that mirrors its children, the window's left edge in pixels for a child
// whose Left (in pixels) is `left`, and back: the same sum, both ways.
int Control::MirroredLeft(int left, int width) const {
    if (!parent_ || !parent_->MirrorsChildren() || !parent_->hWnd()) return left;
    RECT client{};
    GetClientRect(parent_->hWnd(), &client);
    return client.right - left - width;
}

int Control::Left() const {
    const RECT r = PixelRect();
    return static_cast<int>(std::lround(MirroredLeft(r.left, r.right - r.left) * UnitsX()));
}
int Control::Top() const { return static_cast<int>(std::lround(PixelRect().top * UnitsY())); }
int Control::Width() const {
    const RECT r = PixelRect();
    return static_cast<int>(std::lround((r.right - r.left) * UnitsX()));
}
int Control::Height() const {
    const RECT r = PixelRect();
    return static_cast<int>(std::lround((r.bottom - r.top) * UnitsY()));
}

void Control::Move(int left, int top, int width, int height) {
    const int x = static_cast<int>(std::lround(left / UnitsX()));
    const int y = static_cast<int>(std::lround(top / UnitsY()));
    const int w = static_cast<int>(std::lround(std::max(width, 0) / UnitsX()));
    const int h = static_cast<int>(std::lround(std::max(height, 0) / UnitsY()));
    const int windowLeft = MirroredLeft(x, w);
    SetPixelRect({windowLeft, y, windowLeft + w, y + h});
}

void Control::SetLeft(int left) { Move(left, Top(), Width(), Height()); }
void Control::SetTop(int top) { Move(Left(), top, Width(), Height()); }
void Control::SetWidth(int width) { Move(Left(), Top(), width, Height()); }
void Control::SetHeight(int height) { Move(Left(), Top(), Width(), height); }

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (hWnd()) ShowWindow(hWnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (hWnd()) EnableWindow(hWnd(), enabled);
}

DWORD Control::ChildStyle() const {
    return WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
}

bool Control::Attach(Container& parent, Form* form) {
    parent_ = &parent;
    form_ = form;
    return CreateControlWindow(parent.hWnd(), pixels_);
}

void Control::ReadDesignProperties(const PropertyBag& bag) {
    Move(bag.ReadProperty<I4>("Left", Left()), bag.ReadProperty<I4>("Top", Top()),
         bag.ReadProperty<I4>("Width", Width()), bag.ReadProperty<I4>("Height", Height()));
    SetVisible(bag.ReadProperty<bool>("Visible", Visible()));
    if (bag.Contains("TabIndex")) SetTabIndex(bag.ReadProperty<I2>("TabIndex", 0));
    SetTabStop(bag.ReadProperty<bool>("TabStop", TabStop()));
}

void Control::WriteDesignProperties(PropertyBag& bag) const {
    bag.WriteProperty<I4>("Left", Left(), 0);
    bag.WriteProperty<I4>("Top", Top(), 0);
    bag.WriteProperty<I4>("Width", Width(), 0);
    bag.WriteProperty<I4>("Height", Height(), 0);
    bag.WriteProperty<bool>("Visible", Visible(), true);
    // Only a given TabIndex is written, so that a control without one keeps its place after
    // a save and a load.
    if (tabIndex_) bag.Set("TabIndex", static_cast<I2>(*tabIndex_));
    bag.WriteProperty<bool>("TabStop", TabStop(), true);
}

bool Control::HoldsFocus(HWND focus) const {
    return focus && hWnd() && (focus == hWnd() || IsChild(hWnd(), focus));
}

bool Control::Reachable() const {
    for (const Control* c = this; c; c = dynamic_cast<const Control*>(c->Parent())) {
        if (!c->Visible() || !c->Enabled()) return false;
    }
    return true;
}

bool Control::DispatchMouse(MouseEvents& events, UINT message, WPARAM wParam, LPARAM lParam,
                            double unitsPerPixelX, double unitsPerPixelY) {
    const auto m = DecodeMouseMessage(message, wParam, lParam);
    if (!m) return false;
    const double x = m->x * unitsPerPixelX;
    const double y = m->y * unitsPerPixelY;
    switch (m->what) {
    case MouseMessage::What::Down:
        pressed_ = true;
        SetCapture(hWnd());
        if (events.OnMouseDown) events.OnMouseDown(m->button, m->shift, x, y);
        break;
    case MouseMessage::What::Move:
        if (events.OnMouseMove) events.OnMouseMove(m->button, m->shift, x, y);
        break;
    case MouseMessage::What::Up: {
        const bool wasPressed = std::exchange(pressed_, false);
        if (GetCapture() == hWnd() && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
            ReleaseCapture();
        }
        if (events.OnMouseUp) events.OnMouseUp(m->button, m->shift, x, y);
        RECT client{};
        GetClientRect(hWnd(), &client);
        const POINT at{m->x, m->y};
        if (wasPressed && m->button == 1 && PtInRect(&client, at) && events.OnClick) {
            events.OnClick();
        }
        break;
    }
    case MouseMessage::What::DoubleClick:
        if (events.OnDblClick) events.OnDblClick();
        break;
    }
    return true;
}

// ---- assistive technology

long Control::AccessibleRole() const { return accessibleRole_.value_or(ROLE_SYSTEM_CLIENT); }

void Control::SetAccessibleName(std::wstring name) {
    if (name == accessibleName_) return;
    accessibleName_ = std::move(name);
    AnnounceChange(*this, EVENT_OBJECT_NAMECHANGE);
}

void Control::SetAccessibleValue(std::wstring value) {
    if (value == accessibleValue_) return;
    accessibleValue_ = std::move(value);
    AnnounceChange(*this, EVENT_OBJECT_VALUECHANGE);
}

void Control::AnnounceStateChange() const { AnnounceChange(*this, EVENT_OBJECT_STATECHANGE); }

// A constituent's object is its owner's; a focus that lands in a constituent is the owner's
// focus, which the system does not announce (it names the window that took it).
std::optional<LRESULT> Control::AccessibilityMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Control& speaker = accessibleOwner_ ? *accessibleOwner_ : *this;
    if (message == WM_GETOBJECT) return AccessibleObjectAnswer(speaker, wParam, lParam);
    if (message == WM_SETFOCUS && accessibleOwner_) AnnounceChange(speaker, EVENT_OBJECT_FOCUS);
    if (const UINT action = AccessibleActionMessage(); action && message == action) {
        const auto child = static_cast<long>(wParam);
        if (child == CHILDID_SELF) {
            speaker.DoAccessibleDefaultAction();
            return 0;
        }
        const auto elements = speaker.AccessibleElements();
        if (child >= 1 && child <= static_cast<long>(elements.size())) {
            const auto& action = elements[static_cast<std::size_t>(child - 1)].doDefaultAction;
            if (action) action();
        }
        return 0;
    }
    return {};
}

}  // namespace host
