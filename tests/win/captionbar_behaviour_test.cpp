// The caption bar's reactions with real messages: the three boxes (images, actions, events,
// the close sequence), double and right clicks, the glyph items, the size pointer near the
// top edge, the parent's style bits, and a drag with real input on the display.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "captionbar_fixture.h"

namespace {

using captionbar::StoredImage;
using wintest::BarOptions;
using wintest::CaptionBarFixture;
using wintest::Log;

void Press(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void Release(HWND window, int x, int y) { SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
void MoveOver(HWND window, int x, int y) { SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

// ---- clicks on the boxes

struct BoxCase {
    const char* name;
    captionbar::Box box;
    bool AllowMaximize;
    bool NotifyCloseEventOnly;
    bool DrawFormBoxes;
    Log events;
    bool parentLoaded;
    int windowState;
};

struct BoxClick : CaptionBarFixture, testing::WithParamInterface<BoxCase> {};

host::PictureBox& BoxOf(titOrb& bar, captionbar::Box box) {
    switch (box) {
    case captionbar::Box::picmin: return bar.picmin();
    case captionbar::Box::Picres: return bar.Picres();
    case captionbar::Box::picClose: break;
    }
    return bar.picClose();
}

TEST_P(BoxClick, ActsOnTheParentAndReportsInOrder) {
    const BoxCase& c = GetParam();
    BarOptions options;
    options.NotifyCloseEventOnly = c.NotifyCloseEventOnly;
    Init(options);
    bar->SetAllowMaximize(c.AllowMaximize);
    bar->SetDrawFormBoxes(c.DrawFormBoxes);
    Show();
    log.clear();
    const HWND formWindow = form.hWnd();
    const HWND box = BoxOf(*bar, c.box).hWnd();

    Press(box, 5, 5);
    EXPECT_EQ(BoxOf(*bar, c.box).GetPicture(), bar->StoredPicture(captionbar::PressedFace(c.box)));
    Release(box, 5, 5);
    wintest::PumpFor(30);

    EXPECT_EQ(log, c.events);
    EXPECT_EQ(form.Loaded(), c.parentLoaded);
    EXPECT_EQ(IsWindow(formWindow) != 0, c.parentLoaded);
    if (!c.parentLoaded) return;  // the bar went with its parent
    EXPECT_EQ(form.WindowState(), c.windowState);
    const auto normal = captionbar::NormalFaces(c.windowState == host::Form::kMaximized);
    EXPECT_EQ(BoxOf(*bar, c.box).GetPicture(),
              bar->StoredPicture(c.box == captionbar::Box::picmin   ? normal.picmin
                          : c.box == captionbar::Box::Picres ? normal.Picres
                                                             : normal.picClose))
        << "the box is at rest again, for the parent's new state";
}

INSTANTIATE_TEST_SUITE_P(
    CaptionBar, BoxClick,
    testing::Values(
        BoxCase{"CloseWithDefaults", captionbar::Box::picClose, false, false, true,
                {"ParentClosing", "CloseNotify", "ButtonClicked 3"}, false, 0},
        BoxCase{"CloseNotifyOnly", captionbar::Box::picClose, false, true, true,
                {"CloseNotify", "ButtonClicked 3"}, true, host::Form::kNormal},
        BoxCase{"CloseWithoutFormBoxes", captionbar::Box::picClose, false, false, false,
                {"DrawControl", "ButtonClicked 3"}, true, host::Form::kNormal},
        BoxCase{"Minimise", captionbar::Box::picmin, false, false, true,
                {"MinimizeNotify", "ButtonClicked 1"}, true, host::Form::kMinimized},
        BoxCase{"MinimiseWithoutFormBoxes", captionbar::Box::picmin, false, false, false,
                {"ButtonClicked 1"}, true, host::Form::kNormal},
        BoxCase{"Maximise", captionbar::Box::Picres, true, false, true,
                {"MaximizeNotify", "ButtonClicked 2"}, true, host::Form::kMaximized}),
    [](const testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST_F(CaptionBarFixture, RestoreBoxOfAMaximisedParentRestoresIt) {
    Init();
    bar->SetAllowMaximize(true);
    Show();
    form.SetWindowState(host::Form::kMaximized);
    wintest::PumpFor(30);
    log.clear();
    Press(bar->Picres().hWnd(), 5, 5);
    Release(bar->Picres().hWnd(), 5, 5);
    EXPECT_EQ(log, (Log{"RestoreNotify", "ButtonClicked 2"}));
    EXPECT_EQ(form.WindowState(), host::Form::kNormal);
    EXPECT_EQ(bar->Picres().GetPicture(), bar->StoredPicture(StoredImage::picresn));
}

// ---- hover and press images

// A point where two stored images differ, so that the screen tells them apart.
POINT WhereTheyDiffer(titOrb& bar, StoredImage a, StoredImage b) {
    const auto& size = captionbar::ResourceOf(a);
    HDC screen = GetDC(nullptr);
    HDC da = CreateCompatibleDC(screen), db = CreateCompatibleDC(screen);
    HGDIOBJ oa = SelectObject(da, bar.StoredPicture(a)->Bitmap());
    HGDIOBJ ob = SelectObject(db, bar.StoredPicture(b)->Bitmap());
    POINT found{-1, -1};
    for (int y = size.height / 2; y < size.height && found.x < 0; ++y) {
        for (int x = size.width / 2; x < size.width; ++x) {
            if (GetPixel(da, x, y) != GetPixel(db, x, y)) {
                found = {x, y};
                break;
            }
        }
    }
    SelectObject(da, oa);
    SelectObject(db, ob);
    DeleteDC(da);
    DeleteDC(db);
    ReleaseDC(nullptr, screen);
    return found;
}

COLORREF PixelOf(titOrb& bar, StoredImage image, POINT at) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bar.StoredPicture(image)->Bitmap());
    const COLORREF pixel = GetPixel(dc, at.x, at.y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixel;
}

TEST_F(CaptionBarFixture, HoverAndPressShowEachBoxsImages) {
    Init();
    bar->SetAllowMaximize(true);
    Show();
    struct Case {
        captionbar::Box box;
        StoredImage normal;
    } const cases[] = {
        {captionbar::Box::picmin, StoredImage::Picminn},
        {captionbar::Box::Picres, StoredImage::picresn},
        {captionbar::Box::picClose, StoredImage::picClosen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.box));
        host::PictureBox& box = BoxOf(*bar, c.box);
        const auto hover = captionbar::HoverFaces(c.box, false);
        MoveOver(box.hWnd(), 5, 5);
        EXPECT_EQ(bar->picmin().GetPicture(), bar->StoredPicture(hover.picmin));
        EXPECT_EQ(bar->Picres().GetPicture(), bar->StoredPicture(hover.Picres));
        EXPECT_EQ(bar->picClose().GetPicture(), bar->StoredPicture(hover.picClose));
        const StoredImage lit = c.box == captionbar::Box::picmin   ? hover.picmin
                                : c.box == captionbar::Box::Picres ? hover.Picres
                                                                   : hover.picClose;
        const POINT at = WhereTheyDiffer(*bar, lit, c.normal);
        ASSERT_GE(at.x, 0) << "hover and normal images differ";
        wintest::PumpFor(20);
        EXPECT_EQ(wintest::ScreenPixel(box.hWnd(), at.x, at.y), PixelOf(*bar, lit, at));

        const StoredImage pressed = captionbar::PressedFace(c.box);
        Press(box.hWnd(), 5, 5);
        ReleaseCapture();
        EXPECT_EQ(box.GetPicture(), bar->StoredPicture(pressed));
        const POINT p = WhereTheyDiffer(*bar, pressed, c.normal);
        wintest::PumpFor(20);
        EXPECT_EQ(wintest::ScreenPixel(box.hWnd(), p.x, p.y), PixelOf(*bar, pressed, p));

        MoveOver(bar->hWnd(), 100, 30);  // back over the bar: every box at rest
        EXPECT_EQ(box.GetPicture(), bar->StoredPicture(c.normal));
    }
}

// A left press on a box is a Windows user's: it acts only when released on that box, moving
// off shows the box at rest and moving back shows it pressed. The right button acts on any
// release, as before.
TEST_F(CaptionBarFixture, ALeftPressActsOnlyWhenReleasedOnItsOwnBox) {
    struct Step {
        enum Kind { Down, Drag, Up, RightDown, RightUp } kind;
        int x, y;  // in the close box
        StoredImage face;  // the close box's face afterwards
    };
    const StoredImage normal = StoredImage::picClosen, pressed = StoredImage::picClosefp;
    const Step off{Step::Drag, -20, 5, normal}, back{Step::Drag, 5, 5, pressed};
    const struct {
        const char* name;
        std::vector<Step> steps;
        Log events;
    } cases[] = {
        {"released off the box", {{Step::Down, 5, 5, pressed}, off, {Step::Up, -20, 5, normal}},
         {}},
        {"off and back, released on it",
         {{Step::Down, 5, 5, pressed}, off, back, {Step::Up, 5, 5, normal}},
         {"CloseNotify", "ButtonClicked 3"}},
        {"back on and off again", {{Step::Down, 5, 5, pressed}, off, back, off,
                                   {Step::Up, 60, 5, normal}},
         {}},
        {"right press released off the box",
         {{Step::RightDown, 5, 5, pressed}, {Step::RightUp, -20, 5, normal}},
         {"CloseNotify", "ButtonClicked 3"}},
    };
    BarOptions options;
    options.NotifyCloseEventOnly = true;  // the close box reports and leaves the parent open
    Init(options);
    Show();
    const HWND box = bar->picClose().hWnd();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        for (const Step& step : c.steps) {
            const LPARAM at = MAKELPARAM(step.x, step.y);
            switch (step.kind) {
            case Step::Down: SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, at); break;
            case Step::Drag: SendMessageA(box, WM_MOUSEMOVE, MK_LBUTTON, at); break;
            case Step::Up: SendMessageA(box, WM_LBUTTONUP, 0, at); break;
            case Step::RightDown: SendMessageA(box, WM_RBUTTONDOWN, MK_RBUTTON, at); break;
            case Step::RightUp: SendMessageA(box, WM_RBUTTONUP, 0, at); break;
            }
            EXPECT_EQ(bar->picClose().GetPicture(), bar->StoredPicture(step.face))
                << "after the step to " << step.x << "," << step.y;
        }
        EXPECT_EQ(log, c.events);
        EXPECT_TRUE(form.Loaded());
    }
}

// ---- the bar itself

TEST_F(CaptionBarFixture, DoubleClickMaximisesOnlyWhenAllowed) {
    struct Case {
        bool allow;
        Log events;
        int state;
    } const cases[] = {
        {false, {"DoubleClick"}, host::Form::kNormal},
        {true, {"MaximizeNotify", "DoubleClick"}, host::Form::kMaximized},
        {true, {"RestoreNotify", "DoubleClick"}, host::Form::kNormal},
    };
    Init();
    Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        bar->SetAllowMaximize(c.allow);
        log.clear();
        SendMessageA(bar->hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 30));
        wintest::PumpFor(20);
        EXPECT_EQ(log, c.events);
        EXPECT_EQ(form.WindowState(), c.state);
    }
}

