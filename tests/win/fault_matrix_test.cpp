// Misbehaving download services and hostile replies, through the main window as a user meets
// them: the install command runs against the local service with one fault switched on, and a
// click on Exit follows 400 ms later. Each row checks what the window showed, that Exit answered
// within a second, what is on the desktop and what was started.
#include <gtest/gtest.h>

#include "install_helpers.h"
#include "pump.h"
#include "service_control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/installer/files.h"
#include "app/window/frm_main.h"
#include "app/transfer/transfer.h"
#include "app/transfer/transfer_rules.h"
#include "controls/button/cmd_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/standard_controls.h"

namespace {

using wintest::DesktopFolder;
using wintest::DesktopPath;
using wintest::FileBytes;
using wintest::RecordedEffects;

using wintest::ControlService;

constexpr DWORD kExitClickAfterMs = 400;
constexpr DWORD kExitAnswersWithinMs = 1000;
constexpr const char* kLiteInstaller = "OrbVorex2009LiteTrial.exe";
constexpr const char* kVersionError = "Unable to get version information now";

// What the user was shown when the install command ended.
enum class Seen { Installed, FailureBox, BusyBox, NothingAfterCancel };

const char* Describe(Seen seen) {
    switch (seen) {
        case Seen::Installed: return "installer saved and started";
        case Seen::FailureBox: return "failure message";
        case Seen::BusyBox: return "busy message";
        case Seen::NothingAfterCancel: return "nothing (cancelled)";
    }
    return "?";
}

std::vector<std::string> DesktopFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((DesktopFolder() + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void CleanDesktop() {
    for (const std::string& name : DesktopFiles()) DeleteFileA(DesktopPath(name).c_str());
}

// The installer the service serves: the demo installer built beside this program.
std::string ServedLiteInstaller() {
    std::string program = ORB_PROGRAM_FILE;  // ...\app\OrbVorexTrialWebSetup.exe
    program.resize(program.find_last_of("/\\"));
    program.resize(program.find_last_of("/\\"));
    return FileBytes(program + "/tools/" + kLiteInstaller);
}

// Every byte percent-encoded: how raw bytes travel in a control query.
std::string EncodeAll(const std::string& bytes) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 0x0F];
    }
    return out;
}

// Clicks a button with real mouse messages once, some time from now and once its window is
// on the screen (a user cannot click a window before it shows); remembers when.
class DelayedClick {
public:
    // `beforeClick` runs just before the click, to look at the window as the user sees it.
    void Arm(HWND button, DWORD afterMs, std::function<void()> beforeClick = {}) {
        target_ = button;
        beforeClick_ = std::move(beforeClick);
        clickedAt_ = 0;
        timer_ = SetTimer(nullptr, 0, afterMs, &DelayedClick::Fire);
    }
    ~DelayedClick() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
        beforeClick_ = nullptr;
    }
    static DWORD ClickedAt() { return clickedAt_; }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        timer_ = 0;
        if (IsWindow(target_) && !IsWindowVisible(GetAncestor(target_, GA_ROOT))) {
            timer_ = SetTimer(nullptr, 0, 50, &DelayedClick::Fire);
            return;
        }
        if (!IsWindow(target_)) {
            clickedAt_ = GetTickCount();
            return;
        }
        if (beforeClick_) beforeClick_();
        clickedAt_ = GetTickCount();
        RECT area;
        GetClientRect(target_, &area);
        const LPARAM middle = MAKELPARAM(area.right / 2, area.bottom / 2);
        PostMessageA(target_, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageA(target_, WM_LBUTTONUP, 0, middle);
    }
    static inline HWND target_ = nullptr;
    static inline std::function<void()> beforeClick_;
    static inline DWORD clickedAt_ = 0;
    static inline UINT_PTR timer_ = 0;
};

struct InstallRun {
    Seen seen = Seen::NothingAfterCancel;
    long exitAnsweredMs = -1;  // from the Exit click to the window answering it; -1: no answer
    std::vector<std::string> desktop;
    std::vector<std::string> started;
    bool closed = false;
};

