// The install command's decisions on a real main window: message boxes, the progress bar,
// the indicator, the buttons, what is saved and what is started.
#include <gtest/gtest.h>

#include "install_helpers.h"
#include "service_control.h"

#include <string>
#include <vector>

#include "app/files.h"
#include "app/frm_main.h"
#include "app/transfer.h"
#include "controls/button/cmd_orb.h"
#include "host/app.h"
#include "host/standard_controls.h"

namespace {

using wintest::DesktopPath;
using wintest::FileBytes;
using wintest::RecordedEffects;

constexpr const char* kBusy = "The download server is busy right now. Please try again later.";
constexpr const char* kFailure =
    "The installer could not be downloaded. Please check your Internet connection and your e-mail "
    "address, then try it again.";
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
        std::string body = c.body;
        window->FinishInstall(body, c.fileName);
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
    window->FinishInstall(body, kName);
    ASSERT_EQ(effects.started.size(), 1u);
    EXPECT_EQ(effects.started[0], "\"" + DesktopPath(kName) + "\" /source=web");
    EXPECT_EQ(effects.startStyles[0], 2);
    EXPECT_TRUE(effects.boxes.empty());
    EXPECT_TRUE(window->Closing);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(DesktopPath(kName).c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 30000u);
}

TEST_F(InstallFixture, AnOldFileThatCannotBeReplacedStartsNothing) {
    // An open file without sharing cannot be deleted or rewritten.
    const std::string path = DesktopPath(kName);
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(path, "old", written, false, error));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AsIfDownloading();
    std::string body(30000, 'x');
    window->FinishInstall(body, kName);
    CloseHandle(held);
    EXPECT_TRUE(effects.started.empty());
    ASSERT_EQ(effects.boxes.size(), 1u);
    EXPECT_EQ(effects.boxes[0].text, kFailure);
    EXPECT_FALSE(window->Closing);
    EXPECT_TRUE(window->InstallButton().Enabled());
}

TEST_F(InstallFixture, WithoutADesktopNothingIsDeletedOrWrittenAnywhere) {
    // Joined with an empty folder, the name would point at the root of the current drive.
    char oldDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, oldDirectory);
    std::string desktop;
    ASSERT_TRUE(modMain::GetSpecialFolderPath(nullptr, 0, desktop));
    ASSERT_TRUE(SetCurrentDirectoryA(desktop.c_str()));  // a drive of Wine's own, C:
    char rootFile[MAX_PATH] = {};
    GetFullPathNameA((std::string("\\") + kName).c_str(), MAX_PATH, rootFile, nullptr);
    const std::string old = "a file of the installer's name that is not the installer's";
    std::uint32_t written = 0, error = 0;
    ASSERT_TRUE(modMain::WriteDataFile(rootFile, old, written, false, error)) << rootFile;

    const struct {
        const char* name;
        bool found;  // what the lookup answers; the folder stays empty
    } cases[] = {{"the lookup fails", false}, {"the lookup gives an empty path", true}};
    for (const auto& c : cases) {
        effects.boxes.clear();
        window->FindDesktop = [&c](std::string&) { return c.found; };
        AsIfDownloading();
        std::string body(30000, 'x');
        window->FinishInstall(body, kName);
        EXPECT_TRUE(FileBytes(rootFile) == old) << c.name << ": " << rootFile << " was changed";
        EXPECT_TRUE(effects.started.empty()) << c.name;
        ASSERT_EQ(effects.boxes.size(), 1u) << c.name;
        EXPECT_EQ(effects.boxes[0].text, kFailure) << c.name;
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
    std::string body = "UPDATING";
    window->FinishInstall(body, "");
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

}  // namespace
