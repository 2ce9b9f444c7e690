// The button's mouse, keyboard and focus handling through real messages: the events it
// raises, in order, and where the control is while pressed and after.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "button_fixture.h"

namespace {

using buttontest::ButtonOnForm;
using Log = std::vector<std::string>;
using host::I2;

std::string Join(const Log& log) {
    std::string all;
    for (const std::string& line : log) all += "  " + line + "\n";
    return all;
}

// Appends every event of the button to `log`; mouse positions in whole twips.
void Record(cmdOrb& button, Log& log) {
    const auto mouse = [&log](const char* name) {
        return [&log, name](I2& b, I2& s, float& x, float& y) {
            log.push_back(std::string(name) + " " + std::to_string(b) + " " + std::to_string(s) +
                          " " + std::to_string(static_cast<int>(x)) + " " +
                          std::to_string(static_cast<int>(y)));
        };
    };
    button.OnMouseDown = mouse("MouseDown");
    button.OnMouseMove = mouse("MouseMove");
    button.OnMouseUp = mouse("MouseUp");
    button.OnClick = [&log] { log.push_back("Click"); };
    button.OnMenuClick = [&log] { log.push_back("MenuClick"); };
    button.OnDblClick = [&log] { log.push_back("DblClick"); };
    button.OnKeyPress = [&log](I2& key) { log.push_back("KeyPress " + std::to_string(key)); };
}

// One message to the button, or a look at its state, in client pixels.
struct Step {
    enum Kind { Move, Drag, Down, Up, DoubleClick, Char, Where, Hover } kind;
    int x = 0, y = 0;  // for Char: the character
};

void Perform(cmdOrb& button, const Step& step, Log& log) {
    const HWND w = button.ControlHwnd();
    const LPARAM at = MAKELPARAM(step.x, step.y);
    switch (step.kind) {
        case Step::Move: SendMessageA(w, WM_MOUSEMOVE, 0, at); break;
        case Step::Drag: SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, at); break;
        case Step::Down: SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at); break;
        case Step::Up: SendMessageA(w, WM_LBUTTONUP, 0, at); break;
        case Step::DoubleClick: SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at); break;
        case Step::Char: SendMessageA(w, WM_CHAR, static_cast<WPARAM>(step.x), 0); break;
        case Step::Where:
            log.push_back("at " + std::to_string(button.Extender().Left()) + "," +
                          std::to_string(button.Extender().Top()));
            break;
        case Step::Hover: log.push_back("hover " + button.HoverState()); break;
    }
}

struct Case {
    const char* name;
    std::function<void(cmdOrb&)> setup;
    std::vector<Step> steps;
    Log expected;
};

// Presses at (50, 10) pixels = (750, 150) twips; the stored ButtonClickHeight is 30 twips.
const Step kDown{Step::Down, 50, 10}, kUp{Step::Up, 50, 10}, kWhere{Step::Where};
const std::string kDownEvent = "MouseDown 1 0 750 150", kUpEvent = "MouseUp 1 0 750 150";
const std::string kReset = "MouseMove 0 0 0 0", kAfterClick = "MouseMove 0 0 20 20";

