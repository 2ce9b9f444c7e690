#include "host/window.h"

#include <map>
#include <set>
#include <string>

#include "host/boundary.h"
#include "host/form.h"
#include "host/handles.h"

namespace host {

namespace {

constexpr const char* kPlainClass = "OrbHost.Window";
constexpr const char* kOwnDcClass = "OrbHost.Surface";

struct ClassInfo {
    const char* name;
    WNDPROC baseProc;  // null: our own class
};

// Atoms of the host's classes: only their windows carry a Window* in GWLP_USERDATA.
std::set<ATOM>& HostAtoms() {
    static std::set<ATOM> atoms;
    return atoms;
}

// The text box is a Unicode window: what the user types reaches it in UTF-16, also the
// characters the ANSI code page lacks, which an ANSI window would receive as "?".
ClassInfo RegisterUnicodeEdit(HINSTANCE module, WNDPROC proc) {
    constexpr const wchar_t* kWideName = L"OrbHost.EDIT";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, L"EDIT", &wc)) return {};
    wc.cbSize = sizeof wc;
    const ClassInfo info{"OrbHost.EDIT", wc.lpfnWndProc};
    wc.style &= ~CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.lpszClassName = kWideName;
    const ATOM atom = RegisterClassExW(&wc);
    if (!atom) return {};
    HostAtoms().insert(atom);
    return info;
}

// Registers the host's classes once per process; superclasses keep the system procedure.
ClassInfo RegisterHostClass(Window::Kind kind, WNDPROC proc) {
    static std::map<Window::Kind, ClassInfo> registered;
    if (auto it = registered.find(kind); it != registered.end()) return it->second;

    HINSTANCE module = GetModuleHandleA(nullptr);
    if (kind == Window::Kind::Edit) {
        const ClassInfo info = RegisterUnicodeEdit(module, proc);
        if (info.name) registered[kind] = info;
        return info;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ClassInfo info{};
    switch (kind) {
    case Window::Kind::Plain:
    case Window::Kind::OwnDc:
        info.name = kind == Window::Kind::Plain ? kPlainClass : kOwnDcClass;
        wc.style = CS_DBLCLKS | (kind == Window::Kind::OwnDc ? CS_OWNDC : 0);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        break;
    case Window::Kind::Edit:
        return {};  // registered above, as a Unicode window
    case Window::Kind::Button: {
        info.name = "OrbHost.BUTTON";
        if (!GetClassInfoExA(nullptr, "BUTTON", &wc)) return {};
        wc.cbSize = sizeof wc;
        info.baseProc = wc.lpfnWndProc;
        wc.style &= ~CS_GLOBALCLASS;
        break;
    }
    }
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.lpszClassName = info.name;
    const ATOM atom = RegisterClassExA(&wc);
    if (!atom) return {};
    HostAtoms().insert(atom);
    registered[kind] = info;
    return info;
}

}  // namespace

Window::~Window() { DestroyWindowObject(); }

Window* Window::FromHandle(HWND window) {
    if (!window) return nullptr;
    const auto atom = static_cast<ATOM>(GetClassLongPtrA(window, GCW_ATOM));
    if (!HostAtoms().count(atom)) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool Window::CreateWindowObject(const CreateArgs& args) {
    if (hwnd_) return true;
    const ClassInfo info = RegisterHostClass(args.kind, &Window::WindowProc);
    if (!info.name) return false;
    baseProc_ = info.baseProc;
    CreateWindowExA(args.exStyle, info.name, args.text, args.style, args.x, args.y, args.width,
                    args.height, args.parent, reinterpret_cast<HMENU>(args.id),
                    GetModuleHandleA(nullptr), this);
    return hwnd_ != nullptr;
}

void Window::DestroyWindowObject() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::StartTimer(UINT_PTR id, UINT milliseconds, std::function<void()> callback) {
    if (!hwnd_ || !SetTimer(hwnd_, id, milliseconds, nullptr)) return false;
    timers_[id] = std::move(callback);
    return true;
}

void Window::StopTimer(UINT_PTR id) {
    if (timers_.erase(id) && hwnd_) KillTimer(hwnd_, id);
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    // A Unicode window's messages arrive in their UTF-16 form and go on in it.
    if (baseProc_ && IsWindowUnicode(hwnd_)) return CallWindowProcW(baseProc_, hwnd_, message, wParam, lParam);
    if (baseProc_) return CallWindowProcA(baseProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

std::optional<LRESULT> Window::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool fromChild = message == WM_COMMAND ||
                           (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
    if (!fromChild || !lParam) return {};
    HWND child = reinterpret_cast<HWND>(lParam);
    if (GetParent(child) != hwnd_) return {};
    if (Window* object = FromHandle(child)) return object->ReflectedMessage(message, wParam, lParam);
    return {};
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCHAR) {
        if (Form* form = HostForm(); form && form->HandleAccessKey(static_cast<int>(wParam))) return 0;
    }
    if (auto reflected = ReflectToChild(message, wParam, lParam)) return *reflected;
    if (message == WM_TIMER) {
        if (auto it = timers_.find(wParam); it != timers_.end()) {
            auto callback = it->second;  // the callback may stop or restart this timer
            callback();
            return 0;
        }
    }
    if (baseProc_) return DefaultHandling(message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        if (PaintsBackground()) return 1;
        break;
    case WM_PAINT: {
        PaintScope painting(hwnd_);  // ends the paint even when Paint throws
        Paint(painting.dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = FromHandle(window);
    }
    if (!self) {
        return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                       : DefWindowProcA(window, message, wParam, lParam);
    }

    HandlerScope running(self->HostForm());
    // A handler that throws gets the message's default answer instead; the window goes on.
    const LRESULT result = CatchAtBoundary(
        [&] {
            // Focus entering is told before the window's own handler, leaving after it.
            if (message == WM_SETFOCUS) TellFocus(window, true, reinterpret_cast<HWND>(wParam));
            if (auto told = self->AccessibilityMessage(message, wParam, lParam)) return *told;
            const LRESULT answer = self->HandleMessage(message, wParam, lParam);
            if (message == WM_KILLFOCUS) TellFocus(window, false, reinterpret_cast<HWND>(wParam));
            return answer;
        },
        [&] { return self->DefaultHandling(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->timers_.clear();
        CatchAtBoundary([&] { self->WindowDestroyed(); }, [] {});
    }
    return result;
}

void Window::TellFocus(HWND focused, bool entering, HWND other) {
    for (HWND w = focused; w; w = (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr) {
        if (Window* object = FromHandle(w)) object->DescendantFocus(entering, other);
    }
}

HandlerScope::HandlerScope(Form* form) : form_(form) {
    if (form_) form_->EnterHandler();
}

HandlerScope::HandlerScope(HWND window) : HandlerScope(static_cast<Form*>(nullptr)) {
    Window* object = Window::FromHandle(window);
    if (!object) object = Window::FromHandle(GetAncestor(window, GA_ROOT));
    form_ = object ? object->HostForm() : nullptr;
    if (form_) form_->EnterHandler();
}

HandlerScope::~HandlerScope() {
    if (form_) form_->LeaveHandler();
}

}  // namespace host
