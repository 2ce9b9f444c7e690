// The process side of the host: measures, the event pump, pictures from resources, and the
// message box, program start and shell open going through the effects seam.
#include "host/app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/form.h"
#include "pump.h"

namespace {

TEST(App, FifteenTwipsPerPixelOnThisScreen) {
    EXPECT_EQ(host::App::TwipsPerPixelX(), 15);
    EXPECT_EQ(host::App::TwipsPerPixelY(), 15);
}

TEST(App, DoEventsRunsPendingMessagesAndReturnsWhenNoneAreLeft) {
    host::Form form("frmPump");
    ASSERT_TRUE(form.Load());
    int ticks = 0;
    ASSERT_TRUE(form.StartTimer(1, 1, [&] { ++ticks; }));
    Sleep(30);
    host::App::DoEvents();
    EXPECT_GE(ticks, 1) << "a due timer is a pending event";

    const DWORD start = GetTickCount();
    host::App::DoEvents();
    EXPECT_LT(GetTickCount() - start, 200u) << "an empty queue returns at once";
}

TEST(App, FormsListsTheLoadedFormsByName) {
    host::Form a("frmA"), b("frmB");
    a.Load();
    b.Load();
    std::vector<std::string> names;
    for (host::Form* f : host::App::Forms()) names.push_back(f->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"frmA", "frmB"}));
    a.Unload();
    ASSERT_EQ(host::App::Forms().size(), 1u);
    EXPECT_EQ(host::App::Forms()[0]->Name(), "frmB");
}

TEST(App, PicturesFromResourcesByIdentifier) {
    const auto icon = host::App::LoadIconPicture("#1");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetType(), host::Picture::Type::Icon);
    EXPECT_EQ(icon->Width(), GetSystemMetrics(SM_CXICON));

    const auto bitmap = host::App::LoadBitmapPicture("#101");
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 16);
    EXPECT_EQ(bitmap->Height(), 16);
    ASSERT_TRUE(bitmap->Source());
    EXPECT_EQ(bitmap->Source()->resource, "#101");

    EXPECT_FALSE(host::App::LoadIconPicture("#999"));
    EXPECT_FALSE(host::App::LoadBitmapPicture("NOSUCHNAME"));
}

struct RecordingEffects : host::App::Effects {
    std::vector<std::string> calls;
    int MsgBox(const std::string& text, int style, const std::string& title) override {
        calls.push_back("MsgBox " + text + "|" + std::to_string(style) + "|" + title);
        return IDOK;
    }
    bool Shell(const std::string& commandLine, int windowStyle) override {
        calls.push_back("Shell " + commandLine + "|" + std::to_string(windowStyle));
        return true;
    }
    bool ShellOpen(const std::string& target) override {
        calls.push_back("ShellOpen " + target);
        return true;
    }
};

TEST(App, EffectsCanBeRecordedAndRestored) {
    RecordingEffects recorder;
    host::App::SetEffects(&recorder);
    host::App::MsgBox("Busy", 64, "Setup");
    host::App::Shell("\"C:\\x.exe\" /a", 2);
    host::App::ShellOpen("http://127.0.0.1/compare.htm");
    host::App::SetEffects(nullptr);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{
                                  "MsgBox Busy|64|Setup",
                                  "Shell \"C:\\x.exe\" /a|2",
                                  "ShellOpen http://127.0.0.1/compare.htm",
                              }));
}

TEST(App, RealShellStartsAProgramWithoutWaitingAndReportsFailure) {
    const DWORD start = GetTickCount();
    EXPECT_TRUE(host::App::Shell("cmd.exe /c ping -n 3 127.0.0.1 >nul", SW_SHOWMINIMIZED));
    EXPECT_LT(GetTickCount() - start, 1500u) << "Shell must not wait for the program";
    EXPECT_FALSE(host::App::Shell("Z:\\no\\such\\program.exe", SW_SHOWMINIMIZED));
}

// Closes the message box with the given title from inside its modal loop, noting its text.
struct BoxCloser {
    static inline std::string seenText;
    static inline bool closed = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = FindWindowA("#32770", "Host test box");
        if (!box) return;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the static text of a message box
        seenText = text;
        closed = true;
        KillTimer(nullptr, id);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
};

TEST(App, RealMessageBoxIsModalWithTextAndTitle) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &BoxCloser::Tick);
    const int answer = host::App::MsgBox("Nothing to see", 64, "Host test box");
    KillTimer(nullptr, timer);
    EXPECT_TRUE(BoxCloser::closed);
    EXPECT_EQ(BoxCloser::seenText, "Nothing to see");
    EXPECT_EQ(answer, IDOK);
}

}  // namespace
