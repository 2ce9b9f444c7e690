// The keyboard on a form: Tab and Shift+Tab in the form's tab order, the focus cue they
// show, and access keys that reach only a control that can take them. Keys are real input
// (SendInput), so they come through the host's one message path as a user's keys do.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/window/frm_main.h"
#include "checklabel_fixture.h"
#include "controls/button/cmd_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/standard_controls.h"
#include "main_window_fixture.h"
#include "pump.h"

namespace {

using checklabel_test::Log;

// Presses the keys in order and lets them go in reverse (e.g. Shift, Tab), then lets the
// messages run.
void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    wintest::SendInputAndPump(std::move(inputs));
}

void Tab(int times, bool backwards) {
    for (int i = 0; i < times; ++i) {
        if (backwards) {
            PressKeys({VK_SHIFT, VK_TAB});
        } else {
            PressKeys({VK_TAB});
        }
    }
}

// The main window as its description loads it, shown and in the foreground.
struct MainWindowKeys : wintest::MainWindowFixture {
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(GetForegroundWindow(), window->Form().hWnd()) << "keys go to the foreground window";
    }

    // A control by its name, with its index in brackets where it has one: "optProLite(1)".
    host::Control& Get(const std::string& name) {
        const auto open = name.find('(');
        host::Control* c = open == std::string::npos
                               ? window->Form().FindControl(name)
                               : window->Form().FindControl(name.substr(0, open), std::stoi(name.substr(open + 1)));
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }
    // The control holding the focus, by the name the description gives it.
    std::string Focused() {
        const HWND focus = GetFocus();
        for (host::Control* c : window->Form().Controls()) {
            if (!c->CanTakeFocus() || !c->HoldsFocus(focus)) continue;
            return c->Name() + (c->Index() ? "(" + std::to_string(*c->Index()) + ")" : "");
        }
        return "none";
    }
    void FocusOn(const std::string& name) { SetFocus(Get(name).FocusWindow()); }
};

TEST_F(MainWindowKeys, TabAndShiftTabWalkTheTabOrder) {
    struct Row {
        const char* from;
        int tabs;
        bool backwards;
        const char* lands;
    };
    const Row all[] = {
        {"txtEmail", 1, false, "optProLite(0)"},
        {"txtEmail", 2, false, "optProLite(1)"},
        {"optProLite(1)", 1, false, "chkAddToNewsAndUpdates"},
        {"chkAddToNewsAndUpdates", 1, false, "cmdInstall"},
        {"cmdInstall", 1, false, "cmdExit"},
        {"cmdExit", 1, false, "txtEmail"},  // wraps around
        {"txtEmail", 6, false, "txtEmail"},  // labels, pictures and the caption bar are no stops
        {"txtEmail", 1, true, "cmdExit"},
        {"cmdExit", 2, true, "chkAddToNewsAndUpdates"},
        {"chkAddToNewsAndUpdates", 3, true, "txtEmail"},
        {"optProLite(0)", 6, true, "optProLite(0)"},
    };
    for (const Row& row : all) {
        FocusOn(row.from);
        Tab(row.tabs, row.backwards);
        EXPECT_EQ(Focused(), row.lands) << row.tabs << (row.backwards ? " Shift+Tab" : " Tab") << " from "
                                        << row.from;
    }

    // Hidden and disabled controls are passed over; the disabled Install is the running
    // download's state.
    Get("optProLite(1)").SetVisible(false);
    window->InstallButton().SetEnabled(false);
    const Row skipping[] = {
        {"optProLite(0)", 1, false, "chkAddToNewsAndUpdates"},
        {"chkAddToNewsAndUpdates", 1, false, "cmdExit"},
        {"cmdExit", 1, true, "chkAddToNewsAndUpdates"},
        {"chkAddToNewsAndUpdates", 1, true, "optProLite(0)"},
        {"txtEmail", 4, false, "txtEmail"},
    };
    for (const Row& row : skipping) {
        FocusOn(row.from);
        Tab(row.tabs, row.backwards);
        EXPECT_EQ(Focused(), row.lands) << row.tabs << (row.backwards ? " Shift+Tab" : " Tab") << " from "
                                        << row.from << ", Pro hidden and Install disabled";
    }

    // From no control at all, Tab starts at the first stop and Shift+Tab at the last.
    SetFocus(window->Form().hWnd());
    Tab(1, false);
    EXPECT_EQ(Focused(), "txtEmail");
    SetFocus(window->Form().hWnd());
    Tab(1, true);
    EXPECT_EQ(Focused(), "cmdExit");
}

