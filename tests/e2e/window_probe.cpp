// Lists the visible top-level windows of the Wine session for the whole-program tests, one
// line each: X window id, class, title and the text of the message-box label (id 0xFFFF),
// tab-separated, UTF-8, with tab, line breaks and backslash escaped. The X side alone cannot
// tell a message box from another window of the same title: it sees no Win32 class names.
// With the argument "foreground" it prints the foreground window's X id instead.
#include <windows.h>

#include <cstdio>
#include <string>

#include "probe_output.h"

namespace {

// Wine keeps the X window of each top-level window in this window property.
constexpr const char* kX11WindowProperty = "__wine_x11_whole_window";
constexpr int kMessageBoxTextId = 0xFFFF;

std::string WindowText(HWND window) {
    wchar_t text[4096] = {};
    if (window) GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return Utf8(text);
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    wchar_t class_name[256] = {};
    GetClassNameW(window, class_name, static_cast<int>(std::size(class_name)));
    const auto x11 = reinterpret_cast<ULONG_PTR>(GetPropA(window, kX11WindowProperty));
    std::printf("%llu\t%s\t%s\t%s\n", static_cast<unsigned long long>(x11),
                Escaped(Utf8(class_name)).c_str(), Escaped(WindowText(window)).c_str(),
                Escaped(WindowText(GetDlgItem(window, kMessageBoxTextId))).c_str());
    return TRUE;
}

}  // namespace

// "foreground": prints only the X window id of the window Wine holds as the foreground one
// (0 when none); Wine does not always move the X input focus along with it.
int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "foreground") {
        const auto x11 = reinterpret_cast<ULONG_PTR>(GetPropA(GetForegroundWindow(), kX11WindowProperty));
        std::printf("%llu\n", static_cast<unsigned long long>(x11));
        return 0;
    }
    EnumWindows(PrintWindow, 0);
    return 0;
}
