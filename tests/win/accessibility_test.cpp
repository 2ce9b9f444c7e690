// What the main window tells assistive technology in process: the WinEvents its controls
// raise when something a screen reader reads changes (a sequence table, recorded by a
// SetWinEventHook), and the accessible object's own rules (captions as they are said, a
// disabled button, an object that outlives its window).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/window/frm_main.h"
#include "app/window/progress_watcher.h"
#include "button_fixture.h"
#include "checklabel_fixture.h"
#include "controls/button/cmd_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/accessible.h"
#include "host/standard_controls.h"
#include "main_window_fixture.h"
#include "pump.h"

namespace {

using checklabel_test::ExpectSequence;
using checklabel_test::Log;

// MinGW's import library gives IID_IAccessible as an import thunk, not as the GUID.
constexpr IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The events recorded for windows of known names; others are left out.
struct EventRecorder {
    static inline EventRecorder* current = nullptr;
    std::map<HWND, std::string> names;
    Log log;
    HWINEVENTHOOK hook = nullptr;

    EventRecorder() {
        current = this;
        hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, &EventRecorder::Heard,
                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    }
    ~EventRecorder() {
        if (hook) UnhookWinEvent(hook);
        current = nullptr;
    }
    static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        if (!current || object != OBJID_CLIENT || child != CHILDID_SELF) return;
        const auto it = current->names.find(window);
        if (it == current->names.end()) return;
        const char* what = event == EVENT_OBJECT_FOCUS         ? "focus "
                           : event == EVENT_OBJECT_STATECHANGE ? "state "
                           : event == EVENT_OBJECT_NAMECHANGE  ? "name "
                           : event == EVENT_OBJECT_VALUECHANGE ? "value "
                                                               : nullptr;
        if (what) current->log.push_back(what + it->second);
    }
};

using MainWindowEvents = wintest::MainWindowFixture;

TEST_F(MainWindowEvents, ChangesAreAnnouncedInTheOrderTheyHappen) {
    auto& news = Get<lblOrb>("chkAddToNewsAndUpdates");
    auto& lite = Get<host::OptionButton>("optProLite", 0);
    auto& pro = Get<host::OptionButton>("optProLite", 1);
    auto& email = Get<host::TextBox>("txtEmail");
    auto& install = Get<cmdOrb>("cmdInstall");
    auto& exit = Get<cmdOrb>("cmdExit");
    auto& progress = Get<host::PictureBox>("picPB");
    auto& version = Get<lblOrb>("lblLatestVersionVal");

    EventRecorder recorder;
    for (host::Control* c : {static_cast<host::Control*>(&news), static_cast<host::Control*>(&lite),
                             static_cast<host::Control*>(&pro), static_cast<host::Control*>(&email),
                             static_cast<host::Control*>(&install), static_cast<host::Control*>(&exit),
                             static_cast<host::Control*>(&progress), static_cast<host::Control*>(&version)}) {
        recorder.names[c->hWnd()] = c->Name() + (c->Index() ? "(" + std::to_string(*c->Index()) + ")" : "");
    }
    struct Step {
        const char* what;
        std::function<void()> act;
        Log expected;
    };
    const Step steps[] = {
        // The box of the check box takes the focus; the announcement names the check box.
        {"focus to the news box", [&] { SetFocus(news.FocusWindow()); }, {"focus chkAddToNewsAndUpdates"}},
        // A control that takes the focus itself: the system announces it.
        {"focus to Install", [&] { SetFocus(install.hWnd()); }, {"focus cmdInstall"}},
        {"the news box ticked", [&] { news.DoAccessibleDefaultAction(); }, {"state chkAddToNewsAndUpdates"}},
        {"Pro chosen", [&] { pro.SetValue(true); }, {"state optProLite(1)", "state optProLite(0)"}},
        {"an address typed", [&] { email.SetText("a@b.com"); }, {"value txtEmail"}},
        {"Install disabled", [&] { install.SetEnabled(false); }, {"state cmdInstall"}},
        {"Exit becomes Cancel", [&] { exit.SetCaption("Cancel"); }, {"name cmdExit"}},
        {"the progress at 60 %", [&] { modI::DrawProgress(progress, 60); }, {"value picPB"}},
        {"the same progress again", [&] { modI::DrawProgress(progress, 60); }, {}},
        {"the version text in", [&] { version.SetCaption(L"1.2.3"); }, {"name lblLatestVersionVal"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        recorder.log.clear();
        step.act();
        wintest::PumpFor(30);
        ExpectSequence(recorder.log, step.expected);
    }
    EXPECT_EQ(progress.AccessibleValue(), L"60%");
    EXPECT_EQ(news.AccessibleDefaultAction(), L"Uncheck");
}

// The window's own object, read in process through WM_GETOBJECT.
IAccessible* ObjectOf(HWND window) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                               reinterpret_cast<void**>(&object));
    return object;
}

