// The install command's decisions on a real main window: message boxes, the progress bar,
// the indicator, the buttons, what is saved and what is started.
#include <gtest/gtest.h>

#include "install_helpers.h"
#include "service_control.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/installer/files.h"
#include "app/window/frm_main.h"
#include "app/transfer/transfer.h"
#include "controls/button/cmd_orb.h"
#include "host/app.h"
#include "host/standard_controls.h"
#include "host/wide_text.h"

namespace {

using wintest::DesktopPath;
using wintest::FileBytes;
using wintest::RecordedEffects;

constexpr const char* kBusy = "The download server is busy right now. Please try again later.";
constexpr const char* kFailure =
    "The installer could not be downloaded. Please check your Internet connection and your e-mail "
    "address, then try it again.";
constexpr const char* kNoDesktop = "The installer could not be saved: the desktop folder could not be found.";
constexpr const char* kTitle = "Orb Vorex Trial Web Setup";
constexpr const char* kName = "OrbVorexInstallTest.exe";

struct InstallFixture : testing::Test {
    RecordedEffects effects;
    std::unique_ptr<frmMain> window;
    void SetUp() override {
        RegisterProgramControls();
        host::App::SetEffects(&effects);
        window = std::make_unique<frmMain>();
        ASSERT_TRUE(window->Loaded());
        window->Form().Show();
        DeleteFileA(DesktopPath(kName).c_str());
    }
    void TearDown() override {
        window.reset();
        host::App::SetEffects(nullptr);
        DeleteFileA(DesktopPath(kName).c_str());
    }
    host::PictureBox& Picture(const char* name) {
        return *dynamic_cast<host::PictureBox*>(window->Form().FindControl(name));
    }
    // The state the download leaves before the decision: bar and one indicator frame shown.
    void AsIfDownloading() {
        window->InstallButton().SetEnabled(false);
        window->ExitButton().SetCaption("Cancel");
        Picture("picPB").SetVisible(true);
        Picture("picCheckEmailU").SetVisible(true);
    }
};

TEST_F(InstallFixture, DecisionTable) {
    const struct {
        const char* name;
        std::string body;
        bool cancelled;
        const char* fileName;
        const char* message;  // nullptr: no message box
        int style;
        bool barVisible;
        const char* exitCaption;
    } cases[] = {
        {"busy notice", "UPDATING", false, "", kBusy, 64, false, "Cancel"},
        {"busy in other letters", "updating", false, "", kFailure, 16, false, "Cancel"},
        {"cancelled", "", true, "", nullptr, 0, false, "Exit"},
        {"29999 bytes", std::string(29999, 'i'), false, kName, kFailure, 16, false, "Cancel"},
        {"30000 bytes without a name", std::string(30000, 'i'), false, "", kFailure, 16, true, "Cancel"},
        {"30000 bytes with an unsafe name", std::string(30000, 'i'), false, "..\\x.exe", kFailure, 16, true,
         "Cancel"},
    };
    for (const auto& c : cases) {
        effects.boxes.clear();
        AsIfDownloading();
        window->Cancelled = c.cancelled;
        wintest::FinishAsDownloaded(*window, c.body, c.fileName);
        if (c.message) {
            ASSERT_EQ(effects.boxes.size(), 1u) << c.name;
            EXPECT_EQ(effects.boxes[0].text, c.message) << c.name;
            EXPECT_EQ(effects.boxes[0].style, c.style) << c.name;
            EXPECT_EQ(effects.boxes[0].title, kTitle) << c.name;
        } else {
            EXPECT_TRUE(effects.boxes.empty()) << c.name;
        }
        EXPECT_EQ(Picture("picPB").Visible(), c.barVisible) << c.name;
        if (!c.cancelled) {
            EXPECT_FALSE(Picture("picCheckEmailU").Visible()) << c.name;
        }
        EXPECT_EQ(window->ExitButton().Caption(), c.exitCaption) << c.name;
        EXPECT_TRUE(window->InstallButton().Enabled()) << c.name;
        EXPECT_TRUE(effects.started.empty()) << c.name;
        EXPECT_EQ(GetFileAttributesA(DesktopPath(kName).c_str()), INVALID_FILE_ATTRIBUTES) << c.name;
    }
}

TEST_F(InstallFixture, AWholeInstallerIsSavedStartedMinimisedAndTheWindowUnloads) {
    AsIfDownloading();
    std::string body(30000, 'x');
    body[0] = 'M';
    wintest::FinishAsDownloaded(*window, body, kName);
    ASSERT_EQ(effects.started.size(), 1u);
    EXPECT_EQ(effects.started[0], "\"" + DesktopPath(kName) + "\" /source=web");
    EXPECT_EQ(effects.startStyles[0], 2);
    EXPECT_TRUE(effects.boxes.empty());
    EXPECT_TRUE(window->Closing);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(DesktopPath(kName).c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 30000u);
}

// The files in the desktop folder, hidden ones included.
std::vector<std::wstring> DesktopFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((wintest::DesktopFolderW() + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// A disk with room for 10000 bytes of the installer.
DWORD roomLeft = 0;
BOOL WINAPI FillingDisk(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    const DWORD fits = std::min(size, roomLeft);
    roomLeft -= fits;
    if (!WriteFile(file, data, fits, written, overlapped)) return FALSE;
    if (fits == size) return TRUE;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Message boxes recorded with what the desktop held while each was shown.
struct DesktopAtEachBox : RecordedEffects {
    std::vector<std::vector<std::wstring>> desktop;
    int MsgBox(const std::string& text, int style, const std::string& title) override {
        desktop.push_back(DesktopFiles());
        return RecordedEffects::MsgBox(text, style, title);
    }
};

TEST_F(InstallFixture, SaveFailuresSayWhatFailedWhereAndWhyAndLeaveNothingNew) {
    DesktopAtEachBox seen;
    host::App::SetEffects(&seen);
    const std::string path = DesktopPath(kName);
    const std::string old = "an older installer";
    HANDLE held = INVALID_HANDLE_VALUE;
    const struct {
        const char* name;
        const char* says;  // the message's first line
        bool namesThePath;
        DWORD error;  // whose system text the message ends with
        std::function<void()> arrange;
    } rows[] = {
        {"the desktop cannot be resolved", "The installer could not be saved: the desktop folder could not be found.",
         false, ERROR_PATH_NOT_FOUND,
         [&] {
             window->FindDesktop = [](std::wstring&) {
                 SetLastError(ERROR_PATH_NOT_FOUND);
                 return false;
             };
         }},
        {"the old file is held open by another program",
         "The installer could not be saved: an older file of the same name could not be replaced:", true,
         ERROR_ACCESS_DENIED,
         [&] {
             std::uint32_t written = 0, error = 0;
             ASSERT_TRUE(modMain::WriteDataFile(host::Widen(path, CP_ACP), old, written, false, error));
             held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(held, INVALID_HANDLE_VALUE);
         }},
        {"the disk fills up", "The installer could not be saved completely:", true, ERROR_DISK_FULL,
         [&] {
             roomLeft = 10000;
             modMain::WriteFileFunction = FillingDisk;
         }},
        {"the installer does not start", "The installer could not be started:", true, ERROR_BAD_EXE_FORMAT,
         [&] { seen.startFailsWith = ERROR_BAD_EXE_FORMAT; }},
    };
    for (const auto& row : rows) {
        seen.boxes.clear();
        row.arrange();
        const std::vector<std::wstring> before = DesktopFiles();
        AsIfDownloading();
        wintest::FinishAsDownloaded(*window, std::string(30000, 'x'), kName);
        const bool oldWasThere = held != INVALID_HANDLE_VALUE;
        if (oldWasThere) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
        modMain::WriteFileFunction = &WriteFile;
        seen.startFailsWith = ERROR_SUCCESS;
        window->FindDesktop = [](std::wstring& folder) { return modMain::GetSpecialFolderPath(nullptr, 0, folder); };

        ASSERT_EQ(seen.boxes.size(), 1u) << row.name;
        const std::string& text = seen.boxes[0].text;
        EXPECT_TRUE(text.starts_with(row.says)) << row.name << ": " << text;
        EXPECT_EQ(text.find(path) != std::string::npos, row.namesThePath) << row.name << ": " << text;
        EXPECT_TRUE(text.ends_with(host::SystemErrorText(row.error))) << row.name << ": " << text;
        EXPECT_EQ(seen.boxes[0].style, 16) << row.name;
        EXPECT_TRUE(seen.started.empty()) << row.name;
        EXPECT_FALSE(window->Closing) << row.name;
        EXPECT_TRUE(window->InstallButton().Enabled()) << row.name;
        EXPECT_EQ(DesktopFiles(), before) << row.name << ": something new was left on the desktop";
        EXPECT_EQ(seen.desktop.back(), before) << row.name << ": removed only after the message";
        if (oldWasThere) {
            EXPECT_EQ(FileBytes(path), old) << row.name << ": the old file was changed";
            DeleteFileA(path.c_str());
        }
    }
    host::App::SetEffects(&effects);
}

// The saved installer is held from its comparison until the installer runs: another program
// that tries to change it just before the start fails, and what starts is the download.
struct TamperingStart : RecordedEffects {
    std::vector<std::string> succeeded;  // what another program managed to do to the file
    std::string bytesAtStart;
    bool Shell(const std::string& commandLine, int windowStyle) override {
        const std::wstring file = host::Widen(commandLine.substr(1, commandLine.find('"', 1) - 1), CP_UTF8);
        HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        if (writer != INVALID_HANDLE_VALUE) {
            succeeded.push_back("opened for writing");
            CloseHandle(writer);
        }
        HANDLE appender = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        if (appender != INVALID_HANDLE_VALUE) {
            succeeded.push_back("opened for appending");
            CloseHandle(appender);
        }
        if (MoveFileW(file.c_str(), (file + L".other").c_str())) succeeded.push_back("renamed");
        if (DeleteFileW(file.c_str())) succeeded.push_back("deleted");
        if (CopyFileW(L"C:\\windows\\system32\\notepad.exe", file.c_str(), FALSE)) succeeded.push_back("copied over");
        bytesAtStart = FileBytes(host::Narrow(file, CP_ACP));
        return RecordedEffects::Shell(commandLine, windowStyle);
    }
};

TEST_F(InstallFixture, NobodyCanChangeTheCheckedInstallerBeforeItStarts) {
    TamperingStart tampering;
    host::App::SetEffects(&tampering);
    std::string download(300000, '\0');
    for (std::size_t i = 0; i < download.size(); ++i) download[i] = static_cast<char>(i * 7 + i / 251);
    AsIfDownloading();
    wintest::FinishAsDownloaded(*window, download, kName);
    host::App::SetEffects(&effects);
    ASSERT_EQ(tampering.started.size(), 1u);
    EXPECT_TRUE(tampering.succeeded.empty()) << tampering.succeeded.front();
    EXPECT_TRUE(tampering.bytesAtStart == download) << "the file started is not the download";
    EXPECT_TRUE(window->Closing);
    EXPECT_TRUE(DeleteFileA(DesktopPath(kName).c_str())) << "still held after the start";
}

// The checked file is held from the writer's close: what another program does to it at the
// one moment it can (between the writer's close and the hold) is found, and nothing starts.
TEST_F(InstallFixture, AFileChangedOrTakenBeforeItsHoldIsNotStartedAndTheOldOneStays) {
    const std::string path = DesktopPath(kName);
    const std::string old = "an older installer";
    HANDLE other = INVALID_HANDLE_VALUE;
    const struct {
        const char* name;
        std::function<void(const std::wstring& hidden)> meanwhile;
    } rows[] = {
        {"one byte flipped through another handle",
         [](const std::wstring& hidden) {
             HANDLE writer = CreateFileW(hidden.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(writer, INVALID_HANDLE_VALUE);
             SetFilePointer(writer, 1000, nullptr, FILE_BEGIN);
             DWORD wrote = 0;
             WriteFile(writer, "Q", 1, &wrote, nullptr);
             CloseHandle(writer);
         }},
        {"another file put in its place",
         [](const std::wstring& hidden) {
             const std::wstring impostor = hidden + L".impostor";
             std::uint32_t written = 0, error = 0;
             ASSERT_TRUE(modMain::WriteDataFile(impostor, std::string(30000, 'x'), written, false, error));
             ASSERT_TRUE(MoveFileExW(impostor.c_str(), hidden.c_str(), MOVEFILE_REPLACE_EXISTING));
         }},
        {"another program holds it so that it cannot be held",
         [&other](const std::wstring& hidden) {
             other = CreateFileW(hidden.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(other, INVALID_HANDLE_VALUE);
         }},
    };
    for (const auto& row : rows) {
        effects.boxes.clear();
        std::uint32_t written = 0, error = 0;
        ASSERT_TRUE(modMain::WriteDataFile(host::Widen(path, CP_ACP), old, written, false, error));
        const std::vector<std::wstring> before = DesktopFiles();
        modMain::InstallerFile::BeforeHold = row.meanwhile;
        AsIfDownloading();
        wintest::FinishAsDownloaded(*window, std::string(30000, 'x'), kName);
        modMain::InstallerFile::BeforeHold = nullptr;
        if (other != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(other, INVALID_HANDLE_VALUE));

        ASSERT_EQ(effects.boxes.size(), 1u) << row.name;
        EXPECT_EQ(effects.boxes[0].text, kFailure) << row.name;
        EXPECT_TRUE(effects.started.empty()) << row.name;
        EXPECT_FALSE(window->Closing) << row.name;
        EXPECT_EQ(DesktopFiles(), before) << row.name << ": something new was left on the desktop";
        EXPECT_EQ(FileBytes(path), old) << row.name << ": the old installer was changed";
        DeleteFileA(path.c_str());
    }
}

TEST_F(InstallFixture, WithoutADesktopNothingIsDeletedOrWrittenAnywhere) {
    // Joined with an empty folder, the name would point at the root of the current drive.
    char oldDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, oldDirectory);
    const std::string desktop = wintest::DesktopFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(desktop.c_str()));  // a drive of Wine's own, C:
    char rootFile[MAX_PATH] = {};
    GetFullPathNameA((std::string("\\") + kName).c_str(), MAX_PATH, rootFile, nullptr);
    const std::string old = "a file of the installer's name that is not the installer's";
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(host::Widen(rootFile, CP_ACP), old, written, false, error)) << rootFile;

    const struct {
        const char* name;
        bool found;  // what the lookup answers; the folder stays empty
    } cases[] = {{"the lookup fails", false}, {"the lookup gives an empty path", true}};
    for (const auto& c : cases) {
        effects.boxes.clear();
        window->FindDesktop = [&c](std::wstring&) { return c.found; };
        AsIfDownloading();
        wintest::FinishAsDownloaded(*window, std::string(30000, 'x'), kName);
        EXPECT_TRUE(FileBytes(rootFile) == old) << c.name << ": " << rootFile << " was changed";
        EXPECT_TRUE(effects.started.empty()) << c.name;
        ASSERT_EQ(effects.boxes.size(), 1u) << c.name;
        EXPECT_TRUE(effects.boxes[0].text.starts_with(kNoDesktop)) << c.name;
        EXPECT_FALSE(window->Closing) << c.name;
        EXPECT_TRUE(window->InstallButton().Enabled()) << c.name;
    }
    DeleteFileA(rootFile);
    SetCurrentDirectoryA(oldDirectory);
}

TEST_F(InstallFixture, TheIndicatorAlternatesOnlyWhileTheDownloadRuns) {
    auto& timer = *dynamic_cast<host::Timer*>(window->Form().FindControl("tCheckEmail"));
    auto& up = Picture("picCheckEmailU");
    auto& down = Picture("picCheckEmailM");
    timer.SetEnabled(true);
    timer.OnTick();
    const bool first = up.Visible();
    timer.OnTick();
    EXPECT_NE(up.Visible(), first);
    EXPECT_NE(up.Visible(), down.Visible());
    wintest::FinishAsDownloaded(*window, "UPDATING", "");
    EXPECT_FALSE(timer.Enabled()) << "the indicator stops when the download call returns";
}

TEST_F(InstallFixture, ExitCancelsWhileDownloadingAndUnloadsOtherwise) {
    window->InstallButton().SetEnabled(false);
    window->cmdExit_Click();
    EXPECT_TRUE(window->Cancelled);
    EXPECT_FALSE(window->Closing);
    window->InstallButton().SetEnabled(true);
    window->cmdExit_Click();
    EXPECT_TRUE(window->Closing);
}

using wintest::ControlService;

frmMain* unloading = nullptr;

// A timer procedure is called by the system: it must be stdcall in the 32-bit build, which a
// lambda is not.
void CALLBACK UnloadOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    unloading->Form().Unload();
}

TEST_F(InstallFixture, ClosingTheWindowDuringADownloadEndsItAndLeavesNothing) {
    ControlService("reset=1&throttle=20000");  // the demo installer then takes seconds
    unloading = window.get();
    const UINT_PTR timer = SetTimer(nullptr, 0, 400, &UnloadOnTimer);
    const DWORD start = GetTickCount();
    window->cmdInstall_Click();
    const DWORD took = GetTickCount() - start;
    KillTimer(nullptr, timer);
    ControlService("reset=1");
    EXPECT_TRUE(window->Closing);
    EXPECT_LT(took, 2000u) << "the download went on after the window was closed";
    EXPECT_TRUE(effects.boxes.empty());
    EXPECT_TRUE(effects.started.empty());
    EXPECT_EQ(GetFileAttributesA(DesktopPath("OrbVorex2009LiteTrial.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallFixture, ADownloadCutAfterMostOfItShowsTheFailureAndLeavesNothing) {
    // More than the smallest installer arrived before the line dropped: still a failure, with
    // the bar hidden as for any failed download, and the partial file gone.
    const std::vector<std::wstring> before = DesktopFiles();
    ControlService("reset=1&close_after=40000");
    AsIfDownloading();
    window->cmdInstall_Click();
    ControlService("reset=1");
    ASSERT_EQ(effects.boxes.size(), 1u);
    EXPECT_EQ(effects.boxes[0].text, kFailure);
    EXPECT_FALSE(Picture("picPB").Visible());
    EXPECT_TRUE(effects.started.empty());
    EXPECT_EQ(DesktopFiles(), before);
}

}  // namespace
