#include "app/frm_main.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

#include "app/files.h"
#include "app/install_rules.h"
#include "app/latest_version.h"
#include "app/mod_main.h"
#include "app/signature.h"
#include "app/texts.h"
#include "app/transfer.h"
#include "support/window_helpers.h"
#include "controls/button/cmd_orb.h"
#include "controls/captionbar/tit_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/form_loader.h"
#include "host/handles.h"
#include "host/high_contrast.h"
#include "host/standard_controls.h"
#include "host/wide_text.h"

namespace {

constexpr int kInformation = 64;  // message-box style: information icon, OK
constexpr int kCritical = 16;     // message-box style: critical icon, OK
constexpr int kShowMinimizedActive = 2;
constexpr std::int32_t kDesktopFolder = 0;
// How long showing the window takes at most before it is on the screen (measured under Wine:
// 40 to 70 ms); the wait for the version ends this much before the window must be visible.
constexpr DWORD kShowingTakesMs = 150;

// A control the window's description must hold; missing, it leaves `complete` false.
template <typename T>
T* Find(host::Form& form, const char* name, bool& complete, std::optional<int> index = {}) {
    auto* control = dynamic_cast<T*>(form.FindControl(name, index));
    if (!control) complete = false;
    return control;
}

}  // namespace

void RegisterProgramControls() {
    host::RegisterControlType<cmdOrb>("cmdOrb");
    host::RegisterControlType<lblOrb>("lblOrb");
    host::RegisterControlType<titOrb>("titOrb");
}

frmMain::frmMain() {
    const auto loaded = host::LoadFormFromResource(form_, "FRMMAIN");
    controlsFound_ = FindControls() && loaded.Ok();
    if (controlsFound_) ConnectEvents();
    if (controlsFound_) DescribeForAssistiveTechnology();
}

// What the controls cannot tell assistive technology themselves: the e-mail box is named by
// the label beside it, the comparison link is a link, the picture box a progress bar.
void frmMain::DescribeForAssistiveTechnology() {
    if (auto* label = dynamic_cast<lblOrb*>(form_.FindControl("lblEmail"))) {
        txtEmail->SetAccessibleName(host::SpokenCaption(label->Caption()));
    }
    lblVersionComparison->SetAccessibleRole(ROLE_SYSTEM_LINK);
    picPB->SetAccessibleRole(ROLE_SYSTEM_PROGRESSBAR);
    picPB->SetAccessibleName(L"Download progress");
}

bool frmMain::FindControls() {
    bool complete = true;
    mTitleBar = Find<titOrb>(form_, "mTitleBar", complete);
    cmdInstall = Find<cmdOrb>(form_, "cmdInstall", complete);
    cmdExit = Find<cmdOrb>(form_, "cmdExit", complete);
    lblLatestVersionVal = Find<lblOrb>(form_, "lblLatestVersionVal", complete);
    lblVersionComparison = Find<lblOrb>(form_, "lblVersionComparison", complete);
    chkAddToNewsAndUpdates = Find<lblOrb>(form_, "chkAddToNewsAndUpdates", complete);
    optPro = Find<host::OptionButton>(form_, "optProLite", complete, 1);
    txtEmail = Find<host::TextBox>(form_, "txtEmail", complete);
    picPB = Find<host::PictureBox>(form_, "picPB", complete);
    picCheckEmailU = Find<host::PictureBox>(form_, "picCheckEmailU", complete);
    picCheckEmailM = Find<host::PictureBox>(form_, "picCheckEmailM", complete);
    tCheckEmail = Find<host::Timer>(form_, "tCheckEmail", complete);
    return complete;
}

void frmMain::ConnectEvents() {
    mTitleBar->DrawControl = [this](HDC& hTitDC) { DrawCaptionText(hTitDC); };
    cmdExit->OnClick = [this] { cmdExit_Click(); };
    cmdInstall->OnClick = [this] { cmdInstall_Click(); };
    // Unloading also ends a running download at its next read, as a cancel does: the
    // transfer must not go on drawing into a window that is going away.
    form_.OnUnload = [this](int&) {
        Closing = true;
        Cancelled = true;
    };
    lblVersionComparison->OnMouseDown = [](host::I2&, host::I2&, float&, float&) {
        modMain::OpenDocument(texts::CompareUrl.Decode());
    };
    lblVersionComparison->OnMouseMove = [this](host::I2&, host::I2&, float&, float&, host::I4& state) {
        lblVersionComparison_MouseMove(state);
    };
    tCheckEmail->OnTick = [this] { tCheckEmail_Timer(); };
    picCheckEmailU->SetPicture(host::App::LoadBitmapPicture("INDICATOR_U"));
    picCheckEmailM->SetPicture(host::App::LoadBitmapPicture("INDICATOR_M"));
}

