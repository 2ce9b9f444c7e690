// The setup program's one window: the caption bar, the edition choice, the e-mail box, the
// progress bar and the two buttons, loaded from the form description in the resources.
// Init shapes and fills the window, shows it with the version (or, while the service takes
// its time, with "Connecting..." and the version later) and runs it until it is unloaded;
// the install command downloads, saves and starts the chosen installer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "host/form.h"

class cmdOrb;
namespace checklabel {
class lblOrb;
}
using lblOrb = checklabel::lblOrb;
class titOrb;
namespace modMain {
class InstallerFile;
struct SaveFailure;
}  // namespace modMain
namespace latestversion {
class VersionQuery;
}

namespace host {
class OptionButton;
class PictureBox;
class TextBox;
class Timer;
}  // namespace host

class frmMain {
public:
    frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Runs the window; returns after it has been unloaded. The result is always false.
    bool Init();

    // The pointer is over the comparison link and the hand cursor has been set.
    bool LinkHover = false;
    // The user asked to stop a running download.
    bool Cancelled = false;
    // The window is being unloaded; ends Init's wait.
    bool Closing = false;

    // The parts tests reach.
    host::Form& Form() { return form_; }
    bool Loaded() const { return controlsFound_; }
    void cmdInstall_Click();
    void cmdExit_Click();
    // The install command after the download: decides on the short reply and on what went
    // to the installer file, and acts on it.
    void FinishInstall(const std::string& reply, const std::string& fileName, modMain::InstallerFile& installer);
    // Finds the folder the installer is saved in, the user's desktop; false when the shell
    // cannot resolve it. Tests replace it to see the install command without one.
    std::function<bool(std::wstring& folder)> FindDesktop = DesktopFolder;
    cmdOrb& InstallButton() { return *cmdInstall; }
    // Configures the caption bar as the window shows it: its boxes, colours and logo. Init
    // calls it; tests that do not run Init's loop call it to see the bar as a user does.
    void SetupTitleBar();
    cmdOrb& ExitButton() { return *cmdExit; }

private:
    static bool DesktopFolder(std::wstring& folder);
    bool FindControls();
    bool AwaitVersion(const latestversion::VersionQuery& version, DWORD started, DWORD boundMs);
    void ConnectEvents();
    void DescribeForAssistiveTechnology();
    void DrawCaptionText(HDC hdc);
    void ShowFailure();
    void ShowSaveFailure(const modMain::SaveFailure& failure);
    void SaveAndStartInstaller(modMain::InstallerFile& installer);
    void tCheckEmail_Timer();
    void lblVersionComparison_MouseMove(int state);

    host::Form form_{"frmMain"};
    bool controlsFound_ = false;

    titOrb* mTitleBar = nullptr;
    cmdOrb* cmdInstall = nullptr;
    cmdOrb* cmdExit = nullptr;
    lblOrb* lblLatestVersionVal = nullptr;
    lblOrb* lblVersionComparison = nullptr;
    lblOrb* chkAddToNewsAndUpdates = nullptr;
    host::OptionButton* optPro = nullptr;  // optProLite(1)
    host::TextBox* txtEmail = nullptr;
    host::PictureBox* picPB = nullptr;
    host::PictureBox* picCheckEmailU = nullptr;
    host::PictureBox* picCheckEmailM = nullptr;
    host::Timer* tCheckEmail = nullptr;
};

// Registers the program's own control types with the host, so that form descriptions can
// name them. Called once at start-up, before any form loads.
void RegisterProgramControls();