struct FaultMatrix : testing::Test {
    void SetUp() override {
        RegisterProgramControls();
        CleanDesktop();
    }
    void TearDown() override {
        host::App::SetEffects(nullptr);
        ControlService("reset=1");
        CleanDesktop();
    }

    // One install as a user makes it, with the service switched by `control` first.
    InstallRun Install(const std::string& control, const std::string& email = "user@example.com") {
        ControlService("reset=1&reset_log=1" + (control.empty() ? "" : "&" + control));
        CleanDesktop();
        RecordedEffects effects;
        host::App::SetEffects(&effects);
        auto window = std::make_unique<frmMain>();
        EXPECT_TRUE(window->Loaded());
        window->Form().Show();
        dynamic_cast<host::TextBox&>(*window->Form().FindControl("txtEmail")).SetText(email);

        DelayedClick exitClick;
        exitClick.Arm(window->ExitButton().ControlHwnd(), kExitClickAfterMs);
        window->cmdInstall_Click();
        const DWORD returned = GetTickCount();

        InstallRun run;
        run.closed = window->Closing;
        if (!run.closed) {
            const DWORD clicked = DelayedClick::ClickedAt();
            if (clicked != 0) {
                run.exitAnsweredMs = static_cast<long>(returned - clicked);  // the click cancelled the download
            } else {
                // The download ended first: the click must now close the window.
                const DWORD deadline = returned + kExitClickAfterMs + 2 * kExitAnswersWithinMs;
                while (!window->Closing && static_cast<LONG>(deadline - GetTickCount()) > 0) {
                    host::App::DoEvents();
                    Sleep(1);
                }
                if (window->Closing) run.exitAnsweredMs = static_cast<long>(GetTickCount() - DelayedClick::ClickedAt());
            }
        }
        run.started = effects.started;
        if (!effects.started.empty()) {
            run.seen = Seen::Installed;
        } else if (!effects.boxes.empty()) {
            run.seen = effects.boxes[0].style == 64 ? Seen::BusyBox : Seen::FailureBox;
        }
        window.reset();
        host::App::SetEffects(nullptr);
        run.desktop = DesktopFiles();
        return run;
    }

    // The outcome, the answer to Exit and the disk, for a row expecting `expected`.
    // `shortBy`: the installer on the desktop is that many bytes shorter than the served one.
    // `appended`: bytes the service served after the installer (another entity of it).
    void Check(const InstallRun& run, Seen expected, const std::string& row, std::size_t shortBy = 0,
               const std::string& appended = {}) {
        EXPECT_EQ(Describe(run.seen), std::string(Describe(expected))) << row;
        if (expected == Seen::Installed) {
            ASSERT_EQ(run.desktop, std::vector<std::string>{kLiteInstaller}) << row;
            const std::string served = ServedLiteInstaller();
        EXPECT_EQ(FileBytes(DesktopPath(kLiteInstaller)), served.substr(0, served.size() - shortBy) + appended)
                << row << ": the saved file is not the served installer";
            ASSERT_EQ(run.started.size(), 1u) << row;
            EXPECT_TRUE(run.closed) << row;
            return;
        }
        EXPECT_TRUE(run.desktop.empty()) << row << ": something was saved on the desktop";
        EXPECT_TRUE(run.started.empty()) << row << ": something was started";
        EXPECT_GE(run.exitAnsweredMs, 0) << row << ": Exit did not answer";
        EXPECT_LE(run.exitAnsweredMs, static_cast<long>(kExitAnswersWithinMs)) << row;
    }
};