bool frmMain::Init() {
    if (!controlsFound_) {
        // A program file without its window description cannot set anything up.
        host::App::MsgBox(texts::FailureMessage.Decode(), kCritical, texts::MessageTitle.Decode());
        return false;
    }
    // The version query runs while the window is set up. An answer in time shows with the
    // window; otherwise the window shows with "Connecting..." and takes the answer later.
    const DWORD started = modMain::StartTick.value_or(GetTickCount());
    frmMainQueries::VersionQuery version(texts::VersionUrl.Decode());
    SetupTitleBar();
    std::int32_t frameX = 0, frameY = 0;
    modMain::ShapeWindow(form_, 40, true, 2, 5, 42, 55, 65, frameX, frameY);
    const auto& bounds = frmMainQueries::QueryBounds;
    const DWORD waitBeforeShowing = bounds.showWithinMs - std::min(bounds.showWithinMs, kShowingTakesMs);
    bool versionShown = AwaitVersion(version, started, waitBeforeShowing);
    if (Closing) return false;  // unloaded before it was shown: nothing more to show
    form_.Show();

    const std::string buttonType = texts::ButtonTypeName.Decode();
    for (host::Control* control : form_.Controls()) {
        if (control->TypeName() != buttonType) continue;
        auto& button = static_cast<cmdOrb&>(*control);
        if (host::Container* container = button.Parent()) {
            modMain::DrawButtonShadow(button, container->hDC(), false);
        }
        button.SetButtonClickHeight(3 * modMain::TwipsPerPixelY);
    }
    form_.Refresh();  // the shadows went into the window's persistent image: show them
    txtEmail->SetFocus();
    DrawCaptionText(mTitleBar->hdc());
    mTitleBar->Refresh();  // the title went into the bar's persistent image: show it

    if (!versionShown) versionShown = AwaitVersion(version, started, bounds.endWithinMs);
    if (!versionShown && !Closing) lblLatestVersionVal->SetCaption(host::Widen(texts::VersionError.Decode(), CP_ACP));
    while (!Closing) host::App::WaitForEvents(nullptr, INFINITE);
    return false;
}

// Runs the window's events until the version text is in (and shows it), `boundMs` after
// `started` has passed, or the window is unloading. True when the text is shown.
bool frmMain::AwaitVersion(const frmMainQueries::VersionQuery& version, DWORD started, DWORD boundMs) {
    while (!Closing) {
        const DWORD elapsed = GetTickCount() - started;  // unsigned: survives the tick wrap
        if (elapsed >= boundMs) return false;
        if (host::App::WaitForEvents(version.Ready(), boundMs - elapsed)) {
            lblLatestVersionVal->SetCaption(host::Widen(version.Text(), CP_ACP));
            return true;
        }
    }
    return false;
}

void frmMain::SetupTitleBar() {
    mTitleBar->InitMenu(1, 0x8000000F, 0x8000000D, form_.GetFont(), false, true, false,
                        42 * modMain::TwipsPerPixelY, 4, true, nullptr, true, 0, 0, false, false, false,
                        0, 0, true, false, true, 3);
    titOrb::Colour background = RGB(180, 180, 180), highlight = RGB(0, 0, 0);
    titOrb::Colour glyphs = RGB(255, 255, 255), highlightGlyphs = RGB(255, 255, 255);
    mTitleBar->SynchColorsNow(background, highlight, glyphs, highlightGlyphs);
    mTitleBar->SetTitlebar(false);
    mTitleBar->SetDrawControlBoxes(true);
    mTitleBar->SetAllowMaximize(false);
    // One icon, decoded once, serves as the logo and as the window's icon.
    const std::string iconId = texts::IconResourceId.Decode();
    const host::PicturePtr icon = host::App::LoadIconPicture(iconId.c_str());
    mTitleBar->SetLogo(icon, true, 6, 9, 48, 48, 9, 65, -8, -8);
    form_.SetIcon(icon);
}

void frmMain::DrawCaptionText(HDC hdc) {
    if (!form_.Visible()) return;
    const std::string face = texts::TitleFontFace.Decode();
    host::unique_font font(CreateFontA(-18, 10, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH, face.c_str()));
    const std::wstring title = host::Widen(modMain::AppTitle, CP_ACP);
    host::SelectObjectScope selected(hdc, font.get());
    const COLORREF previousColour = GetTextColor(hdc);
    SetTextAlign(hdc, TA_LEFT | TA_TOP);
    if (host::HighContrast()) {
        // In the system's colours, on the bar's highlight colour, without the shadow.
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(hdc, RGB(80, 80, 80));
        TextOutW(hdc, 43, 24, title.c_str(), static_cast<int>(title.size()));
        SetTextColor(hdc, RGB(220, 220, 220));
    }
    TextOutW(hdc, 40, 21, title.c_str(), static_cast<int>(title.size()));
    SetTextColor(hdc, previousColour);
}

void frmMain::cmdExit_Click() {
    if (cmdInstall->Enabled()) {
        form_.Unload();
    } else {
        Cancelled = true;
    }
}

