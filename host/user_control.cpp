#include "host/user_control.h"

#include <oleacc.h>

#include <cctype>
#include <exception>
#include <iterator>
#include <utility>

#include "host/color.h"
#include "host/form.h"
#include "host/standard_controls.h"

namespace host {

namespace {

LPCSTR SystemCursor(int pointer) {
    static const LPCSTR kCursors[] = {
        nullptr,           IDC_ARROW,  IDC_CROSS,  IDC_IBEAM, IDC_ICON,    IDC_SIZEALL,
        IDC_SIZENESW,      IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,
        IDC_NO,            IDC_APPSTARTING, IDC_HELP, IDC_SIZEALL,
    };
    if (pointer < 0 || pointer >= static_cast<int>(std::size(kCursors))) return nullptr;
    return kCursors[pointer];
}

}  // namespace

UserControl::UserControl(std::string name, std::optional<int> index)
    : Control(std::move(name), index) {}

UserControl::~UserControl() {
    while (!constituents_.empty()) constituents_.pop_back();
    surface_.Detach();
    DestroyWindowObject();
}

bool UserControl::CreateControlWindow(HWND parent, const RECT& r) {
    CreateArgs args = CreateArgs::At(r, parent);
    args.kind = Kind::OwnDc;
    args.style = ChildStyle() | WS_CLIPCHILDREN | (borderStyle_ ? WS_BORDER : 0);
    args.exStyle = WS_EX_CONTROLPARENT;
    if (!CreateWindowObject(args)) return false;
    surface_.Attach(hWnd());
    Initialize();
    return true;
}

void UserControl::LoadInstance(PropertyBag* stored) {
    if (loaded_) return;
    // A stored value that does not fit ends the reading: what was read before stays, the
    // instance is still resized and shown, and the error goes on to whoever loads it.
    std::exception_ptr failure;
    try {
        if (stored) {
            ReadProperties(*stored);
        } else {
            InitProperties();
        }
    } catch (const PropertyError&) {
        failure = std::current_exception();
    }
    loaded_ = true;
    Resize();
    CheckShown();
    if (failure) std::rethrow_exception(failure);
}

void UserControl::Refresh() {
    if (!hWnd()) return;
    InvalidateRect(hWnd(), nullptr, FALSE);
    UpdateWindow(hWnd());
}

void UserControl::SetBackStyle(int style) {
    surface_.SetBackStyle(style);
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void UserControl::SetBorderStyle(int style) {
    borderStyle_ = style;
    if (!hWnd()) return;
    LONG_PTR bits = GetWindowLongPtrA(hWnd(), GWL_STYLE);
    bits = style ? (bits | WS_BORDER) : (bits & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(hWnd(), GWL_STYLE, bits);
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void UserControl::SetMousePointer(int pointer) {
    mousePointer_ = pointer;
    POINT at{};
    GetCursorPos(&at);
    if (hWnd() && WindowFromPoint(at) == hWnd()) {
        SendMessageA(hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd()), HTCLIENT);
    }
}

AmbientProperties UserControl::Ambient() const {
    AmbientProperties ambient;
    if (auto* outer = dynamic_cast<UserControl*>(Parent())) {
        ambient.Font = outer->GetFont();
        ambient.BackColor = outer->BackColor();
        ambient.ForeColor = outer->ForeColor();
    } else if (Form* form = HostForm()) {
        ambient.Font = form->GetFont();
        ambient.BackColor = form->BackColor();
        ambient.ForeColor = form->Surface().ForeColor();
    }
    if (!ambient.Font) ambient.Font = std::make_shared<host::Font>();
    return ambient;
}

ControlList UserControl::ParentControls() const {
    return Parent() ? Parent()->OwnerControls() : ControlList{};
}

ControlList UserControl::Controls() const {
    ControlList list;
    for (const auto& c : constituents_) list.push_back(c.get());
    return list;
}

void UserControl::PropertyChanged(const std::string& name) {
    if (KeysEqual(name, "Caption")) {
        AnnounceChange(*this, EVENT_OBJECT_NAMECHANGE);
    } else if (KeysEqual(name, "Checked") || KeysEqual(name, "Enabled") || KeysEqual(name, "value")) {
        AnnounceStateChange();
    }
    OnPropertyChanged(name);
}

Control& UserControl::AddConstituentControl(std::unique_ptr<Control> control, Container* parent) {
    Control& added = *control;
    added.SetAccessibleOwner(this);
    constituents_.push_back(std::move(control));
    added.Attach(parent ? *parent : *this, HostForm());
    if (auto* inner = dynamic_cast<UserControl*>(&added)) inner->LoadInstance(nullptr);
    return added;
}

bool UserControl::SetPropertyByName(std::string_view, const PropertyValue&) { return false; }

std::optional<PropertyValue> UserControl::GetPropertyByName(std::string_view) const { return {}; }

void UserControl::SetVisible(bool visible) {
    Control::SetVisible(visible);
    CheckShown();
}

void UserControl::CheckShown() {
    if (!loaded_) return;
    const bool visibleNow = hWnd() && IsWindowVisible(hWnd());
    if (visibleNow != shown_) {
        shown_ = visibleNow;
        if (visibleNow) {
            Show();
        } else {
            Hide();
        }
    }
    for (const auto& c : constituents_) c->ContainerVisibilityChanged();
}

void UserControl::BeforeDestroy() {
    if (terminated_) return;
    terminated_ = true;
    for (auto it = constituents_.rbegin(); it != constituents_.rend(); ++it) (*it)->BeforeDestroy();
    Terminate();
}

bool UserControl::AccessKey(int character) {
    const auto lower = [](int c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (char key : accessKeys_) {
        if (lower(key) == lower(character)) {
            AccessKeyPress(character);
            return true;
        }
    }
    return false;
}

bool UserControl::Contains(HWND window) const {
    return window && hWnd() && (window == hWnd() || IsChild(hWnd(), window));
}

void UserControl::DescendantFocus(bool entering, HWND other) {
    if (Contains(other)) return;  // the focus moves inside the control
    if (entering) {
        EnterFocus();
    } else {
        ExitFocus();
    }
}

bool UserControl::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto m = DecodeMouseMessage(message, wParam, lParam);
    if (!m) return false;
    const double x = m->x * UnitsPerPixelX();
    const double y = m->y * UnitsPerPixelY();
    switch (m->what) {
    case MouseMessage::What::Down:
        if (canGetFocus_ && !Contains(GetFocus())) SetFocus(hWnd());
        if (GetCapture() != hWnd()) {
            SetCapture(hWnd());
            captured_ = true;
        }
        pressed_ = true;
        MouseDown(m->button, m->shift, x, y);
        break;
    case MouseMessage::What::Move:
        MouseMove(m->button, m->shift, x, y);
        break;
    case MouseMessage::What::Up: {
        const bool wasPressed = std::exchange(pressed_, false);
        MouseUp(m->button, m->shift, x, y);
        if (captured_ && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
            captured_ = false;
            if (GetCapture() == hWnd()) ReleaseCapture();
        }
        RECT client{};
        GetClientRect(hWnd(), &client);
        if (wasPressed && m->button == 1 && PtInRect(&client, POINT{m->x, m->y})) Click();
        break;
    }
    case MouseMessage::What::DoubleClick:
        DblClick();
        break;
    }
    return true;
}

bool UserControl::HandleKey(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_KEYDOWN: {
        int code = static_cast<int>(wParam), shift = ShiftState();
        KeyDown(code, shift);
        return true;
    }
    case WM_KEYUP: {
        int code = static_cast<int>(wParam), shift = ShiftState();
        KeyUp(code, shift);
        return true;
    }
    case WM_CHAR: {
        int key = static_cast<int>(wParam);
        KeyPress(key);
        return true;
    }
    }
    return false;
}

std::vector<Control*> UserControl::DirectConstituents() const {
    std::vector<Control*> direct;
    for (const auto& c : constituents_) {
        if (c->Parent() == this) direct.push_back(c.get());
    }
    return direct;
}

void UserControl::SetRightToLeft(bool rtl) {
    if (rtl == rightToLeft_) return;
    // Each constituent keeps its Left, now counted from the other edge.
    struct Place {
        Control* control;
        int left, top, width, height;
    };
    std::vector<Place> places;
    for (Control* c : DirectConstituents()) {
        places.push_back({c, c->Left(), c->Top(), c->Width(), c->Height()});
    }
    rightToLeft_ = rtl;
    surface_.SetMirrored(rtl);
    for (const Place& p : places) p.control->Move(p.left, p.top, p.width, p.height);
    RECT client{};
    if (hWnd()) GetClientRect(hWnd(), &client);
    mirroredWidth_ = client.right;
}

// A mirrored Left counts from the right edge: when the width changes, every constituent's
// window moves with that edge.
void UserControl::KeepMirroredPlaces(int clientWidth) {
    const int shift = clientWidth - mirroredWidth_;
    mirroredWidth_ = clientWidth;
    if (shift == 0) return;
    for (Control* c : DirectConstituents()) {
        if (!c->hWnd()) continue;
        RECT r{};
        GetWindowRect(c->hWnd(), &r);
        MapWindowPoints(nullptr, hWnd(), reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(c->hWnd(), nullptr, r.left + shift, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT UserControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleMouse(message, wParam, lParam) || HandleKey(message, wParam, lParam)) return 0;
    switch (message) {
    case WM_SIZE:
        if (rightToLeft_) KeepMirroredPlaces(LOWORD(lParam));
        surface_.Resized();
        if (loaded_) Resize();
        return 0;
    case WM_SETFOCUS:
        GotFocus();
        return 0;
    case WM_KILLFOCUS:
        LostFocus();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hWnd()) captured_ = false;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == hWnd() && LOWORD(lParam) == HTCLIENT &&
            mousePointer_ != kDefault) {
            if (mousePointer_ == kCustom) {
                if (mouseIcon_ && mouseIcon_->Icon()) SetCursor(mouseIcon_->Icon());
            } else if (LPCSTR shape = SystemCursor(mousePointer_)) {
                SetCursor(LoadCursorA(nullptr, shape));
            }
            return TRUE;
        }
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

void UserControl::Paint(HDC dc) {
    if (loaded_ && surface_.PaintImage(dc)) return;
    RECT r{};
    GetClientRect(hWnd(), &r);
    if (surface_.BackStyle() == DrawingSurface::kBackTransparent) {
        PaintParentBackground(hWnd(), dc);
    } else {
        unique_brush back(CreateSolidBrush(ResolveColor(surface_.BackColor())));
        FillRect(dc, &r, back.get());
    }
    if (loaded_) Paint();
}

}  // namespace host