TEST_F(FaultMatrix, ServiceFaultsDuringTheDownload) {
    const struct {
        const char* control;
        Seen seen;
        std::size_t shortBy = 0;
    } rows[] = {
        {"", Seen::Installed},
        {"close_after=1000", Seen::FailureBox},
        {"rst_after=1000", Seen::FailureBox},
        {"length_delta=1000", Seen::FailureBox},   // announced more than the body
        // Announced less than the body: WinINet reads what was announced and stops there, so
        // the reply looks whole; nothing in it tells the program that more was meant.
        {"length_delta=-1000", Seen::Installed, 1000},
        {"no_length=1", Seen::FailureBox},
        {"chunked=full", Seen::FailureBox},  // no content length: an installer must announce one
        {"chunked=cut", Seen::FailureBox},
        {"chunked=no_end", Seen::FailureBox},
        {"stall=5", Seen::NothingAfterCancel},   // headers, then silence: Exit cancels
        {"silent=5", Seen::NothingAfterCancel},  // nothing at all: Exit cancels
        {"drip=5", Seen::NothingAfterCancel},    // a few bytes every 100 ms: Exit cancels
        {"status=404", Seen::FailureBox},
        {"status=403", Seen::FailureBox},
        {"status=500", Seen::FailureBox},
        {"status=404,large", Seen::FailureBox},  // the installer's body and name, under an error
        {"status=403,large", Seen::FailureBox},
        {"status=500,large", Seen::FailureBox},
        {"redirect=301", Seen::Installed},
        {"redirect=302", Seen::Installed},
        {"redirect=307", Seen::Installed},
        {"redirect=loop", Seen::FailureBox},
        {"busy=1", Seen::BusyBox},
    };
    for (const auto& row : rows) {
        Check(Install(row.control), row.seen, row.control[0] ? row.control : "no fault", row.shortBy);
    }
}

TEST_F(FaultMatrix, HostileFileNamesAreFailuresThatWriteNothing) {
    const std::string names[] = {
        "../x.exe", "..\\x.exe", "/abs.exe", "\\abs.exe", "C:x.exe", "Z:\\tmp\\x.exe",
        "\\\\server\\share\\x.exe", "setup.exe:evil", "CON", "nul.exe", "COM1.exe", "LPT9.exe",
        "setup.exe.", "setup.exe ", ".", "..", "...", "", "   ", "a%00b.exe", "%2e%2e%5cx.exe",
        "x%0d%0a.exe",
        "setup\xE2\x80\xAEtxt.exe",   // U+202E, right-to-left override, as UTF-8
        "setup%E2%80%AEtxt.exe",      // the same, percent-encoded
        std::string(296, 'a') + ".exe",
        "setup.lnk", "setup.msi",
    };
    for (const std::string& name : names) {
        const std::string disposition = "attachment; filename=\"" + name + "\"";
        Check(Install("disposition=" + EncodeAll(disposition)), Seen::FailureBox, "name [" + name + "]");
    }
    Check(Install("disposition=" + EncodeAll("attachment; filename=\"setup.exe")), Seen::FailureBox,
          "an unclosed quote");

    // Where the names above point, had they been followed.
    const std::string desktop = DesktopFolder();
    for (const std::string& path : {desktop + "\\..\\x.exe", desktop + "\\..\\abs.exe", std::string("C:\\x.exe"),
                                    std::string("C:\\abs.exe"), std::string("Z:\\abs.exe"),
                                    std::string("Z:\\tmp\\x.exe"), std::string("x.exe"), std::string("abs.exe")}) {
        EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " was written";
    }
}

// The requests the service saw since its log was last emptied: target, status and the
// Content-Range of a part each.
struct LoggedRequest {
    std::string target;
    int status = 0;
    std::string contentRange;
};

std::vector<LoggedRequest> LoggedRequests() {
    std::string name;
    const bool no = false;
    const std::string log = modI::FetchUrl({.address = ORB_SERVICE_ADDRESS "/_log"}, name, no);
    std::vector<LoggedRequest> requests;
    const std::string targetKey = "\"target\": \"", statusKey = "\"status\": ", rangeKey = "\"content_range\": \"";
    for (std::size_t at = log.find(targetKey); at != std::string::npos; at = log.find(targetKey, at)) {
        at += targetKey.size();
        LoggedRequest request;
        request.target = log.substr(at, log.find('"', at) - at);
        const std::size_t next = log.find(targetKey, at);
        const std::size_t status = log.find(statusKey, at);
        if (status < next) request.status = std::atoi(log.c_str() + status + statusKey.size());
        const std::size_t range = log.find(rangeKey, at);
        if (range < next) {
            const std::size_t from = range + rangeKey.size();
            request.contentRange = log.substr(from, log.find('"', from) - from);
        }
        requests.push_back(request);
    }
    return requests;
}

