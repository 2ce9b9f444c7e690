#include "host/accessible.h"

#include <oleacc.h>

#include <atomic>
#include <cwctype>

#include "host/control.h"
#include "host/system_library.h"

namespace host {

namespace {

// MinGW's import library gives IID_IAccessible as an import thunk, not as the GUID.
constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The system functions the object needs, from the system folder at first use: oleacc is not
// one of the known DLLs, and the program imports neither it nor OLE statically.
struct AccessibilityLibrary {
    decltype(&LresultFromObject) lresultFromObject =
        SystemFunction<decltype(&LresultFromObject)>("oleacc.dll", "LresultFromObject");
    decltype(&CreateStdAccessibleObject) createStandard =
        SystemFunction<decltype(&CreateStdAccessibleObject)>("oleacc.dll", "CreateStdAccessibleObject");
    decltype(&CoInitializeEx) coInitialize = SystemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx");
    decltype(&SysAllocStringLen) allocString =
        SystemFunction<decltype(&SysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen");

    bool Complete() const { return lresultFromObject && createStandard && coInitialize && allocString; }
};

const AccessibilityLibrary& Library() {
    static const AccessibilityLibrary library;
    return library;
}

// The window's thread serves calls from other processes: it must be in a single-threaded
// apartment. Once per thread; a thread already in one keeps it.
void JoinApartment() {
    thread_local bool joined = false;
    if (joined) return;
    joined = true;
    Library().coInitialize(nullptr, COINIT_APARTMENTTHREADED);
}

HRESULT GiveString(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = Library().allocString(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT GiveNumber(long value, VARIANT* out) {
    if (!out) return E_POINTER;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// The control's own object; every call finds the control again from the window.
class AccessibleObject final : public IAccessible {
public:
    explicit AccessibleObject(HWND window) : window_(window) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidDispatch) || IsEqualIID(iid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: clients of this object call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
        // The client object's parent is the system's object of the same window.
        IAccessible* frame = nullptr;
        if (FAILED(Library().createStandard(window_, OBJID_WINDOW, kIidAccessible, reinterpret_cast<void**>(&frame)))) {
            return S_FALSE;
        }
        *parent = frame;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        Control* control = Find();
        if (!control) return CO_E_OBJNOTCONNECTED;
        *count = static_cast<long>(control->AccessibleElements().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        return S_FALSE;  // the elements are simple ones, without objects of their own
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Answer(child, [&](Control& c) { return GiveString(c.AccessibleName(), name); },
                      [&](const AccessibleElement& e) { return GiveString(e.name, name); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Answer(child, [&](Control& c) { return GiveString(c.AccessibleValue(), value); },
                      [&](const AccessibleElement&) { return GiveString({}, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override {
        return GiveString({}, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Answer(child, [&](Control& c) { return GiveNumber(c.AccessibleRole(), role); },
                      [&](const AccessibleElement& e) { return GiveNumber(e.role, role); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Answer(child, [&](Control& c) { return GiveNumber(FullState(c), state); },
                      [&](const AccessibleElement& e) { return GiveNumber(e.state, state); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return GiveString({}, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (topic) *topic = 0;
        return GiveString({}, file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Answer(child, [&](Control& c) { return GiveString(c.AccessibleShortcut(), shortcut); },
                      [&](const AccessibleElement&) { return GiveString({}, shortcut); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        Control* control = Find();
        if (!control) return CO_E_OBJNOTCONNECTED;
        if (!HasFocus(*control)) {
            focus->vt = VT_EMPTY;
            return S_FALSE;
        }
        return GiveNumber(CHILDID_SELF, focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Answer(child, [&](Control& c) { return GiveString(c.AccessibleDefaultAction(), action); },
                      [&](const AccessibleElement& e) { return GiveString(e.defaultAction, action); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        const auto give = [&](const RECT& r) {
            *left = r.left;
            *top = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        };
        return Answer(child, [&](Control&) {
                          RECT r{};
                          GetClientRect(window_, &r);
                          MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
                          return give(r);
                      },
                      [&](const AccessibleElement& e) { return give(e.screen); });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        if (end) end->vt = VT_EMPTY;
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child) return E_POINTER;
        child->vt = VT_EMPTY;
        Control* control = Find();
        if (!control) return CO_E_OBJNOTCONNECTED;
        const POINT at{x, y};
        const auto elements = control->AccessibleElements();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (PtInRect(&elements[i].screen, at)) return GiveNumber(static_cast<long>(i + 1), child);
        }
        RECT r{};
        GetClientRect(window_, &r);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        if (!PtInRect(&r, at)) return S_FALSE;
        return GiveNumber(CHILDID_SELF, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Answer(child, [&](Control& c) { return Post(c.AccessibleDefaultAction(), CHILDID_SELF); },
                      [&](const AccessibleElement& e) { return Post(e.defaultAction, ChildId(child)); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

private:
    Control* Find() const {
        return IsWindow(window_) ? dynamic_cast<Control*>(Window::FromHandle(window_)) : nullptr;
    }
    static long ChildId(const VARIANT& child) { return child.vt == VT_I4 ? child.lVal : -1; }

    // Runs `self` for the control itself, `element` for one of its elements.
    template <typename Self, typename Element>
    HRESULT Answer(const VARIANT& child, Self self, Element element) {
        Control* control = Find();
        if (!control) return CO_E_OBJNOTCONNECTED;
        const long id = ChildId(child);
        if (id == CHILDID_SELF) return self(*control);
        const auto elements = control->AccessibleElements();
        if (id < 1 || id > static_cast<long>(elements.size())) return E_INVALIDARG;
        return element(elements[static_cast<std::size_t>(id - 1)]);
    }

    // What the host knows of every control, with the control's own bits.
    long FullState(Control& control) const {
        long state = control.AccessibleState();
        if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
        if (!control.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
        if (control.CanTakeFocus() && control.Enabled()) state |= STATE_SYSTEM_FOCUSABLE;
        if (HasFocus(control)) state |= STATE_SYSTEM_FOCUSED;
        return state;
    }

    // The focus is on the control's window or on a constituent it speaks for, not merely
    // somewhere inside it (a picture box holding a text box is not focused).
    static bool HasFocus(const Control& control) {
        const auto* focused = dynamic_cast<const Control*>(Window::FromHandle(GetFocus()));
        return focused && (focused == &control || focused->AccessibleOwner() == &control);
    }

    HRESULT Post(const std::wstring& action, long child) {
        if (action.empty()) return DISP_E_MEMBERNOTFOUND;
        return PostMessageW(window_, AccessibleActionMessage(), static_cast<WPARAM>(child), 0) ? S_OK : E_FAIL;
    }

    HWND window_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

std::optional<LRESULT> AccessibleObjectAnswer(Control& control, WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != static_cast<LONG>(OBJID_CLIENT) || !control.hWnd()) return {};
    if (!Library().Complete()) return {};
    JoinApartment();
    auto* object = new AccessibleObject(control.hWnd());
    const LRESULT answer = Library().lresultFromObject(kIidAccessible, flags, object);
    object->Release();  // the answer holds its own reference
    if (FAILED(static_cast<HRESULT>(answer))) return {};
    return answer;
}

// A constituent's changes are its owner's to announce, as the owner's own.
void AnnounceChange(const Control& control, DWORD event, LONG child) {
    if (control.hWnd() && !control.AccessibleOwner()) NotifyWinEvent(event, control.hWnd(), OBJID_CLIENT, child);
}

UINT AccessibleActionMessage() {
    static const UINT message = RegisterWindowMessageA("OrbHost.AccessibleDefaultAction");
    return message;
}

std::wstring SpokenCaption(std::wstring_view caption) {
    std::wstring spoken;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        // The character after a mark is said as it is, so "&&" says one "&".
        if (caption[i] == L'&' && ++i == caption.size()) break;
        spoken += caption[i];
    }
    return spoken;
}

std::wstring AccessKeyShortcut(std::wstring_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return std::wstring(L"Alt+") + static_cast<wchar_t>(std::towupper(caption[i + 1]));
    }
    return {};
}

}  // namespace host
