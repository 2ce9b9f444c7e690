// Forms and standard controls of the host with real windows and real messages.
#include "host/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdi_leak.h"
#include "host/app.h"
#include "host/standard_controls.h"
#include "pump.h"

namespace {

RECT ClientRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Form, SizesAreTwipsAtFifteenPerPixel) {
    host::Form form("frmSize");
    form.Move(0, 0, 4500, 3000);
    ASSERT_TRUE(form.Load());
    RECT r{};
    GetWindowRect(form.hWnd(), &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_EQ(form.Width(), 4500);
    form.SetHeight(1500);
    GetWindowRect(form.hWnd(), &r);
    EXPECT_EQ(r.bottom - r.top, 100);

    auto& box = form.Add<host::PictureBox>("picBox");
    box.Move(150, 300, 1500, 450);
    const RECT placed = ClientRectOf(box.hWnd());
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right - placed.left, 100);
    EXPECT_EQ(placed.bottom - placed.top, 30);
    EXPECT_EQ(box.Left(), 150);
    EXPECT_EQ(box.Width(), 1500);

    // Inside a container in pixel scale, placement is in pixels.
    box.SetScaleMode(host::DrawingSurface::kPixels);
    auto& inner = form.AddTo<host::Label>(box, "lblInner");
    inner.Move(4, 5, 20, 10);
    const RECT innerRect = ClientRectOf(inner.hWnd());
    EXPECT_EQ(innerRect.left, 4);
    EXPECT_EQ(innerRect.right - innerRect.left, 20);
}

TEST(Form, WindowStateBorderStyleAndZOrder) {
    host::Form form("frmState");
    form.SetBorderStyle(host::Form::kBorderFixedDialog);
    form.Move(0, 0, 3000, 3000);
    form.Show();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(GetWindowLongPtrA(form.hWnd(), GWL_STYLE) & WS_THICKFRAME, 0);
    form.SetWindowState(host::Form::kMinimized);
    EXPECT_TRUE(IsIconic(form.hWnd()));
    EXPECT_EQ(form.WindowState(), 1);
    form.SetWindowState(host::Form::kMaximized);
    EXPECT_EQ(form.WindowState(), 2);
    form.SetWindowState(host::Form::kNormal);
    EXPECT_EQ(form.WindowState(), 0);

    host::Form other("frmOther");
    other.Move(0, 0, 3000, 3000);
    other.Show();
    form.ZOrder();
    EXPECT_EQ(GetWindow(form.hWnd(), GW_HWNDFIRST), form.hWnd());

    const auto icon = host::App::LoadIconPicture("#1");
    form.SetIcon(icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form.hWnd(), WM_GETICON, ICON_BIG, 0)),
              icon->Icon());
}

TEST(Form, UnloadRunsHandlersAndCanBeCancelled) {
    host::Form form("frmUnload");
    form.Load();
    std::vector<std::string> seen;
    int cancel = -1;
    form.OnUnload = [&](int& c) {
        seen.push_back("form");
        c = cancel;
    };
    auto subscription = form.SubscribeUnload([&] { seen.push_back("holder"); });

    form.Unload();
    EXPECT_TRUE(form.Loaded()) << "a non-zero cancel keeps the form";
    EXPECT_EQ(seen, (std::vector<std::string>{"form"}));

    cancel = 0;
    form.Unload();
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(form.hWnd(), nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"form", "form", "holder"}));

    // WM_CLOSE unloads too; the form can be loaded again.
    ASSERT_TRUE(form.Load());
    SendMessageA(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.Loaded());
}

TEST(Form, UnloadFromInsideAControlsHandlerWaitsForTheHandler) {
    host::Form form("frmInside");
    auto& option = form.Add<host::OptionButton>("optClose");
    option.Move(0, 0, 1500, 300);
    form.Show();
    HWND optionWindow = option.hWnd();
    HWND formWindow = form.hWnd();
    bool windowAliveAfterUnload = false;
    bool stillListed = true;
    option.OnClick = [&] {
        form.Unload();
        // Still inside the handler: the control and its window must still be there.
        windowAliveAfterUnload = IsWindow(optionWindow) && option.hWnd() == optionWindow;
        stillListed = !host::App::Forms().empty() && host::App::Forms().back() == &form;
        option.SetCaption("still usable");
    };
    SendMessageA(optionWindow, BM_CLICK, 0, 0);
    EXPECT_TRUE(windowAliveAfterUnload);
    EXPECT_FALSE(stillListed) << "an unloaded form leaves the list at once";
    EXPECT_FALSE(IsWindow(optionWindow)) << "destroyed once the handler returned";
    EXPECT_FALSE(IsWindow(formWindow));
    EXPECT_TRUE(form.Controls().empty());
}