void frmMain::lblVersionComparison_MouseMove(int state) {
    if (state == 1) {
        if (!LinkHover) {
            LinkHover = true;
            SetCursor(LoadCursor(nullptr, IDC_HAND));
        }
    } else if (LinkHover) {
        LinkHover = false;
    }
}

void frmMain::tCheckEmail_Timer() {
    if (!picCheckEmailU->Visible()) {
        picCheckEmailU->SetVisible(true);
        picCheckEmailM->SetVisible(false);
    } else {
        picCheckEmailM->SetVisible(true);
        picCheckEmailU->SetVisible(false);
    }
}

void frmMain::ShowFailure() {
    host::App::MsgBox(texts::FailureMessage.Decode(), kCritical, texts::MessageTitle.Decode());
}

void frmMain::cmdInstall_Click() {
    cmdInstall->SetEnabled(false);
    Cancelled = false;
    cmdExit->SetCaption(texts::CancelCaption.Decode());
    host::App::DoEvents();
    if (Closing) return;

    const bool pro = optPro->Value();
    const std::string address = modMain::BuildRequestAddress(txtEmail->Text(), pro, chkAddToNewsAndUpdates->Checked());
    std::string fileName;
    std::string body = modI::FetchUrl(address, "", true, fileName, picPB, Cancelled, tCheckEmail, 20000);
    // Closing the window during the download ends it as a cancel does; the window is going
    // away, so nothing more is drawn into it or read from it.
    if (Closing) return;
    FinishInstall(body, fileName);
}

void frmMain::FinishInstall(std::string& body, const std::string& fileName) {
    tCheckEmail->SetEnabled(false);

    switch (modMain::DecideInstallOutcome(body, Cancelled, fileName)) {
        case modMain::InstallOutcome::Busy:
            picCheckEmailU->SetVisible(false);
            picCheckEmailM->SetVisible(false);
            picPB->SetVisible(false);
            host::App::MsgBox(texts::BusyMessage.Decode(), kInformation, texts::MessageTitle.Decode());
            break;
        case modMain::InstallOutcome::Cancelled:
            cmdInstall->SetEnabled(true);
            cmdExit->SetEnabled(true);
            picPB->SetVisible(false);
            cmdExit->SetCaption(texts::ExitCaption.Decode());
            break;
        case modMain::InstallOutcome::Install:
            SaveAndStartInstaller(body, fileName);
            if (Closing) return;  // started: the window has been unloaded
            break;
        case modMain::InstallOutcome::NoFileName:
            picCheckEmailU->SetVisible(false);
            picCheckEmailM->SetVisible(false);
            ShowFailure();
            break;
        case modMain::InstallOutcome::Failed:
            picCheckEmailU->SetVisible(false);
            picCheckEmailM->SetVisible(false);
            picPB->SetVisible(false);
            ShowFailure();
            break;
    }
    cmdInstall->SetEnabled(true);
    cmdExit->SetEnabled(true);
}

bool frmMain::DesktopFolder(std::string& folder) {
    return modMain::GetSpecialFolderPath(nullptr, kDesktopFolder, folder);
}

// Saves the whole installer on the desktop and starts it, then unloads the window. The
// installer is started only when every byte is on disk and, in a build that names a
// signer, its signature holds: a file that could not be replaced or written completely, or
// that fails the signature check, is removed, the failure message shown, and the window stays.
void frmMain::SaveAndStartInstaller(std::string& body, const std::string& fileName) {
    picPB->SetVisible(false);
    host::App::DoEvents();
    if (Closing) return;
    std::string desktop;
    if (!FindDesktop(desktop) || desktop.empty()) {
        // Nowhere to save: joined with an empty folder the name would point at the root of
        // the current drive, so nothing is deleted or written.
        picCheckEmailU->SetVisible(false);
        picCheckEmailM->SetVisible(false);
        ShowFailure();
        return;
    }
    const std::string path = modMain::JoinPath(desktop, fileName);
    const bool oldFileRemains = !modMain::KillFile(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::uint32_t written = 0, lastError = 0;
    const bool saved = !oldFileRemains && modMain::WriteDataFile(path, body, written, false, lastError);
    std::string().swap(body);  // the installer is on disk now; give its memory back
    // A build that names the installer's signer starts only a file that signer signed.
    const bool trusted = saved && modMain::InstallerSignatureHolds(path);
    if (!trusted) {
        if (!oldFileRemains) DeleteFileA(path.c_str());
        picCheckEmailU->SetVisible(false);
        picCheckEmailM->SetVisible(false);
        ShowFailure();
        return;
    }
    host::App::DoEvents();
    if (Closing) return;
    const std::string commandLine = "\"" + path + "\"" + texts::InstallerArguments.Decode();
    if (!host::App::Shell(commandLine, kShowMinimizedActive)) {
        picCheckEmailU->SetVisible(false);
        picCheckEmailM->SetVisible(false);
        ShowFailure();
        return;
    }
    form_.Unload();
}