TEST_F(MainWindowKeys, TabIsTheHostsAndEveryOtherKeyStillReachesTheControls) {
    Log keys;
    cmdOrb& exit = window->ExitButton();
    exit.OnKeyDown = [&keys](host::I2& code, host::I2&) { keys.push_back("KeyDown " + std::to_string(code)); };
    exit.OnKeyPress = [&keys](host::I2& key) { keys.push_back("KeyPress " + std::to_string(key)); };
    exit.OnKeyUp = [&keys](host::I2& code, host::I2&) { keys.push_back("KeyUp " + std::to_string(code)); };
    exit.OnClick = [&keys] { keys.push_back("Click"); };
    FocusOn("cmdInstall");
    Tab(1, false);
    ASSERT_EQ(Focused(), "cmdExit");
    PressKeys({'A'});
    PressKeys({VK_SPACE});
    Tab(1, false);
    checklabel_test::ExpectSequence(keys, {"KeyDown 65", "KeyPress 97", "KeyUp 65", "KeyDown 32",
                                           "KeyPress 32", "Click", "KeyUp 32"});

    auto& email = static_cast<host::TextBox&>(Get("txtEmail"));
    EXPECT_EQ(email.Text(), "") << "no tab character is typed";
}

TEST_F(MainWindowKeys, TheFocusedControlShowsItAndSpaceWorksThere) {
    auto& email = static_cast<host::TextBox&>(Get("txtEmail"));
    email.SetText("me@example.com");
    FocusOn("cmdExit");
    Tab(1, false);
    ASSERT_EQ(Focused(), "txtEmail");
    DWORD start = 1, end = 0;
    SendMessageA(email.hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 14u) << "arriving by Tab selects the whole text";

    // The check box draws its focus rectangle and takes Space.
    auto& news = static_cast<lblOrb&>(Get("chkAddToNewsAndUpdates"));
    const RECT area{0, 0, news.Width() / host::App::TwipsPerPixelX(), news.Height() / host::App::TwipsPerPixelY()};
    EXPECT_EQ(checklabel_test::CountPixels(news.hDC(), area, news.FocusRectColor()), 0);
    FocusOn("optProLite(1)");
    Tab(1, false);
    ASSERT_EQ(Focused(), "chkAddToNewsAndUpdates");
    EXPECT_TRUE(news.HasFocus());
    EXPECT_GT(checklabel_test::CountPixels(news.hDC(), area, news.FocusRectColor()), 10) << "the dotted rectangle";
    PressKeys({VK_SPACE});
    EXPECT_TRUE(news.Checked());

    // The button shows its focus colour in the middle of its face.
    cmdOrb& install = window->InstallButton();
    const int x = install.Width() / host::App::TwipsPerPixelX() / 2;
    const COLORREF resting = GetPixel(install.hDC(), x, 3);
    Tab(1, false);
    ASSERT_EQ(Focused(), "cmdInstall");
    EXPECT_NE(GetPixel(install.hDC(), x, 3), resting) << "the face turns to its focus colour";
    Tab(1, false);
    EXPECT_EQ(GetPixel(install.hDC(), x, 3), resting) << "and back when the focus leaves";

    // Space on an option button selects it.
    FocusOn("optProLite(0)");
    Tab(1, false);
    ASSERT_EQ(Focused(), "optProLite(1)");
    PressKeys({VK_SPACE});
    EXPECT_TRUE(static_cast<host::OptionButton&>(Get("optProLite(1)")).Value());
    EXPECT_FALSE(static_cast<host::OptionButton&>(Get("optProLite(0)")).Value());
}

TEST_F(MainWindowKeys, TheFocusComesBackToItsControlWhenTheWindowIsActiveAgain) {
    FocusOn("cmdExit");
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 600, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    wintest::PumpFor(30);
    ASSERT_EQ(GetActiveWindow(), other);
    window->Form().ZOrder();
    wintest::PumpFor(30);
    EXPECT_EQ(Focused(), "cmdExit");
    Tab(1, false);
    EXPECT_EQ(Focused(), "txtEmail") << "Tab goes on from there";
    DestroyWindow(other);
}

// Access keys reach only a control a user can reach, and only while its caption holds the "&".
struct AccessKeys : checklabel_test::CheckLabelFixture {};

TEST_F(AccessKeys, OnlyAVisibleEnabledControlWhoseCaptionHoldsTheKeyAnswers) {
    struct Row {
        const char* what;
        const wchar_t* caption;
        const wchar_t* laterCaption;  // set after the first paint; null: none
        bool hidden, disabled, focuses;
    };
    const Row rows[] = {
        {"plain", L"&Save", nullptr, false, false, true},
        {"hidden", L"&Save", nullptr, true, false, false},
        {"disabled", L"&Save", nullptr, false, true, false},
        {"caption lost its &", L"&Save", L"Save", false, false, false},
        {"caption moved its &", L"&Save", L"S&ave", false, false, false},
    };
    ShowForm();
    auto& other = form.Add<host::TextBox>("txtEmail");
    other.Move(0, 3000, 1500, 300);
    for (const Row& row : rows) {
        lblOrb& control = AddNew("chkKey", {}, 1200);
        control.SetCaption(row.caption);
        if (row.laterCaption) control.SetCaption(row.laterCaption);
        control.SetVisible(!row.hidden);
        control.SetEnabled(!row.disabled);
        other.SetFocus();
        SendMessageA(other.hWnd(), WM_SYSCHAR, 'S', 0);
        EXPECT_EQ(GetFocus(), row.focuses ? control.PicCheck().hWnd() : other.hWnd()) << row.what;
        control.SetVisible(false);  // out of the way of the next row
        control.SetAccessKeys("");
    }
}

}  // namespace