TEST(Form, ResizeIsNotifiedToTheFormAndItsHolders) {
    host::Form form("frmResize");
    form.Load();
    int own = 0, held = 0;
    form.OnResize = [&] { ++own; };
    {
        auto subscription = form.SubscribeResize([&] { ++held; });
        form.SetWidth(6000);
        EXPECT_EQ(own, 1);
        EXPECT_EQ(held, 1);
    }
    form.SetWidth(5000);
    EXPECT_EQ(own, 2);
    EXPECT_EQ(held, 1) << "an ended subscription hears nothing";
}

TEST(Form, ControlsHaveTypeNamesAndNames) {
    host::Form form("frmList");
    form.Add<host::TextBox>("txtEmail");
    form.Add<host::PictureBox>("picPB");
    form.Add<host::OptionButton>("optProLite", 0);
    form.Add<host::Label>("lblStrip");
    form.Add<host::Image>("imgLogo");
    form.Add<host::Timer>("tCheckEmail");
    std::vector<std::string> listed;
    for (host::Control* c : form.Controls()) listed.push_back(c->TypeName() + " " + c->Name());
    EXPECT_EQ(listed, (std::vector<std::string>{"TextBox txtEmail", "PictureBox picPB",
                                                "OptionButton optProLite", "Label lblStrip",
                                                "Image imgLogo", "Timer tCheckEmail"}));
    EXPECT_EQ(form.FindControl("optProLite", 0)->Index(), 0);
    EXPECT_EQ(form.FindControl("optProLite"), nullptr) << "an array member needs its index";
}

TEST(TextBox, TextAndFocus) {
    host::Form form("frmText");
    auto& text = form.Add<host::TextBox>("txtEmail");
    text.Move(0, 0, 1500, 300);
    text.SetText("user@example.com");
    EXPECT_EQ(text.Text(), "user@example.com");
    char raw[64] = {};
    GetWindowTextA(text.hWnd(), raw, sizeof raw);
    EXPECT_STREQ(raw, "user@example.com");
    int changes = 0;
    text.OnChange = [&] { ++changes; };
    SetWindowTextA(text.hWnd(), "typed");
    EXPECT_EQ(changes, 1);

    form.Show();
    form.ZOrder();
    text.SetFocus();
    EXPECT_EQ(GetFocus(), text.hWnd());
}

TEST(Timer, TicksWhileEventsAreProcessed) {
    host::Form form("frmTimer");
    auto& timer = form.Add<host::Timer>("tCheckEmail");
    int ticks = 0;
    timer.OnTick = [&] { ++ticks; };
    timer.SetInterval(20);
    wintest::PumpFor(250);
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 15);

    timer.SetEnabled(false);
    const int stopped = ticks;
    wintest::PumpFor(100);
    EXPECT_EQ(ticks, stopped);

    timer.SetEnabled(true);
    timer.SetInterval(0);
    wintest::PumpFor(100);
    EXPECT_EQ(ticks, stopped) << "interval 0 does not tick";
}

