// Reads a running program's window as a screen reader does, from this second process, with
// AccessibleObjectFromWindow, for the whole-program tests:
//
//   accessibility_probe windows TITLE    the client object of the window titled TITLE and of
//                                        every window inside it, then each object's simple
//                                        child elements, one line each, duplicates left out
//   accessibility_probe walk TITLE       the tree as AccessibleChildren gives it, from the
//                                        window's own object and from its client object
//   accessibility_probe do TITLE ROLE NAME   accDoDefaultAction on the first object or element
//                                        of role ROLE (a number) named NAME
//
// A line: depth, role (number), role text, name, state (hexadecimal), value, default action,
// keyboard shortcut, location "left,top,width,height" (screen pixels), tab-separated, UTF-8,
// with tab, line breaks and backslash escaped. Exit code 0, or 1 with a reason on stderr.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "probe_output.h"

namespace {

// MinGW's import library gives IID_IAccessible as an import thunk, not as the GUID.
constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// A string property; an empty string for none or a failure.
template <typename Getter>
std::wstring Text(Getter get) {
    BSTR value = nullptr;
    std::wstring text;
    if (SUCCEEDED(get(&value)) && value) text.assign(value, SysStringLen(value));
    SysFreeString(value);
    return text;
}

long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, long id) {
    VARIANT out;
    VariantInit(&out);
    long n = -1;
    if (SUCCEEDED((object->*get)(Child(id), &out)) && out.vt == VT_I4) n = out.lVal;
    VariantClear(&out);
    return n;
}

struct Description {
    long role = -1;
    std::wstring name;
    long state = 0;
    std::wstring value, action, shortcut;
    long left = 0, top = 0, width = 0, height = 0;
};

Description Describe(IAccessible* object, long id) {
    Description d;
    d.role = Number(&IAccessible::get_accRole, object, id);
    d.state = Number(&IAccessible::get_accState, object, id);
    d.name = Text([&](BSTR* out) { return object->get_accName(Child(id), out); });
    d.value = Text([&](BSTR* out) { return object->get_accValue(Child(id), out); });
    d.action = Text([&](BSTR* out) { return object->get_accDefaultAction(Child(id), out); });
    d.shortcut = Text([&](BSTR* out) { return object->get_accKeyboardShortcut(Child(id), out); });
    object->accLocation(&d.left, &d.top, &d.width, &d.height, Child(id));
    return d;
}

std::string Line(int depth, const Description& d) {
    wchar_t roleText[128] = {};
    if (d.role >= 0) GetRoleTextW(static_cast<DWORD>(d.role), roleText, static_cast<UINT>(std::size(roleText)));
    char head[64], tail[96];
    std::snprintf(head, sizeof head, "%d\t%ld\t", depth, d.role);
    std::snprintf(tail, sizeof tail, "%ld,%ld,%ld,%ld", d.left, d.top, d.width, d.height);
    char state[16];
    std::snprintf(state, sizeof state, "%lx", static_cast<unsigned long>(d.state));
    return head + Escaped(Utf8(roleText)) + "\t" + Escaped(Utf8(d.name)) + "\t" + state + "\t" +
           Escaped(Utf8(d.value)) + "\t" + Escaped(Utf8(d.action)) + "\t" + Escaped(Utf8(d.shortcut)) + "\t" + tail;
}

IAccessible* ClientObject(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

// An object and its simple elements (children without objects of their own).
void VisitWithElements(IAccessible* object, int depth, const std::function<void(IAccessible*, long, int)>& visit) {
    visit(object, CHILDID_SELF, depth);
    long count = 0;
    if (FAILED(object->get_accChildCount(&count))) return;
    for (long id = 1; id <= count; ++id) {
        IDispatch* child = nullptr;
        const HRESULT got = object->get_accChild(Child(id), &child);
        if (child) child->Release();
        // S_FALSE is a simple element; an object of its own is a window listed by itself.
        if (got == S_FALSE) visit(object, id, depth + 1);
    }
}

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsInside(HWND top) {
    std::vector<HWND> windows{top};
    EnumChildWindows(top, AddWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int PrintWindows(HWND top) {
    std::set<std::string> printed;
    for (HWND window : WindowsInside(top)) {
        IAccessible* object = ClientObject(window);
        if (!object) continue;
        VisitWithElements(object, window == top ? 0 : 1, [&](IAccessible* o, long id, int depth) {
            const std::string line = Line(depth, Describe(o, id));
            if (printed.insert(line).second) std::printf("%s\n", line.c_str());
        });
        object->Release();
    }
    return 0;
}

void Walk(IAccessible* object, int depth) {
    std::printf("%s\n", Line(depth, Describe(object, CHILDID_SELF)).c_str());
    if (depth > 12) return;
    long count = 0;
    if (FAILED(object->get_accChildCount(&count)) || count <= 0) return;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(AccessibleChildren(object, 0, count, children.data(), &got))) return;
    for (long i = 0; i < got; ++i) {
        VARIANT& child = children[static_cast<size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&inner)))) {
                Walk(inner, depth + 1);
                inner->Release();
            }
        } else if (child.vt == VT_I4) {
            std::printf("%s\n", Line(depth + 1, Describe(object, child.lVal)).c_str());
        }
        VariantClear(&child);
    }
}

int WalkTree(HWND top) {
    IAccessible* object = nullptr;
    for (LONG id : {OBJID_WINDOW, OBJID_CLIENT}) {
        if (FAILED(AccessibleObjectFromWindow(top, static_cast<DWORD>(id), kIidAccessible,
                                              reinterpret_cast<void**>(&object)))) {
            std::printf("no object %ld for the window\n", static_cast<long>(id));
            continue;
        }
        std::printf("from object %ld:\n", static_cast<long>(id));
        Walk(object, 0);
        object->Release();
    }
    return 0;
}

int DoDefaultAction(HWND top, long role, const std::wstring& name) {
    for (HWND window : WindowsInside(top)) {
        IAccessible* object = ClientObject(window);
        if (!object) continue;
        HRESULT result = S_FALSE;
        bool found = false;
        VisitWithElements(object, 0, [&](IAccessible* o, long id, int) {
            if (found) return;
            const Description d = Describe(o, id);
            if (d.role != role || d.name != name) return;
            found = true;
            result = o->accDoDefaultAction(Child(id));
        });
        object->Release();
        if (found) {
            if (FAILED(result)) std::fprintf(stderr, "accDoDefaultAction failed: 0x%lx\n", static_cast<unsigned long>(result));
            return FAILED(result) ? 1 : 0;
        }
    }
    std::fprintf(stderr, "no object of that role and name\n");
    return 1;
}

std::wstring Wide(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: accessibility_probe windows|walk|do TITLE [ROLE NAME]\n");
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::string mode = argv[1];
    HWND top = FindWindowW(nullptr, Wide(argv[2]).c_str());
    if (!top) {
        std::fprintf(stderr, "no window of that title\n");
        return 1;
    }
    int code = 1;
    if (mode == "windows") code = PrintWindows(top);
    else if (mode == "walk") code = WalkTree(top);
    else if (mode == "do" && argc >= 5) code = DoDefaultAction(top, std::strtol(argv[3], nullptr, 0), Wide(argv[4]));
    else std::fprintf(stderr, "unknown mode\n");
    std::fflush(stdout);
    CoUninitialize();
    return code;
}
