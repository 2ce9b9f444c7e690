#include "host/form.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "host/app.h"
#include "host/design_values.h"
#include "host/high_contrast.h"
#include "host/user_control.h"

namespace host {

namespace {

int ToTwipsX(int pixels) { return pixels * App::TwipsPerPixelX(); }
int ToTwipsY(int pixels) { return pixels * App::TwipsPerPixelY(); }
int ToPixelsX(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / App::TwipsPerPixelX()));
}
int ToPixelsY(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / App::TwipsPerPixelY()));
}

}  // namespace

Form::Form(std::string name) : name_(std::move(name)), font_(std::make_shared<host::Font>()) {
    surface_.SetFont(font_);
}

Form::~Form() {
    if (loaded_) App::RemoveForm(this);
    loaded_ = false;
    DestroyControls();
    surface_.Detach();
    DestroyWindowObject();
}

DWORD Form::WindowStyle() const {
    DWORD style = WS_CLIPCHILDREN;
    switch (borderStyle_) {
    case kBorderNone: style |= WS_POPUP; break;
    case kBorderFixedSingle: style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case kBorderFixedDialog:
    case kBorderFixedToolWindow: style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME; break;
    case kBorderSizableToolWindow: style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME; break;
    default: style |= WS_OVERLAPPEDWINDOW; break;
    }
    return style;
}

DWORD Form::WindowExStyle() const {
    switch (borderStyle_) {
    case kBorderFixedDialog: return WS_EX_DLGMODALFRAME;
    case kBorderFixedToolWindow:
    case kBorderSizableToolWindow: return WS_EX_TOOLWINDOW;
    default: return WS_EX_APPWINDOW;
    }
}

bool Form::Load() {
    if (loaded_) return true;
    if (destroyPending_) FinishUnload();  // loaded again before the old window went
    CreateArgs args = CreateArgs::At(pixels_);
    args.kind = Kind::OwnDc;
    args.style = WindowStyle();
    args.exStyle = WindowExStyle();
    args.text = caption_.c_str();
    if (!CreateWindowObject(args)) return false;
    surface_.Attach(hWnd());
    if (icon_) SetIcon(icon_);
    loaded_ = true;
    App::AddForm(this);
    return true;
}

void Form::Unload() {
    if (!loaded_) return;
    int cancel = 0;
    if (OnUnload) OnUnload(cancel);
    if (cancel || !loaded_) return;
    loaded_ = false;
    App::RemoveForm(this);
    unloaded_.Notify();
    if (hWnd()) ShowWindow(hWnd(), SW_HIDE);
    if (handlersRunning_ > 0) {
        destroyPending_ = true;
    } else {
        FinishUnload();
    }
}

void Form::LeaveHandler() {
    if (--handlersRunning_ == 0 && destroyPending_) FinishUnload();
}

void Form::FinishUnload() {
    destroyPending_ = false;
    DestroyControls();
    surface_.Detach();
    DestroyWindowObject();
}

void Form::DestroyControls() {
    // Later controls may hold earlier ones (a user control and its picture box): last first.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->BeforeDestroy();
    while (!controls_.empty()) controls_.pop_back();
}

bool Form::HandleAccessKey(int character) {
    if (character == ' ') return false;  // Alt+Space opens the system menu
    for (Control* control : Controls()) {
        if (control->Reachable() && control->AccessKey(character)) return true;
    }
    return false;
}

ControlList Form::TabOrder() const {
    ControlList order;
    for (const auto& c : controls_) {
        if (c->CanTakeFocus()) order.push_back(c.get());
    }
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        if (a->TabIndex() && b->TabIndex()) return *a->TabIndex() < *b->TabIndex();
        return a->TabIndex().has_value() && !b->TabIndex().has_value();
    });
    return order;
}