TEST_F(CaptionBarFixture, ReleasesOnTheBarOpenTheSystemMenuOrReportTheCaption) {
    Init();
    Show();
    SetFocus(bar->hWnd());
    const POINT at = OnScreen(150, 30);
    SetCursorPos(at.x, at.y);
    wintest::PumpFor(20);
    POINT cursor{};
    GetCursorPos(&cursor);
    log.clear();
    SendMessageA(bar->hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 30));
    SendMessageA(bar->hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(150, 30));
    Release(bar->hWnd(), 150, 30);
    EXPECT_EQ(log, (Log{"OpenSysMenu " + std::to_string(cursor.x) + "," + std::to_string(cursor.y),
                        "CaptionClicked 1"}));
}

TEST_F(CaptionBarFixture, AReleaseOnTheToolbarItemTogglesIt) {
    // Item 5 lies on the bar: from x = (9000 - 375) / 30 = 288, in the lowest 12 rows.
    BarOptions options;
    options.ControlBoxesMask = 16;
    Init(options);
    Show();
    const POINT at = OnScreen(295, 40);
    SetCursorPos(at.x, at.y);
    wintest::PumpFor(20);
    ASSERT_EQ(bar->HitTestItem(at), 5);
    log.clear();
    Release(bar->hWnd(), 295, 40);
    EXPECT_EQ(log, (Log{"ShowToolbar first", "ButtonClicked 5"}));
    EXPECT_TRUE(bar->ToolbarSlider());

    bar->SetDrawFormBoxes(false);
    log.clear();
    Release(bar->hWnd(), 295, 40);
    EXPECT_EQ(log, (Log{"ButtonClicked 5"})) << "without form boxes an item only reports";
    EXPECT_EQ(bar->HitTestItem(OnScreen(295, 20)), -1);
}

