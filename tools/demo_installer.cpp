// The demo installer the local download service hands out in place of the real product
// installer. It shows which edition it is and records the command line it was started with,
// so that the demo and the tests can see what the setup program started. The record is
// UTF-8, so that a path in any language is recorded as it is.
//
//   ORB_DEMO_RECORD     file to append the record to (default: %TEMP%\OrbVorexDemoInstaller.txt)
//   ORB_DEMO_AUTOCLOSE  when set, ends right after recording instead of showing its window
#include <windows.h>

#include <string>

namespace {

constexpr const char* kEdition = ORB_DEMO_EDITION;  // "Lite" or "Pro", set by the build

std::string RecordPath() {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ORB_DEMO_RECORD", path, MAX_PATH) > 0) return path;
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + "OrbVorexDemoInstaller.txt";
}

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length) - 1);
    return narrow;
}

void Record() {
    wchar_t self[32768] = {};
    GetModuleFileNameW(nullptr, self, 32768);
    const std::string line = std::string("edition=") + kEdition + "\r\nprogram=" + Utf8(self) +
                             "\r\ncommandline=" + Utf8(GetCommandLineW()) + "\r\n";
    HANDLE file = CreateFileA(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Record();
    if (GetEnvironmentVariableA("ORB_DEMO_AUTOCLOSE", nullptr, 0) > 0) return 0;
    const std::string text = std::string("Orb Vorex 2009 ") + kEdition +
                             " Trial\n\nThis is the demo installer of the local download service."
                             "\nIt was started with:\n" + GetCommandLineA();
    MessageBoxA(nullptr, text.c_str(), "Orb Vorex 2009 demo installer", MB_OK | MB_ICONINFORMATION);
    return 0;
}