// The /dl requests among them.
std::vector<LoggedRequest> InstallRequests() {
    std::vector<LoggedRequest> requests;
    for (const LoggedRequest& request : LoggedRequests()) {
        if (request.target.starts_with("/dl?")) requests.push_back(request);
    }
    return requests;
}

// The query's pieces in order, each "key=value" with the value decoded.
std::vector<std::string> Pieces(const std::string& target) {
    std::vector<std::string> pieces;
    std::size_t start = target.find('?') + 1;
    while (start <= target.size()) {
        std::size_t end = target.find('&', start);
        if (end == std::string::npos) end = target.size();
        const std::string pair = target.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        const auto value = modI::UrlDecode(pair.substr(equals + 1));
        pieces.push_back(pair.substr(0, equals) + "=" + value.value_or("(malformed escape)"));
        start = end + 1;
    }
    return pieces;
}

TEST_F(FaultMatrix, EMailInputsReachTheServiceAsOnePiece) {
    // Typed text, and the e-mail piece the service must decode: lower-cased, blanks trimmed.
    const struct {
        std::string typed;
        std::string sent;
    } rows[] = {
        {"a@b.com&ed=p", "a@b.com&ed=p"},
        {"a@b.com#x", "a@b.com#x"},
        {"a b@c.com", "a b@c.com"},
        {"\xC4\xD6@b.com", "\xE4\xF6@b.com"},  // in the ANSI code page: capital and small umlauts
        {"  Mixed.Case@B.Com  ", "mixed.case@b.com"},
        {std::string(294, 'Q') + "@b.com", std::string(294, 'q') + "@b.com"},
        {"", ""},
    };
    std::vector<std::string> plainOthers;  // edition, subscription of an ordinary address
    for (const auto& row : rows) {
        const std::string label = "e-mail [" + row.typed.substr(0, 40) + "]";
        Check(Install("", row.typed), Seen::Installed, label);
        const auto requests = InstallRequests();
        ASSERT_EQ(requests.size(), 1u) << label;
        EXPECT_EQ(requests[0].status, 200) << label << ": the service refused the request";
        const auto pieces = Pieces(requests[0].target);
        ASSERT_EQ(pieces.size(), 4u) << label << ": " << requests[0].target;
        EXPECT_EQ(pieces[0], "em=" + row.sent) << label;
        const std::vector<std::string> others(pieces.begin() + 1, pieces.begin() + 3);
        if (plainOthers.empty()) plainOthers = others;
        EXPECT_EQ(others, plainOthers) << label << ": another piece of the request changed";
        EXPECT_TRUE(pieces[3].starts_with("tk=")) << label;
    }
    EXPECT_EQ(plainOthers, (std::vector<std::string>{"edn=l", "sub=off"}));
}