TEST_F(CaptionBarFixture, SizePointerOnlyNearTheTopEdgeRightOfTheLogoAndOffTheStrip) {
    BarOptions options;
    options.NoTopWindowResize = false;
    Init(options);
    bar->SetLogo(nullptr, true, 6, 9, 48, 48, 9, 65, -8, -8);
    Show();
    const int onStrip = bar->picButtons().Left() + 10;
    struct Case {
        int x, y, pointer;
    } const cases[] = {
        {100, 20, 7}, {100, 21, 0}, {100, 0, 7}, {4, 10, 0}, {onStrip, 10, 0}, {100, 5, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        MoveOver(bar->hWnd(), c.x, c.y);
        EXPECT_EQ(bar->MousePointer(), c.pointer);
    }
    MoveOver(bar->picmin().hWnd(), 2, 2);
    EXPECT_EQ(bar->MousePointer(), 0) << "a move over a box puts the default pointer back";

    bar->SetNoTopWindowResize(true);
    MoveOver(bar->hWnd(), 100, 20);
    EXPECT_EQ(bar->MousePointer(), 0);
}

TEST_F(CaptionBarFixture, TitlebarAndFormBorderSetTheParentsStyleBits) {
    Init();
    Show();
    const auto style = [&] { return GetWindowLongPtrA(form.hWnd(), GWL_STYLE); };
    bar->SetTitlebar(false);
    EXPECT_EQ(style() & WS_CAPTION, 0);
    EXPECT_FALSE(bar->Titlebar());
    bar->SetFormBorder(true);
    EXPECT_TRUE(bar->FormBorder());
    EXPECT_TRUE(bar->Titlebar()) << "WS_BORDER is one of WS_CAPTION's bits";
    bar->SetTitlebar(true);
    EXPECT_EQ(style() & WS_CAPTION, WS_CAPTION);
    bar->SetFormBorder(false);
    EXPECT_FALSE(bar->FormBorder());
    EXPECT_TRUE(bar->Titlebar());
}

// Changing the form's frame redraws it but never activates it: set up while hidden, it must
// not take the activation from the window the user is working in.
TEST_F(CaptionBarFixture, AFrameChangeLeavesTheActiveWindowAlone) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(other);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    wintest::PumpFor(20);
    ASSERT_EQ(GetActiveWindow(), other);
    Init();  // InitMenu gives the hidden form its title bar
    bar->SetTitlebar(false);
    bar->SetFormBorder(true);
    wintest::PumpFor(20);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_FALSE(IsWindowVisible(form.hWnd()));
    DestroyWindow(other);
}