bool Form::MoveFocus(bool backwards) {
    const ControlList order = TabOrder();
    const auto count = static_cast<int>(order.size());
    if (count == 0) return false;
    const HWND focus = GetFocus();
    const auto holder = std::find_if(order.begin(), order.end(),
                                     [focus](const Control* c) { return c->HoldsFocus(focus); });
    // Start one before the first control to visit; from no control that is the last (or the
    // first, going backwards), so the walk begins at the first (or the last).
    int at = holder != order.end() ? static_cast<int>(holder - order.begin()) : (backwards ? 0 : count - 1);
    const int step = backwards ? count - 1 : 1;
    for (int visited = 0; visited < count; ++visited) {
        at = (at + step) % count;
        if (!order[at]->IsTabStopNow()) continue;
        const HWND target = order[at]->FocusWindow();
        ::SetFocus(target);
        // As in the system's dialogs: an edit box reached by Tab shows its whole text selected.
        if (GetFocus() == target && (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) {
            SendMessageA(target, EM_SETSEL, 0, -1);
        }
        return true;
    }
    return false;
}

bool Form::TakeDialogKey(const MSG& msg) {
    if ((msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    Window* window = Window::FromHandle(msg.hwnd);
    if (!window) window = Window::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
    Form* form = window ? window->HostForm() : nullptr;
    if (!form || !form->Loaded()) return false;
    // A control that asks for Tab itself (a multi-line editor) keeps it.
    if (SendMessageA(msg.hwnd, WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
    // Focus handlers run inside the move and may unload the form: its controls stay until
    // the move is over.
    HandlerScope running(form);
    if (msg.message == WM_KEYUP) {
        const ControlList order = form->TabOrder();
        return std::any_of(order.begin(), order.end(), [](const Control* c) { return c->IsTabStopNow(); });
    }
    return form->MoveFocus(GetKeyState(VK_SHIFT) < 0);
}

void Form::WindowDestroyed() {
    // Destroyed from outside (or by FinishUnload): the form is no longer loaded.
    if (loaded_) {
        loaded_ = false;
        App::RemoveForm(this);
    }
    surface_.Detach();
}

Subscription Form::SubscribeResize(std::function<void()> handler) {
    return resized_.Subscribe(std::move(handler));
}

Subscription Form::SubscribeUnload(std::function<void()> handler) {
    return unloaded_.Subscribe(std::move(handler));
}

HDC Form::hDC() {
    Load();
    return surface_.hDC();
}

int Form::Left() const {
    RECT r = pixels_;
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwipsX(r.left);
}
int Form::Top() const {
    RECT r = pixels_;
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwipsY(r.top);
}
int Form::Width() const {
    RECT r = pixels_;
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwipsX(r.right - r.left);
}
int Form::Height() const {
    RECT r = pixels_;
    if (hWnd()) GetWindowRect(hWnd(), &r);
    return ToTwipsY(r.bottom - r.top);
}

void Form::Move(int left, int top, int width, int height) {
    const int x = ToPixelsX(left), y = ToPixelsY(top);
    pixels_ = {x, y, x + ToPixelsX(std::max(width, 0)), y + ToPixelsY(std::max(height, 0))};
    if (hWnd()) {
        SetWindowPos(hWnd(), nullptr, x, y, pixels_.right - x, pixels_.bottom - y,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
void Form::SetLeft(int twips) { Move(twips, Top(), Width(), Height()); }
void Form::SetTop(int twips) { Move(Left(), twips, Width(), Height()); }
void Form::SetWidth(int twips) { Move(Left(), Top(), twips, Height()); }
void Form::SetHeight(int twips) { Move(Left(), Top(), Width(), twips); }

void Form::SetBorderStyle(int style) {
    borderStyle_ = style;
    if (!hWnd()) return;
    const LONG_PTR visible = GetWindowLongPtrA(hWnd(), GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrA(hWnd(), GWL_STYLE, static_cast<LONG_PTR>(WindowStyle()) | visible);
    SetWindowLongPtrA(hWnd(), GWL_EXSTYLE, static_cast<LONG_PTR>(WindowExStyle()));
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::string Form::Caption() const {
    if (!hWnd()) return caption_;
    char text[512] = {};
    GetWindowTextA(hWnd(), text, sizeof text);
    return text;
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (hWnd()) SetWindowTextA(hWnd(), caption.c_str());
}

bool Form::Visible() const { return hWnd() && IsWindowVisible(hWnd()); }

void Form::SetVisible(bool visible) {
    if (visible && !Load()) return;
    if (!hWnd()) return;
    if (visible) {
        ApplyWindowState();
    } else {
        ShowWindow(hWnd(), SW_HIDE);
    }
    if (visible) UpdateWindow(hWnd());
}

void Form::ApplyWindowState() {
    static constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(hWnd(), kShow[std::clamp(windowState_, 0, 2)]);
}

int Form::WindowState() const {
    if (!hWnd() || !IsWindowVisible(hWnd())) return windowState_;
    if (IsIconic(hWnd())) return kMinimized;
    if (IsZoomed(hWnd())) return kMaximized;
    return kNormal;
}

void Form::SetWindowState(int state) {
    windowState_ = std::clamp(state, 0, 2);
    if (hWnd() && IsWindowVisible(hWnd())) ApplyWindowState();  // a hidden form takes it when shown
}

void Form::ZOrder() {
    if (!hWnd()) return;
    SetWindowPos(hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hWnd());
}

void Form::Refresh() {
    if (!hWnd()) return;
    InvalidateRect(hWnd(), nullptr, TRUE);
    UpdateWindow(hWnd());
}

void Form::SetIcon(PicturePtr icon) {
    icon_ = std::move(icon);
    if (!hWnd()) return;
    HICON handle = icon_ ? icon_->Icon() : nullptr;
    SendMessageA(hWnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(handle));
    SendMessageA(hWnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(handle));
}

void Form::SetFont(std::shared_ptr<host::Font> font) {
    font_ = font ? std::move(font) : std::make_shared<host::Font>();
    surface_.SetFont(font_);
}

ControlList Form::Controls() const {
    ControlList list;
    for (const auto& c : controls_) list.push_back(c.get());
    return list;
}

Control* Form::FindControl(const std::string& name, std::optional<int> index) const {
    for (const auto& c : controls_) {
        if (c->Name() == name && c->Index() == index) return c.get();
    }
    return nullptr;
}

Control& Form::AddControl(std::unique_ptr<Control> control, Container* parent,
                          PropertyBag* stored) {
    Load();
    Control& added = *control;
    controls_.push_back(std::move(control));
    added.Attach(parent ? *parent : *this, this);
    // A value that does not fit still lets the control load; the first error goes on.
    std::exception_ptr failure;
    if (stored) {
        try {
            added.ReadDesignProperties(*stored);
        } catch (const PropertyError&) {
            failure = std::current_exception();
        }
    }
    if (auto* user = dynamic_cast<UserControl*>(&added)) {
        try {
            user->LoadInstance(stored);
        } catch (const PropertyError&) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
    return added;
}

void Form::ReadDesignProperties(const PropertyBag& bag) {
    SetCaption(bag.ReadProperty<std::string>("Caption", caption_));
    SetBorderStyle(bag.ReadProperty<I2>("BorderStyle", static_cast<I2>(borderStyle_)));
    Move(bag.ReadProperty<I4>("Left", Left()), bag.ReadProperty<I4>("Top", Top()),
         bag.ReadProperty<I4>("Width", Width()), bag.ReadProperty<I4>("Height", Height()));
    SetFont(ReadFont(bag, "Font", font_));
    SetIcon(bag.Contains("Icon") ? ReadPicture(bag, "Icon") : icon_);
    SetWindowState(bag.ReadProperty<I2>("WindowState", static_cast<I2>(windowState_)));
    surface_.SetAutoRedraw(bag.ReadProperty<bool>("AutoRedraw", surface_.AutoRedraw()));
    SetBackColor(static_cast<OleColor>(bag.ReadProperty<I4>("BackColor", static_cast<I4>(BackColor()))));
}

void Form::WriteDesignProperties(PropertyBag& bag) const {
    bag.WriteProperty<std::string>("Caption", Caption(), "");
    bag.WriteProperty<I2>("BorderStyle", static_cast<I2>(borderStyle_), kBorderSizable);
    bag.WriteProperty<I4>("Left", Left(), 0);
    bag.WriteProperty<I4>("Top", Top(), 0);
    bag.WriteProperty<I4>("Width", Width(), 0);
    bag.WriteProperty<I4>("Height", Height(), 0);
    WriteFont(bag, "Font", font_, std::make_shared<host::Font>());
    WritePicture(bag, "Icon", icon_);
    bag.WriteProperty<I2>("WindowState", static_cast<I2>(WindowState()), kNormal);
    bag.WriteProperty<bool>("AutoRedraw", surface_.AutoRedraw(), false);
    bag.WriteProperty<I4>("BackColor", static_cast<I4>(BackColor()), static_cast<I4>(0x8000000F));
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_ACTIVATE:
        // As in the system's dialogs, the control that held the focus when the form was left
        // (for another window, a message box) has it again when the form comes back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hWnd(), focus)) lastFocus_ = focus;
        } else if (!HIWORD(wParam) && lastFocus_ && IsChild(hWnd(), lastFocus_) &&
                   IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const LRESULT result = Window::HandleMessage(message, wParam, lParam);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
            for (Control* control : Controls()) control->ContainerVisibilityChanged();
        }
        return result;
    }
    case WM_SIZE:
        surface_.Resized();
        if (OnResize) OnResize();
        resized_.Notify();
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast on or off, or other system colours: the controls draw again.
        RereadHighContrast();
        for (Control* control : Controls()) control->SystemColoursChanged();
        RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void Form::Paint(HDC dc) { PaintSurface(hWnd(), dc, nullptr, OnPaint); }

}  // namespace host