// A download whose line breaks, resumed (or not) as the service allows. Each row lists what the
// service answered, one "status content-range" (or "status") an installer request, in order.
TEST_F(FaultMatrix, BrokenDownloadsAreResumed) {
    const DWORD savedWait = modI::ResumeWaitMs;
    modI::ResumeWaitMs = 20;  // every row below ends long before the Exit click
    const std::size_t size = ServedLiteInstaller().size();
    const auto at = [&](int percent) { return size * percent / 100; };
    const auto part = [&](std::size_t from) {
        return "206 bytes " + std::to_string(from) + "-" + std::to_string(size - 1) + "/" + std::to_string(size);
    };
    const auto cut = [](std::size_t n) { return std::to_string(n); };
    const struct {
        std::string control;
        Seen seen;
        std::vector<std::string> answers;
        std::string appended = {};  // the installer saved: the served one followed by these bytes
    } rows[] = {
        {"cut_once=" + cut(at(10)), Seen::Installed, {"200", part(at(10))}},
        {"cut_once=" + cut(at(50)), Seen::Installed, {"200", part(at(50))}},
        {"cut_once=" + cut(at(99)), Seen::Installed, {"200", part(at(99))}},
        {"validators=date&cut_once=" + cut(at(50)), Seen::Installed, {"200", part(at(50))}},  // If-Range: the date
        {"redirect=302&cut_once=" + cut(at(50)), Seen::Installed, {"302", "200", part(at(50))}},  // the install asked once
        {"ignore_ranges=1&cut_once=" + cut(at(50)), Seen::Installed, {"200", "200"}},  // from a fresh start
        {"new_entity=1&cut_once=" + cut(at(50)), Seen::Installed, {"200", "200"}, std::string("\0entity 1", 9)},
        {"validators=date&new_entity=1&cut_once=" + cut(at(50)), Seen::Installed, {"200", "200"},
         std::string("\0entity 1", 9)},
        // The same break each time: three tries without progress, then the failure.
        {"cut_every=" + cut(at(50)), Seen::FailureBox, {"200", part(at(50)), part(at(50)), part(at(50))}},
        {"validators=none&cut_once=" + cut(at(50)), Seen::FailureBox, {"200"}},  // nothing to resume by
    };
    for (const auto& row : rows) {
        const InstallRun run = Install(row.control);
        Check(run, row.seen, row.control, 0, row.appended);
        std::vector<std::string> answers;
        for (const LoggedRequest& request : LoggedRequests()) {
            if (request.target.starts_with("/_")) continue;
            answers.push_back(std::to_string(request.status) +
                              (request.contentRange.empty() ? "" : " " + request.contentRange));
        }
        EXPECT_EQ(answers, row.answers) << row.control;
    }

    // Exit during the wait before a try: nothing is left, and no further try is made. The break
    // after progress is asked again at once; the try that brought nothing waits.
    modI::ResumeWaitMs = 5000;
    const InstallRun cancelled = Install("cut_every=" + cut(at(50)));
    Check(cancelled, Seen::NothingAfterCancel, "Exit while a resume waits");
    EXPECT_EQ(InstallRequests().size(), 2u) << "a try was made after the cancel";
    modI::ResumeWaitMs = savedWait;
}

// Types `text` into the window's e-mail box as a keyboard does: each UTF-16 unit as a key of
// its own (KEYEVENTF_UNICODE), through the host's message path.
void TypeIntoEmailBox(frmMain& window, const std::wstring& text) {
    auto& box = dynamic_cast<host::TextBox&>(*window.Form().FindControl("txtEmail"));
    box.SetText("");
    box.SetFocus();
    std::vector<INPUT> keys;
    for (wchar_t unit : text) {
        for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = unit;
            key.ki.dwFlags = KEYEVENTF_UNICODE | up;
            keys.push_back(key);
        }
    }
    wintest::SendInputAndPump(std::move(keys));
}

