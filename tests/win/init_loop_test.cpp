// The main window's own loop, Init, as the program runs it: it waits for events instead of
// polling, and still runs timers, sees a cancel during a download and ends on the unload. And
// the version query that runs beside it, on a thread of its own.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "service_control.h"
#include "test_http_server.h"

#include "app/window/frm_main.h"
#include "app/version/latest_version.h"
#include "controls/button/cmd_orb.h"
#include "host/app.h"
#include "host/standard_controls.h"

namespace {

using wintest::ControlService;

struct NoBoxes : host::App::Effects {
    std::vector<std::string> boxes;
    int MsgBox(const std::string& text, int, const std::string&) override {
        boxes.push_back(text);
        return 1;
    }
    bool Shell(const std::string&, int) override { return true; }
    bool ShellOpen(const std::string&) override { return true; }
};

// What a test does while Init runs: called every 20 ms from a thread timer, which Init's loop
// (or a download inside it) dispatches. It may be called again while a call is still running.
std::function<void()> script;

// A timer procedure is stdcall on 32 bits, which a lambda cannot be.
void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD) { script(); }

struct InitLoop : testing::Test {
    NoBoxes effects;
    std::unique_ptr<frmMain> window;
    void SetUp() override {
        RegisterProgramControls();
        host::App::SetEffects(&effects);
        window = std::make_unique<frmMain>();
        ASSERT_TRUE(window->Loaded());
    }
    void TearDown() override {
        window.reset();
        host::App::SetEffects(nullptr);
        script = nullptr;
    }
    // Runs Init with the script ticking; the window is unloaded after `limitMs` whatever the
    // script does. True when Init returned before that limit.
    bool RunInit(DWORD limitMs) {
        const DWORD start = GetTickCount();
        bool timedOut = false;
        const auto steps = script;
        script = [&, steps] {
            if (GetTickCount() - start > limitMs && !window->Closing) {
                timedOut = true;
                window->Form().Unload();
            }
            if (!window->Closing) steps();
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunScript);
        window->Init();
        KillTimer(nullptr, timer);
        return !timedOut;
    }
    host::Timer& Indicator() { return *dynamic_cast<host::Timer*>(window->Form().FindControl("tCheckEmail")); }
    host::PictureBox& Frame() {
        return *dynamic_cast<host::PictureBox*>(window->Form().FindControl("picCheckEmailU"));
    }
};

TEST_F(InitLoop, RunsTheWindowsTimerAndEndsOnTheUnload) {
    int frames = 0;
    bool lastShown = false;
    script = [&] {
        if (!window->Form().Visible()) return;
        if (!Indicator().Enabled()) {
            Indicator().SetInterval(30);
            Indicator().SetEnabled(true);
        }
        if (Frame().Visible() != lastShown) {
            lastShown = !lastShown;
            if (++frames == 6) window->Form().Unload();
        }
    };
    EXPECT_TRUE(RunInit(10000)) << "the indicator showed " << frames << " frames";
    EXPECT_EQ(frames, 6);
    EXPECT_TRUE(window->Closing);
}

TEST_F(InitLoop, ACancelDuringADownloadIsSeen) {
    ControlService("reset=1&throttle=4000");  // the installer takes many seconds
    enum { Idle, Downloading, Cancelled, Done } step = Idle;
    DWORD cancelledAt = 0, endedAt = 0;
    std::string exitCaption;  // the buttons as the cancel left them (the unload ends them)
    bool installEnabled = false;
    script = [&] {
        switch (step) {
            case Idle:
                if (!window->Form().Visible()) return;
                step = Downloading;
                window->cmdInstall_Click();  // returns when the download has ended
                endedAt = GetTickCount();
                exitCaption = window->ExitButton().Caption();
                installEnabled = window->InstallButton().Enabled();
                step = Done;
                window->Form().Unload();
                break;
            case Downloading:
                if (window->InstallButton().Enabled()) return;
                Sleep(300);  // well into the download
                step = Cancelled;
                cancelledAt = GetTickCount();
                window->cmdExit_Click();
                break;
            case Cancelled:
            case Done:
                break;
        }
    };
    const bool ended = RunInit(20000);
    ControlService("reset=1");
    ASSERT_TRUE(ended);
    ASSERT_EQ(step, Done);
    ASSERT_NE(cancelledAt, 0u) << "Exit was never clicked during the download";
    EXPECT_LT(endedAt - cancelledAt, 1000u) << "the download went on after the cancel";
    EXPECT_TRUE(effects.boxes.empty()) << "a cancel shows no message";
    EXPECT_EQ(exitCaption, "Exit");
    EXPECT_TRUE(installEnabled);
}

// A server that takes connections and says nothing, reads nothing, until it is destroyed: to
// a client it is a server that never answers, or a TLS handshake that never ends.
class SilentServer {
public:
    SilentServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = wintest::ListenOnLoopback(port_);
        thread_ = std::thread([this] {
            for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
                taken_.push_back(client);
            }
        });
    }
    ~SilentServer() {
        closesocket(listener_);  // ends accept
        thread_.join();
        for (SOCKET client : taken_) closesocket(client);
        WSACleanup();
    }
    std::string Url(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + "/latest/version.txt";
    }

private:
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
    std::vector<SOCKET> taken_;
};

TEST(VersionQuery, AnsweredOnItsOwnThread) {
    ControlService("reset=1&version=20120623;2009.4.2");
    latestversion::VersionQuery query(ORB_SERVICE_ADDRESS "/latest/version.txt");
    EXPECT_EQ(query.Text(), "") << "no text before it is ready";
    ASSERT_EQ(WaitForSingleObject(query.Ready(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(query.Text(), "2009.4.2, June 23, 2012");
    ControlService("reset=1");
}

TEST(VersionQuery, AServerThatNeverAnswersNeitherBlocksNorHoldsUpTheEnd) {
    // Plain HTTP, and a TLS handshake that never ends (the server does not speak it).
    for (const char* scheme : {"http", "https"}) {
        SCOPED_TRACE(scheme);
        SilentServer silent;
        const std::string url = silent.Url(scheme);
        const DWORD start = GetTickCount();
        {
            latestversion::VersionQuery query(url);
            EXPECT_LT(GetTickCount() - start, 200u) << "starting the query waits for the server";
            EXPECT_EQ(WaitForSingleObject(query.Ready(), 500), static_cast<DWORD>(WAIT_TIMEOUT));
        }
        EXPECT_LT(GetTickCount() - start, 1000u) << "giving the query up waits for it";
    }
}

}  // namespace
