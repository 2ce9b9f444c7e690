#include "host/app.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/form.h"
#include "host/wide_text.h"

namespace host {

namespace {

constexpr double kTwipsPerInch = 1440.0;

struct Measures {
    int x = 15;
    int y = 15;
};

const Measures& ScreenMeasures() {
    static const Measures measures = [] {
        Measures m;
        const WindowDc screen(nullptr);
        if (!screen) return m;  // the 96-dpi values
        const int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
        const int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
        if (dpiX > 0) m.x = std::max(1, static_cast<int>(std::lround(kTwipsPerInch / dpiX)));
        if (dpiY > 0) m.y = std::max(1, static_cast<int>(std::lround(kTwipsPerInch / dpiY)));
        return m;
    }();
    return measures;
}

std::vector<Form*>& LoadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

App::Effects& RealEffects() {
    static App::Effects real;
    return real;
}

App::Effects* currentEffects = nullptr;

App::Effects& CurrentEffects() { return currentEffects ? *currentEffects : RealEffects(); }

// "#12" names the integer resource 12; anything else is a resource name.
LPCSTR ResourceName(const char* id) {
    if (id && id[0] == '#' && id[1] != '\0') {
        char* end = nullptr;
        const unsigned long number = std::strtoul(id + 1, &end, 10);
        if (*end == '\0' && number > 0 && number <= 0xFFFF) {
            return MAKEINTRESOURCEA(static_cast<WORD>(number));
        }
    }
    return id;
}

}  // namespace

int App::Effects::MsgBox(const std::string& text, int style, const std::string& title) {
    HWND owner = GetActiveWindow();
    return MessageBoxW(owner, Widen(text, CP_UTF8).c_str(), Widen(title, CP_UTF8).c_str(),
                       static_cast<UINT>(style) | MB_OK | MB_SETFOREGROUND);
}

bool App::Effects::Shell(const std::string& commandLine, int windowStyle) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION process{};
    std::wstring line = Widen(commandLine, CP_UTF8);  // CreateProcessW may write into the command line
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    const unique_thread thread(process.hThread);
    const unique_process started(process.hProcess);
    return true;
}

bool App::Effects::ShellOpen(const std::string& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32;
}

int App::TwipsPerPixelX() { return ScreenMeasures().x; }
int App::TwipsPerPixelY() { return ScreenMeasures().y; }

void App::DoEvents() {
    MSG msg;
    // Taken and dispatched in UTF-16, so that a character typed into a Unicode window (the
    // text box) stays what it is; the system hands ANSI windows their own form.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

bool App::WaitForEvents(HANDLE handle, DWORD timeoutMs) {
    // MWMO_INPUTAVAILABLE: messages already in the queue end the wait too, not only new ones.
    const DWORD count = handle ? 1 : 0;
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr, timeoutMs, QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
    if (count == 1 && woke == WAIT_OBJECT_0) return true;
    DoEvents();
    return false;
}

void App::Dispatch(MSG& msg) {
    if (Form::TakeDialogKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

const std::vector<Form*>& App::Forms() { return LoadedForms(); }

void App::AddForm(Form* form) {
    auto& forms = LoadedForms();
    if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
}

void App::RemoveForm(Form* form) {
    auto& forms = LoadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

int App::MsgBox(const std::string& text, int style, const std::string& title) {
    return CurrentEffects().MsgBox(text, style, title);
}

bool App::Shell(const std::string& commandLine, int windowStyle) {
    return CurrentEffects().Shell(commandLine, windowStyle);
}

bool App::ShellOpen(const std::string& target) { return CurrentEffects().ShellOpen(target); }

void App::SetEffects(Effects* effects) { currentEffects = effects; }

PicturePtr App::LoadIconPicture(const char* id) {
    return LoadPicture({PictureSource::Kind::Icon, id ? id : "", {}});
}

PicturePtr App::LoadBitmapPicture(const char* id) {
    return LoadPicture({PictureSource::Kind::Bitmap, id ? id : "", {}});
}

PicturePtr App::LoadPicture(const PictureSource& source) {
    const bool icon = source.kind == PictureSource::Kind::Icon;
    const UINT type = icon ? IMAGE_ICON : IMAGE_BITMAP;
    HANDLE handle = nullptr;
    if (!source.resource.empty()) {
        handle = LoadImageA(GetModuleHandleA(nullptr), ResourceName(source.resource.c_str()), type,
                            0, 0, icon ? LR_DEFAULTSIZE : LR_CREATEDIBSECTION);
    } else if (!source.file.empty()) {
        handle = LoadImageA(nullptr, source.file.c_str(), type, 0, 0,
                            LR_LOADFROMFILE | (icon ? LR_DEFAULTSIZE : LR_CREATEDIBSECTION));
    }
    if (icon) return Picture::FromIcon(static_cast<HICON>(handle), source);
    return Picture::FromBitmap(static_cast<HBITMAP>(handle), source);
}

}  // namespace host