TEST(Timer, TickHandlerMayUnloadTheForm) {
    host::Form form("frmTimerUnload");
    auto& timer = form.Add<host::Timer>("tOnce");
    int ticks = 0;
    timer.OnTick = [&] {
        ++ticks;
        form.Unload();
    };
    timer.SetInterval(10);
    wintest::PumpFor(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(form.Loaded());
}

TEST(OptionButton, OneValueInAGroupOfSiblings) {
    host::Form form("frmOptions");
    auto& lite = form.Add<host::OptionButton>("optProLite", 0);
    auto& pro = form.Add<host::OptionButton>("optProLite", 1);
    auto& panel = form.Add<host::PictureBox>("picPanel");
    auto& inPanel = form.AddTo<host::OptionButton>(panel, "optOther");
    inPanel.SetValue(true);
    pro.Move(0, 0, 1500, 300);
    form.Show();

    lite.SetValue(true);
    EXPECT_TRUE(lite.Value());
    EXPECT_FALSE(pro.Value());
    int clicks = 0;
    pro.OnClick = [&] { ++clicks; };
    SendMessageA(pro.hWnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(pro.Value());
    EXPECT_FALSE(lite.Value());
    EXPECT_EQ(SendMessageA(lite.hWnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(inPanel.Value()) << "another container is another group";
}

// A visible form with an AutoRedraw picture box, 100 × 40 pixels, no border.
struct PictureBoxFixture : testing::Test {
    host::Form form{"frmPicture"};
    host::PictureBox* box = nullptr;

    void SetUp() override {
        form.Move(0, 0, 3000, 1500);
        box = &form.Add<host::PictureBox>("picPB");
        box->SetBorderStyle(0);
        box->Move(0, 0, 1500, 600);
        box->SetBackColor(RGB(208, 208, 224));
        form.Show();
        form.ZOrder();
        wintest::PumpFor(50);
    }

    void Repaint() {
        InvalidateRect(box->hWnd(), nullptr, TRUE);
        UpdateWindow(box->hWnd());
    }
};

TEST_F(PictureBoxFixture, PersistentImageSurvivesInvalidateAndRepaint) {
    box->SetAutoRedraw(true);
    box->SetForeColor(RGB(0, 0, 128));
    box->SetFillColor(RGB(255, 0, 0));
    box->SetFillStyle(host::DrawingSurface::kFillSolid);
    box->Cls();
    // A plain GDI call uses the box's current pen and fill.
    Rectangle(box->hDC(), 0, 0, 50, 20);
    box->Refresh();
    Repaint();
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 25, 10), RGB(255, 0, 0));
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 0, 10), RGB(0, 0, 128));
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 75, 10), RGB(208, 208, 224));

    box->Cls();
    Repaint();
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 25, 10), RGB(208, 208, 224));
}

TEST_F(PictureBoxFixture, DrawingWithRedrawSuspendedShowsOnceRedrawResumes) {
    // The progress bar's way: suspend redraw, clear, draw with plain GDI, resume, invalidate.
    box->SetAutoRedraw(true);
    box->SetFillColor(RGB(0, 128, 0));
    box->SetFillStyle(host::DrawingSurface::kFillSolid);
    SendMessageA(box->hWnd(), WM_SETREDRAW, FALSE, 0);
    box->Cls();
    Rectangle(box->hDC(), 0, 0, 30, 20);
    RECT text{0, 1, 98, 40};
    DrawTextA(box->hDC(), "50 %", -1, &text, DT_CENTER);
    SendMessageA(box->hWnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box->hWnd(), nullptr, TRUE);
    UpdateWindow(box->hWnd());
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 15, 10), RGB(0, 128, 0));
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 90, 30), RGB(208, 208, 224));
}

TEST_F(PictureBoxFixture, WithoutAutoRedrawARepaintClearsTheDrawing) {
    int paints = 0;
    box->OnPaint = [&] { ++paints; };
    box->SetFillColor(RGB(255, 0, 0));
    box->SetFillStyle(host::DrawingSurface::kFillSolid);
    Rectangle(box->hDC(), 0, 0, 50, 20);
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 25, 10), RGB(255, 0, 0));
    Repaint();
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 25, 10), RGB(208, 208, 224));
    EXPECT_GE(paints, 1);
}

TEST_F(PictureBoxFixture, VisibilityAndPicture) {
    box->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(box->hWnd()));
    EXPECT_FALSE(box->Visible());
    box->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(box->hWnd()));

    box->SetPicture(host::App::LoadBitmapPicture("#101"));
    Repaint();
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 12, 5), RGB(0, 0, 255));
    EXPECT_EQ(wintest::ScreenPixel(box->hWnd(), 30, 5), RGB(208, 208, 224));
}

TEST_F(PictureBoxFixture, DrawingStateChangesLeakNoGdiObject) {
    box->SetAutoRedraw(true);
    int round = 0;
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] {
        ++round;
        box->SetForeColor(RGB(round % 256, 0, 0));
        box->SetFillColor(RGB(0, round % 256, 0));
        box->SetFillStyle(round % 2 ? host::DrawingSurface::kFillSolid
                                    : host::DrawingSurface::kFillTransparent);
        box->Surface().SetFontUnderline(round % 2 == 0);
        box->Cls();
        box->Surface().Line(0, 0, 300, 150, RGB(1, 2, 3));
        box->Surface().Box(15, 15, 300, 150, RGB(4, 5, 6), round % 2 == 0);
        box->Surface().Circle(300, 300, 150, RGB(7, 8, 9));
        box->Surface().Print("12 %");
    }));
}

}  // namespace