const Case kCases[] = {
    {"press and release, highlighting on hover", nullptr,
     {kDown, kWhere, kUp, kWhere},
     {kDownEvent, kReset, "at 330,330", kUpEvent, "Click", kAfterClick, "at 300,300"}},
    {"press and release, no highlight", [](cmdOrb& b) { b.SetHighlightOnHover(false); },
     {kDown, kUp, kWhere},
     {kDownEvent, kReset, kUpEvent, "Click", "at 300,300"}},
    {"press, leave, release outside", nullptr,
     {kDown, {Step::Drag, -5, 10}, kWhere, {Step::Hover}, {Step::Up, -5, 10}, kWhere},
     {kDownEvent, kReset, "MouseMove 1 0 -75 150", "at 300,300", "hover NORM",
      "MouseUp 1 0 -75 150", "at 300,300"}},
    {"menu: a move into the bottom quarter makes a MenuClick",
     [](cmdOrb& b) { b.SetHasMenu(true); },
     {kDown, {Step::Drag, 50, 22}, {Step::Up, 50, 22}},
     {kDownEvent, kReset, "MouseMove 1 0 750 330", "MouseUp 1 0 750 330", "MenuClick",
      kAfterClick}},
    {"menu: a press without a move clicks", [](cmdOrb& b) { b.SetHasMenu(true); },
     {kDown, kUp},
     {kDownEvent, kReset, kUpEvent, "Click", kAfterClick}},
    {"menu: hovering the menu area before the press still clicks",
     [](cmdOrb& b) { b.SetHasMenu(true); },
     {{Step::Move, 50, 22}, kDown, kUp},
     {"MouseMove 0 0 750 330", kDownEvent, kReset, kUpEvent, "Click", kAfterClick}},
    {"space clicks, enter does not", nullptr,
     {{Step::Char, ' '}, {Step::Char, '\r'}, kWhere},
     {"KeyPress 32", "Click", "KeyPress 13", "at 300,300"}},
    {"ButtonClickHeight 0 does not move", [](cmdOrb& b) { b.SetButtonClickHeight(0); },
     {kDown, kWhere, kUp},
     {kDownEvent, kReset, "at 300,300", kUpEvent, "Click", kAfterClick}},
    {"disabled raises nothing", [](cmdOrb& b) { b.SetEnabled(false); },
     {{Step::Move, 50, 10}, kDown, kWhere, kUp, {Step::DoubleClick, 50, 10},
      {Step::Move, -5, 10}},
     {"at 300,300"}},
    {"a position set directly is undone by the next leave",
     [](cmdOrb& b) { b.Extender().SetLeft(900); },
     {{Step::Move, 10, 10}, {Step::Move, -5, 10}, kWhere},
     {"MouseMove 0 0 150 150", "MouseMove 0 0 -75 150", "at 300,300"}},
    {"double click goes back to rest", nullptr,
     {{Step::DoubleClick, 50, 10}, kWhere, {Step::Hover}},
     {"DblClick", "at 300,300", "hover NORM"}},
};

TEST(ButtonInput, EventSequences) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ButtonOnForm bench;
        cmdOrb& button = *bench.button;
        bench.PointAt(50, 12);  // over the button, on a form in the foreground
        if (c.setup) c.setup(button);
        Log log;
        Record(button, log);
        for (const Step& step : c.steps) Perform(button, step, log);
        EXPECT_EQ(log, c.expected) << "raised:\n" << Join(log) << "expected:\n" << Join(c.expected);
    }
}

TEST(ButtonInput, AKeyPressHandlerThatClearsTheSpacePreventsTheClick) {
    ButtonOnForm bench;
    Log log;
    Record(*bench.button, log);
    bench.button->OnKeyPress = [&log](I2& key) {
        log.push_back("KeyPress " + std::to_string(key));
        key = 0;
    };
    SendMessageA(bench.button->ControlHwnd(), WM_CHAR, ' ', 0);
    EXPECT_EQ(log, (Log{"KeyPress 32"}));
}

TEST(ButtonInput, HoverHighlightsAndLeavingRestores) {
    ButtonOnForm bench;
    cmdOrb& button = *bench.button;
    const COLORREF rest = bench.Face(50, 0);
    SendMessageA(button.ControlHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 10));
    EXPECT_EQ(GetCapture(), button.ControlHwnd()) << "the button holds the capture while hovered";
    EXPECT_EQ(button.HoverState(), "HIGH");
    EXPECT_EQ(button.ForeColor(), button.HighTextColor()) << "the caption takes HighTextColor";
    EXPECT_NE(bench.Face(50, 0), rest) << "the face is painted from HighColor1";

    SendMessageA(button.ControlHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 10));
    EXPECT_NE(GetCapture(), button.ControlHwnd());
    EXPECT_EQ(button.HoverState(), "NORM");
    EXPECT_EQ(bench.Face(50, 0), rest);
    EXPECT_EQ(button.ForeColor(), 0x80000012u);
}

