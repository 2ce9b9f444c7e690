// The demo installer the local download service hands out in place of the real product
// installer. It shows which edition it is and records the command line it was started with,
// so that the demo and the tests can see what the setup program started.
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

void Record() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string line = std::string("edition=") + kEdition + "\r\nprogram=" + self +
                             "\r\ncommandline=" + GetCommandLineA() + "\r\n";
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
