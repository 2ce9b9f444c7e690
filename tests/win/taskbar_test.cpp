// The taskbar button as the download shows it: the calls recorded in order, for a download
// that runs through, one whose line breaks and is resumed, one that fails, one cancelled.
#include "app/window/taskbar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install_helpers.h"
#include "service_control.h"

#include "app/window/frm_main.h"
#include "app/transfer/transfer.h"
#include "app/window/progress_watcher.h"
#include "host/app.h"
#include "host/form.h"
#include "host/standard_controls.h"

namespace {

const char* NameOf(modI::TaskbarState state) {
    switch (state) {
        case modI::TaskbarState::None: return "none";
        case modI::TaskbarState::Normal: return "normal";
        case modI::TaskbarState::Paused: return "paused";
        case modI::TaskbarState::Error: return "error";
    }
    return "?";
}

// Every call, as "state NAME" or "value N", with the window it was made for.
struct RecordedTaskbar : modI::TaskbarButton {
    std::vector<std::string> calls;
    std::vector<HWND> windows;
    void SetState(HWND window, modI::TaskbarState state) override {
        calls.push_back(std::string("state ") + NameOf(state));
        windows.push_back(window);
    }
    void SetValue(HWND window, int percent) override {
        calls.push_back("value " + std::to_string(percent));
        windows.push_back(window);
    }
    // The calls with each run of rising values folded into one "values rising to N".
    std::vector<std::string> Folded() const {
        std::vector<std::string> folded;
        int last = -1;
        for (const std::string& call : calls) {
            const int value = call.starts_with("value ") ? std::stoi(call.substr(6)) : -1;
            if (value < 0) {
                folded.push_back(call);
            } else if (value > last && last >= 0 && folded.back().starts_with("values rising")) {
                folded.back() = "values rising to " + std::to_string(value);
            } else {
                folded.push_back(value > last ? "values rising to " + std::to_string(value) : call);
            }
            last = value;
        }
        return folded;
    }
};

struct TaskbarFixture : testing::Test {
    host::Form form{"frmTaskbarTest"};
    host::PictureBox* bar = nullptr;
    RecordedTaskbar taskbar;
    DWORD savedWait = modI::ResumeWaitMs;
    void SetUp() override {
        form.Move(0, 0, 4500, 1500);
        form.Show();
        bar = &form.Add<host::PictureBox>("picPB");
        bar->Move(0, 0, 3030, 450);
        bar->SetAutoRedraw(true);
        modI::SetTaskbar(&taskbar);
        modI::ResumeWaitMs = 20;
    }
    void TearDown() override {
        modI::SetTaskbar(nullptr);
        modI::ResumeWaitMs = savedWait;
        wintest::ControlService("reset=1");
    }
    // The Lite installer through FetchUrl, with the service switched by `control`.
    void Download(const std::string& control, const bool& cancel = false) {
        wintest::ControlService("reset=1" + (control.empty() ? "" : "&" + control));
        std::string name;
        modI::ProgressWatcher progress(*bar);
        modI::FetchUrl({.address = ORB_SERVICE_ADDRESS "/files/OrbVorex2009LiteTrial.exe", .wantFile = true,
                        .minSize = 20000, .readLength = true},
                       name, cancel, &progress);
    }
};

TEST_F(TaskbarFixture, TheButtonFollowsTheDownload) {
    const struct {
        const char* control;
        std::vector<std::string> calls;
    } rows[] = {
        {"", {"state normal", "values rising to 100", "state none"}},
        {"cut_once=100000",  // about half of the installer, then the line breaks once
         {"state normal", "values rising to 54", "state paused", "state normal", "values rising to 100", "state none"}},
        {"cut_every=100000",  // three tries that bring nothing, then the failure
         {"state normal", "values rising to 54", "state paused", "state normal", "state paused", "state normal",
          "state paused", "state normal", "state error"}},
    };
    for (const auto& row : rows) {
        taskbar.calls.clear();
        Download(row.control);
        EXPECT_EQ(taskbar.Folded(), row.calls) << row.control;
        for (HWND window : taskbar.windows) EXPECT_EQ(window, form.hWnd()) << row.control;
    }
}

bool cancelled = false;
void CALLBACK CancelNow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    cancelled = true;
}

TEST_F(TaskbarFixture, ACancelledDownloadLeavesThePlainButton) {
    cancelled = false;
    SetTimer(nullptr, 0, 300, &CancelNow);  // its message comes while the download's events run
    Download("throttle=200000", cancelled);
    ASSERT_TRUE(cancelled);
    const auto folded = taskbar.Folded();
    ASSERT_EQ(folded.size(), 3u);
    EXPECT_EQ(folded[0], "state normal");
    EXPECT_TRUE(folded[1].starts_with("values rising to ")) << folded[1];
    EXPECT_EQ(folded[2], "state none");
}

TEST_F(TaskbarFixture, AFailureShowsRedWhileItsMessageShows) {
    RegisterProgramControls();
    wintest::RecordedEffects effects;
    host::App::SetEffects(&effects);
    {
        frmMain window;
        window.Form().Show();
        wintest::ControlService("reset=1&status=404");
        window.cmdInstall_Click();
        EXPECT_EQ(effects.boxes.size(), 1u);
        EXPECT_EQ(taskbar.calls, (std::vector<std::string>{"state error", "state none"}));
        for (HWND shown : taskbar.windows) EXPECT_EQ(shown, window.Form().hWnd());
    }
    host::App::SetEffects(nullptr);
}

// The program runs elevated and the shell does not: the window lets the shell's announcement
// through the message filter before it waits for it.
struct FilterCall {
    HWND window;
    UINT message;
    DWORD action;
};
std::vector<FilterCall> filterCalls;
BOOL WINAPI RecordFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    filterCalls.push_back({window, message, action});
    return TRUE;
}

TEST_F(TaskbarFixture, TheShellsAnnouncementIsLetThroughTheMessageFilter) {
    const auto saved = modI::WindowMessageFilter;
    modI::WindowMessageFilter = &RecordFilter;
    filterCalls.clear();
    RegisterProgramControls();
    {
        frmMain window;
        window.Form().Show();
        ASSERT_EQ(filterCalls.size(), 1u) << "nothing lets TaskbarButtonCreated through to the elevated window";
        EXPECT_EQ(filterCalls[0].window, window.Form().hWnd());
        EXPECT_EQ(filterCalls[0].message, RegisterWindowMessageA("TaskbarButtonCreated"));
        EXPECT_EQ(filterCalls[0].action, static_cast<DWORD>(MSGFLT_ALLOW));
    }
    modI::WindowMessageFilter = saved;
}

// The system's own button once the shell has announced it: under Wine its calls are stubs
// that answer S_OK, and the shell never announces a button, so this only shows that the
// announced path runs without harm.
TEST_F(TaskbarFixture, TheSystemsButtonTakesTheCallsOnceAnnounced) {
    modI::SetTaskbar(nullptr);
    RegisterProgramControls();
    {
        frmMain window;
        window.Form().Show();
        SendMessageA(window.Form().hWnd(), RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
        modI::ShowOnTaskbar(window.Form().hWnd(), modI::TaskbarState::Normal, 40);
        modI::ShowOnTaskbar(window.Form().hWnd(), modI::TaskbarState::None);
        EXPECT_TRUE(window.Form().Visible()) << "the watched window stopped answering";
    }
}

}  // namespace