TEST_F(FaultMatrix, AnAddressTheRequestCannotCarryIsRefusedAndNothingIsSent) {
    const struct {
        const char* name;
        std::wstring typed;
        const char* sent;  // nullptr: refused, nothing reaches the service
    } rows[] = {
        {"a Cyrillic letter", L"\u0436ena@b.com", nullptr},
        {"a Chinese character", L"\u738B@b.com", nullptr},
        {"an umlaut the code page writes", L"\u00E4@b.com", "\xE4@b.com"},
    };
    for (const auto& row : rows) {
        ControlService("reset=1&reset_log=1");
        CleanDesktop();
        RecordedEffects effects;
        host::App::SetEffects(&effects);
        {
            frmMain window;
            ASSERT_TRUE(window.Loaded());
            window.Form().Show();
            window.Form().ZOrder();
            wintest::PumpFor(50);
            ASSERT_EQ(GetForegroundWindow(), window.Form().hWnd()) << "keys go to the foreground window";
            TypeIntoEmailBox(window, row.typed);
            window.cmdInstall_Click();
            if (row.sent) {
                EXPECT_EQ(effects.started.size(), 1u) << row.name;
                const auto requests = InstallRequests();
                ASSERT_EQ(requests.size(), 1u) << row.name;
                EXPECT_EQ(Pieces(requests[0].target)[0], std::string("em=") + row.sent) << row.name;
            } else {
                ASSERT_EQ(effects.boxes.size(), 1u) << row.name;
                EXPECT_EQ(effects.boxes[0].text,
                          "The e-mail address contains a character that cannot be sent. Please type it with "
                          "Latin letters only.")
                    << row.name;
                EXPECT_EQ(effects.boxes[0].style, 16) << row.name;
                EXPECT_TRUE(effects.started.empty()) << row.name;
                EXPECT_TRUE(InstallRequests().empty()) << row.name << ": a request reached the service";
                EXPECT_TRUE(window.InstallButton().Enabled()) << row.name;
                EXPECT_EQ(window.ExitButton().Caption(), "Exit") << row.name;
                EXPECT_FALSE(window.Closing) << row.name;
            }
        }
        host::App::SetEffects(nullptr);
        CleanDesktop();
    }
}

// The version file as the window shows it: Init runs the window, and Exit ends it.
struct VersionShown {
    std::wstring caption;
    long exitAnsweredMs = -1;
};

VersionShown RunWithVersionFile(const std::string& control) {
    ControlService("reset=1&" + control);
    RecordedEffects effects;
    host::App::SetEffects(&effects);
    VersionShown shown;
    {
        frmMain window;
        auto& label = dynamic_cast<lblOrb&>(*window.Form().FindControl("lblLatestVersionVal"));
        DelayedClick exitClick;
        exitClick.Arm(window.ExitButton().ControlHwnd(), kExitClickAfterMs,
                      [&] { shown.caption = label.Caption(); });
        window.Init();
        if (DelayedClick::ClickedAt() != 0) {
            shown.exitAnsweredMs = static_cast<long>(GetTickCount() - DelayedClick::ClickedAt());
        }
    }
    host::App::SetEffects(nullptr);
    ControlService("reset=1");
    return shown;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST_F(FaultMatrix, BrokenVersionFiles) {
    const struct {
        const char* name;
        std::string control;
        std::wstring caption;  // empty: checked below the table
    } rows[] = {
        {"empty", "version_body=", Wide(kVersionError)},
        {"binary junk", "version_body=" + EncodeAll(std::string("\x00\xFF\x13\x80junk\x01\x02", 10)),
         Wide(kVersionError)},
        {"month not digits", "version_body=" + EncodeAll("2026AB01;2009.4.2\r\n"), Wide(kVersionError)},
        {"day not digits", "version_body=" + EncodeAll("202612xy;2009.4.2\r\n"), L"2009.4.2, December 0, 2026"},
        {"one line of 1 MB", "long_line=1048576", L""},
    };
    for (const auto& row : rows) {
        const VersionShown shown = RunWithVersionFile(row.control);
        if (!row.caption.empty()) {
            EXPECT_EQ(shown.caption, row.caption) << row.name;
        } else {
            // The version runs to the end of the one line: the version line, then zeros.
            EXPECT_TRUE(shown.caption.starts_with(L"2009.4.2000")) << row.name;
            EXPECT_TRUE(shown.caption.ends_with(L"0, December 1, 2026")) << row.name;
        }
        EXPECT_GE(shown.exitAnsweredMs, 0) << row.name << ": Exit did not end the window";
        EXPECT_LE(shown.exitAnsweredMs, static_cast<long>(kExitAnswersWithinMs)) << row.name;
    }
}

}  // namespace