// A press on the caption or the icon is a press on the face at the same point: the whole
// sequence of a press on the body, shift included. The release comes to the button, which
// holds the capture from the press on.
TEST(ButtonInput, APressOnTheCaptionOrIconIsAPressOnTheFace) {
    const struct {
        const char* name;
        host::Control& (*part)(cmdOrb&);
    } parts[] = {
        {"caption", [](cmdOrb& b) -> host::Control& { return b.CaptionLabel(); }},
        {"icon", [](cmdOrb& b) -> host::Control& { return b.IconImage(); }},
    };
    for (const auto& p : parts) {
        SCOPED_TRACE(p.name);
        ButtonOnForm bench;
        cmdOrb& button = *bench.button;
        button.SetCaption(button.Caption());  // lays the caption out on the face's final size
        bench.PointAt(50, 12);
        Log log;
        Record(button, log);
        host::Control& part = p.part(button);
        // (2, 3) pixels on the part: 30, 45 twips from its corner.
        const std::string down = "MouseDown 1 0 " + std::to_string(30 + part.Left()) + " " +
                                 std::to_string(45 + part.Top());
        SendMessageA(part.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 3));
        Perform(button, kWhere, log);
        EXPECT_EQ(GetCapture(), button.ControlHwnd()) << "the button holds the capture";
        Perform(button, kUp, log);
        Perform(button, kWhere, log);
        const Log expected{down, kReset, "at 330,330", kUpEvent, "Click", kAfterClick, "at 300,300"};
        EXPECT_EQ(log, expected) << "raised:\n" << Join(log) << "expected:\n" << Join(expected);
        // The pointer leaves before the button goes, so no later window takes its moves.
        SetCursorPos(1200, 1000);
        wintest::PumpFor(30);
    }
}

TEST(ButtonInput, FocusHighlightsTheFaceAndLeavingRestoresIt) {
    ButtonOnForm bench;
    cmdOrb& button = *bench.button;
    auto& other = bench.form.Add<host::TextBox>("txtEmail");
    other.Move(0, 2000, 1500, 300);
    other.SetFocus();
    const COLORREF rest = bench.Face(50, 0);
    SetFocus(button.ControlHwnd());
    EXPECT_NE(bench.Face(50, 0), rest);
    other.SetFocus();
    EXPECT_EQ(bench.Face(50, 0), rest);
    EXPECT_FALSE(button.Highlighted());
}

// The label shows the control's pointer once the MousePointer write has copied it there;
// a stored pointer is the control's own.
TEST(ButtonInput, PointerOverTheLabel) {
    host::PropertyBag stored = buttontest::Installing();
    stored.Set("MousePointer", I2{11});
    ButtonOnForm bench(stored);
    cmdOrb& button = *bench.button;
    const HWND label = button.CaptionLabel().hWnd();
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    const auto pointerOverLabel = [&] {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_NE(pointerOverLabel(), wait);
    button.SetMousePointer(11);
    EXPECT_EQ(pointerOverLabel(), wait);
}

// The paints of the button's window, with the time each came.
std::vector<DWORD>* gPaints = nullptr;
WNDPROC gButtonProc = nullptr;
LRESULT CALLBACK CountPaints(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && gPaints) gPaints->push_back(GetTickCount());
    return CallWindowProcA(gButtonProc, w, message, wParam, lParam);
}

TEST(ButtonInput, FlashControlTogglesSixTimesAboutTwoHundredMillisecondsApart) {
    ButtonOnForm bench;
    cmdOrb& button = *bench.button;
    std::vector<DWORD> paints;
    gPaints = &paints;
    gButtonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        button.ControlHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
    bool success = false;
    button.FlashControl(success);
    SetWindowLongPtrA(button.ControlHwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gButtonProc));
    gPaints = nullptr;

    EXPECT_FALSE(button.value()) << "an even number of toggles";
    // Paints that come within 50 ms of each other belong to one toggle.
    std::vector<DWORD> toggles;
    for (DWORD t : paints) {
        if (toggles.empty() || t - toggles.back() > 50) toggles.push_back(t);
    }
    ASSERT_EQ(toggles.size(), 6u);
    for (size_t i = 1; i < toggles.size(); ++i) {
        const DWORD gap = toggles[i] - toggles[i - 1];
        EXPECT_GE(gap, 190u) << "between toggles " << i << " and " << i + 1;
        EXPECT_LE(gap, 400u) << "between toggles " << i << " and " << i + 1;
    }
}

}  // namespace
