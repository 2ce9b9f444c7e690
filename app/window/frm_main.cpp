#include "app/window/frm_main.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

#include "app/installer/files.h"
#include "app/installer/install_rules.h"
#include "app/version/latest_version.h"
#include "app/program/mod_main.h"
#include "app/window/caption_bar_setup.h"
#include "app/window/one_window.h"
#include "app/installer/signature.h"
#include "app/window/taskbar.h"
#include "app/texts/texts.h"
#include "app/transfer/transfer.h"
#include "app/window/progress_watcher.h"
#include "support/window_helpers.h"
#include "controls/button/cmd_orb.h"
#include "controls/captionbar/tit_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/color.h"
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
        windowing::OpenDocument(texts::CompareUrl.Decode());
    };
    lblVersionComparison->OnMouseMove = [this](host::I2&, host::I2&, float&, float&, host::I4& state) {
        lblVersionComparison_MouseMove(state);
    };
    tCheckEmail->OnTick = [this] { tCheckEmail_Timer(); };
    picCheckEmailU->SetPicture(host::App::LoadBitmapPicture("INDICATOR_U"));
    picCheckEmailM->SetPicture(host::App::LoadBitmapPicture("INDICATOR_M"));
    modI::WatchTaskbarButton(form_.hWnd());  // the download's progress goes on its button too
    modMain::AnswerSecondStarts(form_.hWnd());
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
    latestversion::VersionQuery version(texts::VersionUrl.Decode());
    SetupTitleBar();
    std::int32_t frameX = 0, frameY = 0;  // 0: taken from the system's frame metrics
    windowing::ShapeWindow(form_,
                         {.Curvature = 40,
                          .LogoBump = true,
                          .BumpLeftAdd = 2,
                          .BumpTop = 5,
                          .BumpRight = 42,
                          .BumpBottom = 55,
                          .BumpCurvature = 65},
                         frameX, frameY);
    const auto& bounds = latestversion::QueryBounds;
    const DWORD waitBeforeShowing = bounds.showWithinMs - std::min(bounds.showWithinMs, kShowingTakesMs);
    bool versionShown = AwaitVersion(version, started, waitBeforeShowing);
    if (Closing) return false;  // unloaded before it was shown: nothing more to show
    form_.FocusWhenShown(*txtEmail);
    form_.Show();

    const std::string buttonType = texts::ButtonTypeName.Decode();
    for (host::Control* control : form_.Controls()) {
        if (control->TypeName() != buttonType) continue;
        auto& button = static_cast<cmdOrb&>(*control);
        if (host::Container* container = button.Parent()) {
            windowing::DrawButtonShadow(button, container->hDC(), false);
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
bool frmMain::AwaitVersion(const latestversion::VersionQuery& version, DWORD started, DWORD boundMs) {
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
    // One icon, decoded once, serves as the logo and as the window's icon.
    const std::string iconId = texts::IconResourceId.Decode();
    const host::PicturePtr icon = host::App::LoadIconPicture(iconId.c_str());
    modMain::SetUpMainCaptionBar(form_, *mTitleBar, icon);
    form_.SetIcon(icon);
}

void frmMain::DrawCaptionText(HDC hdc) {
    if (!form_.Visible()) return;
    const std::string face = texts::TitleFontFace.Decode();
    LOGFONTA titleFont{};  // upright, default precision, quality and pitch
    titleFont.lfHeight = -18;  // characters 18 pixels high
    titleFont.lfWidth = 10;
    titleFont.lfWeight = FW_EXTRABOLD;
    titleFont.lfCharSet = DEFAULT_CHARSET;
    face.copy(titleFont.lfFaceName, LF_FACESIZE - 1);  // as CreateFontA cuts a longer name
    host::unique_font font(CreateFontIndirectA(&titleFont));
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
    // The taskbar button is red while the message shows, whatever failed.
    modI::ShowOnTaskbar(form_.hWnd(), modI::TaskbarState::Error);
    host::App::MsgBox(texts::FailureMessage.Decode(), kCritical, texts::MessageTitle.Decode());
    modI::ShowOnTaskbar(form_.hWnd(), modI::TaskbarState::None);
}

void frmMain::cmdInstall_Click() {
    cmdInstall->SetEnabled(false);
    Cancelled = false;
    cmdExit->SetCaption(texts::CancelCaption.Decode());
    host::App::DoEvents();
    if (Closing) return;

    const bool pro = optPro->Value();
    const std::optional<std::string> email = host::NarrowExactly(txtEmail->WideText(), CP_ACP);
    if (!email) {
        // The request carries the address in the ANSI code page: a character it cannot write
        // would reach the service as another address.
        host::App::MsgBox(texts::EmailNotSendable.Decode(), kCritical, texts::MessageTitle.Decode());
        cmdInstall->SetEnabled(true);
        cmdExit->SetCaption(texts::ExitCaption.Decode());
        return;
    }
    const std::string address = modMain::BuildRequestAddress(*email, pro, chkAddToNewsAndUpdates->Checked());
    std::string fileName;
    modMain::InstallerFile installer(FindDesktop, fileName);
    // The announced length decides: a reply shorter than an installer (20000 bytes) is a
    // notice, not a file.
    const modI::TransferRequest request{.address = address, .wantFile = true, .minSize = 20000, .readLength = true};
    modI::ProgressWatcher progress(*picPB, tCheckEmail);
    std::string reply = modI::FetchUrl(request, fileName, Cancelled, &progress, &installer);
    // Closing the window during the download ends it as a cancel does; the window is going
    // away, so nothing more is drawn into it or read from it.
    if (Closing) return;
    FinishInstall(reply, fileName, installer);
}

void frmMain::FinishInstall(const std::string& reply, const std::string& fileName, modMain::InstallerFile& installer) {
    tCheckEmail->SetEnabled(false);

    const std::uint64_t bodySize = reply.size() + installer.Size();
    const auto outcome = modMain::DecideInstallOutcome(reply, bodySize, Cancelled, fileName,
                                                       installer.Failure().has_value());
    if (outcome != modMain::InstallOutcome::Install) installer.Discard();  // before any message
    switch (outcome) {
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
        case modMain::InstallOutcome::NotSaved:
            picCheckEmailU->SetVisible(false);
            picCheckEmailM->SetVisible(false);
            picPB->SetVisible(false);
            ShowSaveFailure(*installer.Failure());
            break;
        case modMain::InstallOutcome::Install:
            SaveAndStartInstaller(installer);
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

bool frmMain::DesktopFolder(std::wstring& folder) {
    return modMain::GetSpecialFolderPath(nullptr, kDesktopFolder, folder);
}

void frmMain::ShowSaveFailure(const modMain::SaveFailure& failure) {
    const std::string reason = failure.error != ERROR_SUCCESS ? host::SystemErrorText(failure.error) : "";
    const std::string message =
        modMain::SaveFailureMessage(failure.step, host::Narrow(failure.path, CP_UTF8), reason);
    host::App::MsgBox(message, kCritical, texts::MessageTitle.Decode());
}

// Holds the whole installer, checks it, gives it its name on the desktop and starts it, then
// unloads the window. The installer is named and started only when the file as read back
// through the hold is the download and, in a build that names a signer, its signature holds
// as read through the same hold; it stays held from then until the installer's process exists. A file that could not be named, held or matched, or
// fails the signature check, or does not start, is removed (the installer object does that
// as it goes away), a message shown, and the window stays.
void frmMain::SaveAndStartInstaller(modMain::InstallerFile& installer) {
    picPB->SetVisible(false);
    host::App::DoEvents();
    if (Closing) return;
    const bool checked = installer.Finish(&modMain::InstallerSignatureHolds);
    if (!checked) {
        installer.Discard();
        picCheckEmailU->SetVisible(false);
        picCheckEmailM->SetVisible(false);
        if (installer.Failure()) {
            ShowSaveFailure(*installer.Failure());
        } else {
            ShowFailure();  // not the file downloaded, or not signed by the build's signer
        }
        return;
    }
    host::App::DoEvents();
    if (Closing) return;
    const std::string commandLine =
        "\"" + host::Narrow(installer.Path(), CP_UTF8) + "\"" + texts::InstallerArguments.Decode();
    if (!host::App::Shell(commandLine, kShowMinimizedActive)) {
        const DWORD error = GetLastError();
        installer.Discard();
        picCheckEmailU->SetVisible(false);
        picCheckEmailM->SetVisible(false);
        ShowSaveFailure({modMain::SaveStep::NotStarted, installer.Path(), error});
        return;
    }
    installer.Started();
    form_.Unload();
}
