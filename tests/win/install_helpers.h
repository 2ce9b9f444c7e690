// What the tests of the install command share: the program's effects recorded instead of
// shown or started, the desktop the installer is saved on, and a file's bytes.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/installer/files.h"
#include "app/window/frm_main.h"
#include "host/app.h"
#include "host/wide_text.h"

namespace wintest {

// Message boxes and program starts, recorded (their texts are UTF-8); a message box answers
// OK, a start succeeds and the shell opens nothing.
struct RecordedEffects : host::App::Effects {
    struct Box {
        std::string text;
        int style;
        std::string title;
    };
    std::vector<Box> boxes;
    std::vector<std::string> started;  // command lines
    std::vector<int> startStyles;      // their window styles, in the same order
    DWORD startFailsWith = ERROR_SUCCESS;  // another value: starting fails with it
    int MsgBox(const std::string& text, int style, const std::string& title) override {
        boxes.push_back({text, style, title});
        return 1;
    }
    bool Shell(const std::string& commandLine, int windowStyle) override {
        if (startFailsWith != ERROR_SUCCESS) {
            SetLastError(startFailsWith);
            return false;
        }
        started.push_back(commandLine);
        startStyles.push_back(windowStyle);
        return true;
    }
    bool ShellOpen(const std::string&) override { return true; }
};

inline std::wstring DesktopFolderW() {
    std::wstring desktop;
    modMain::GetSpecialFolderPath(nullptr, 0, desktop);
    return desktop;
}

inline std::string DesktopFolder() { return host::Narrow(DesktopFolderW(), CP_ACP); }

inline std::string DesktopPath(const std::string& name) { return DesktopFolder() + "\\" + name; }

// The whole file; empty when it cannot be read.
// The bytes of a file, read as a program that is being started reads it: sharing reading and
// deletion, so that a held installer can be read too.
inline std::string FileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}
inline std::string FileBytes(const std::string& path) { return FileBytes(host::Widen(path, CP_ACP)); }

// The install command's end as a download of `body` leaves it: a reply shorter than the
// smallest content length the download reads in its loop stays in memory, a longer body went
// to the installer file.
inline void FinishAsDownloaded(frmMain& window, const std::string& body, const std::string& fileName) {
    constexpr std::size_t kReadInTheLoopFrom = 20000;
    modMain::InstallerFile installer(window.FindDesktop, fileName);
    std::string reply;
    if (body.size() < kReadInTheLoopFrom) {
        reply = body;
    } else {
        installer.Append(body);
    }
    window.FinishInstall(reply, fileName, installer);
}

}  // namespace wintest