// ---- a drag with real input

// Runs xdotool on the display with these arguments and processes events until it has ended:
// the system's move loop runs inside the bar's mouse handler meanwhile. A Unix program's
// process handle does not tell when it ends, so the shell that runs it leaves a mark file.
bool Xdotool(const std::string& arguments) {
    const std::string mark = "/tmp/captionbar_drag_" + std::to_string(GetCurrentProcessId());
    const std::string markOnZ = "Z:" + mark;
    DeleteFileA(markOnZ.c_str());
    std::string command = "/bin/sh -c \"/usr/bin/xdotool " + arguments + "; touch " + mark + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD end = GetTickCount() + 15000;
    while (GetFileAttributesA(markOnZ.c_str()) == INVALID_FILE_ATTRIBUTES &&
           static_cast<LONG>(end - GetTickCount()) > 0) {
        host::App::DoEvents();
        Sleep(1);
    }
    const bool ended = DeleteFileA(markOnZ.c_str()) != 0;
    wintest::PumpFor(100);
    return ended;
}

std::string Drag(POINT from, int dx, int dy) {
    const auto at = [&](int x, int y) {
        return std::to_string(from.x + x) + " " + std::to_string(from.y + y);
    };
    return "mousemove " + at(0, 0) + " sleep 0.3 mousedown 1 sleep 0.3 mousemove " +
           at(dx / 2, dy / 2) + " sleep 0.2 mousemove " + at(dx, dy) +
           " sleep 0.3 mouseup 1 sleep 0.2";
}

TEST_F(CaptionBarFixture, DraggingTheBarMovesTheParentButNotWhenMaximised) {
    if (GetFileAttributesA("Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    Init();
    Show();
    RECT before{};
    GetWindowRect(form.hWnd(), &before);
    ASSERT_TRUE(Xdotool(Drag(OnScreen(150, 30), 80, 60)));
    RECT after{};
    GetWindowRect(form.hWnd(), &after);
    EXPECT_EQ(after.left - before.left, 80);
    EXPECT_EQ(after.top - before.top, 60);
    EXPECT_NE(std::find(log.begin(), log.end(), "FocusEvent"), log.end());

    form.SetWindowState(host::Form::kMaximized);
    wintest::PumpFor(50);
    GetWindowRect(form.hWnd(), &before);
    ASSERT_TRUE(Xdotool(Drag(OnScreen(150, 30), 80, 60)));
    GetWindowRect(form.hWnd(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(form.WindowState(), host::Form::kMaximized);
}

}  // namespace