VARIANT Self() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

std::wstring Read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    std::wstring out;
    if (SUCCEEDED((object->*get)(Self(), &text)) && text) out.assign(text, SysStringLen(text));
    SysFreeString(text);
    return out;
}

long State(IAccessible* object) {
    VARIANT state;
    VariantInit(&state);
    object->get_accState(Self(), &state);
    return state.vt == VT_I4 ? state.lVal : -1;
}

TEST(AccessibleText, CaptionsAreSaidWithoutTheirAccessKeyMarks) {
    struct Row {
        const wchar_t* caption;
        const wchar_t* spoken;
        const wchar_t* shortcut;
    };
    const Row rows[] = {
        {L"&Install", L"Install", L"Alt+I"},
        {L"E&xit", L"Exit", L"Alt+X"},
        {L"Salt && pepper", L"Salt & pepper", L""},
        {L"A && &bee", L"A & bee", L"Alt+B"},
        {L"Trailing&", L"Trailing", L""},
        {L"Exit", L"Exit", L""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(host::SpokenCaption(row.caption), row.spoken) << row.caption;
        EXPECT_EQ(host::AccessKeyShortcut(row.caption), row.shortcut) << row.caption;
    }
}

// The e-mail box's value as a screen reader reads it: every character typed, whatever the
// ANSI code page can write.
using EmailBox = wintest::MainWindowFixture;

TEST_F(EmailBox, ItsValueIsWhatWasTypedInAnyScript) {
    auto& box = Get<host::TextBox>("txtEmail");
    for (const wchar_t* typed : {L"ivan@example.com", L"\u0438\u0432\u0430\u043D@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444",
                                 L"\u7528\u6237@\u4F8B\u5B50.\u4E2D\u56FD", L"caf\u00E9@example.com"}) {
        ASSERT_TRUE(SetWindowTextW(box.hWnd(), typed));
        EXPECT_EQ(box.AccessibleValue(), typed);
    }
}

using ButtonObject = buttontest::ButtonFixture;

TEST_F(ButtonObject, SaysItsCaptionShortcutAndAvailability) {
    button->SetCaption("&Install");
    IAccessible* object = ObjectOf(button->ControlHwnd());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Read(object, &IAccessible::get_accName), L"Install");
    EXPECT_EQ(Read(object, &IAccessible::get_accKeyboardShortcut), L"Alt+I");
    EXPECT_EQ(Read(object, &IAccessible::get_accDefaultAction), L"Press");
    EXPECT_EQ(State(object) & STATE_SYSTEM_UNAVAILABLE, 0);

    int clicks = 0;
    button->OnClick = [&clicks] { ++clicks; };
    EXPECT_EQ(object->accDoDefaultAction(Self()), S_OK);
    EXPECT_EQ(clicks, 0) << "the action waits for the window's queue";
    wintest::PumpFor(20);
    EXPECT_EQ(clicks, 1);

    button->SetEnabled(false);
    EXPECT_NE(State(object) & STATE_SYSTEM_UNAVAILABLE, 0);
    object->accDoDefaultAction(Self());
    wintest::PumpFor(20);
    EXPECT_EQ(clicks, 1) << "a disabled button is not pressed";
    object->Release();
}

TEST_F(ButtonObject, AnObjectThatOutlivesItsWindowAnswersNotConnected) {
    IAccessible* object = ObjectOf(button->ControlHwnd());
    ASSERT_NE(object, nullptr);
    bench.reset();  // the form and the button go
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Self(), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(object->accDoDefaultAction(Self()), CO_E_OBJNOTCONNECTED);
    object->Release();
}

}  // namespace
