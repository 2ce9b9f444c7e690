// The user-control base: notification order, events with arguments by reference, the
// extender, ambient properties, focus, mouse and keys through real messages, and the
// drawing surface read back in pixels.
#include "host/user_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gdi_leak.h"
#include "host/form.h"
#include "host/standard_controls.h"
#include "pump.h"

namespace {

using Log = std::vector<std::string>;

std::string Where(double x, double y) {
    return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
}

// Records every notification; raises KeyPress and, for a space left as it is, Click.
class Recorder : public host::UserControl {
public:
    using UserControl::UserControl;
    std::string TypeName() const override { return "Recorder"; }

    Log log;
    host::Event<int&> OnKeyPress;
    host::Event<> OnClick;
    host::TextBox* inner = nullptr;  // a constituent that can take the focus
    bool marshalled = false;

    bool SetPropertyByName(std::string_view name, const host::PropertyValue& value) override {
        if (!host::KeysEqual(name, "MarshallChecked")) return UserControl::SetPropertyByName(name, value);
        marshalled = std::get<bool>(value);
        return true;
    }

protected:
    void Initialize() override {
        log.push_back("Initialize");
        inner = &AddConstituent<host::TextBox>("txtInner");
        inner->Move(0, 0, 300, 150);
    }
    void InitProperties() override { log.push_back("InitProperties"); }
    void ReadProperties(host::PropertyBag& bag) override {
        log.push_back("ReadProperties " + bag.ReadProperty<std::string>("Caption", "none"));
        bag.ReadProperty<host::I2>("SmoothCurvature", 25);  // may throw
        log.push_back("read all");
    }
    void Show() override { log.push_back("Show"); }
    void Hide() override { log.push_back("Hide"); }
    void Resize() override { log.push_back("Resize"); }
    void Paint() override { log.push_back("Paint"); }
    void GotFocus() override { log.push_back("GotFocus"); }
    void LostFocus() override { log.push_back("LostFocus"); }
    void EnterFocus() override { log.push_back("EnterFocus"); }
    void ExitFocus() override { log.push_back("ExitFocus"); }
    void MouseDown(int b, int s, double x, double y) override {
        log.push_back("MouseDown " + std::to_string(b) + " " + std::to_string(s) + " " + Where(x, y));
    }
    void MouseMove(int b, int, double x, double y) override {
        log.push_back("MouseMove " + std::to_string(b) + " " + Where(x, y));
    }
    void MouseUp(int b, int, double x, double y) override {
        log.push_back("MouseUp " + std::to_string(b) + " " + Where(x, y));
    }
    void Click() override { log.push_back("Click"); }
    void DblClick() override { log.push_back("DblClick"); }
    void KeyDown(int& code, int&) override { log.push_back("KeyDown " + std::to_string(code)); }
    void KeyUp(int& code, int&) override { log.push_back("KeyUp " + std::to_string(code)); }
    void KeyPress(int& key) override {
        OnKeyPress(key);
        log.push_back("KeyPress " + std::to_string(key));
        if (key == 32) OnClick();
    }
    void AccessKeyPress(int key) override { log.push_back("AccessKeyPress " + std::to_string(key)); }
    void Terminate() override {
        if (terminated) *terminated = true;
    }

public:
    bool* terminated = nullptr;
};

struct UserControlFixture : testing::Test {
    host::Form form{"frmHost"};
    void SetUp() override { form.Move(0, 0, 6000, 4500); }
    void ShowForm() {
        form.Show();
        form.ZOrder();
        wintest::PumpFor(30);
    }
};

TEST_F(UserControlFixture, NotificationOrderOnLoadAndFirstShow) {
    host::PropertyBag stored;
    stored.Set("Caption", std::string("Install"));
    auto& control = static_cast<Recorder&>(
        form.AddControl(std::make_unique<Recorder>("cmdInstall"), nullptr, &stored));
    control.Move(150, 150, 1500, 600);
    EXPECT_EQ(control.log, (Log{"Initialize", "ReadProperties Install", "read all", "Resize", "Resize"}));

    control.log.clear();
    ShowForm();
    ASSERT_FALSE(control.log.empty());
    EXPECT_EQ(control.log.front(), "Show");
    EXPECT_EQ(std::count(control.log.begin(), control.log.end(), "Show"), 1);
    EXPECT_NE(std::find(control.log.begin(), control.log.end(), "Paint"), control.log.end());

    control.log.clear();
    control.SetVisible(false);
    control.SetVisible(true);
    EXPECT_EQ(control.log.front(), "Hide");
    EXPECT_EQ(control.log[1], "Show");
}

TEST_F(UserControlFixture, NewInstanceOnAVisibleFormIsShownAtOnce) {
    ShowForm();
    auto& control = form.Add<Recorder>("cmdNew");
    EXPECT_EQ(control.log, (Log{"Initialize", "InitProperties", "Resize", "Show"}));
}

TEST_F(UserControlFixture, AStoredValueThatDoesNotFitReachesTheLoaderAfterTheLoad) {
    host::PropertyBag stored;
    stored.Set("SmoothCurvature", host::I4{70000});
    std::unique_ptr<Recorder> owned = std::make_unique<Recorder>("cmdBad");
    Recorder& control = *owned;
    EXPECT_THROW(form.AddControl(std::move(owned), nullptr, &stored), host::PropertyError);
    EXPECT_EQ(control.log, (Log{"Initialize", "ReadProperties none", "Resize"}));
    EXPECT_EQ(form.Controls().size(), 1u) << "the control is on the form all the same";
}

TEST_F(UserControlFixture, EventArgumentChangedByTheContainerIsSeenChanged) {
    auto& control = form.Add<Recorder>("cmdKeys");
    control.log.clear();
    int clicks = 0;
    control.OnClick = [&] { ++clicks; };
    control.OnKeyPress = [](int& key) {
        if (key == 'a') key = 'b';
    };
    SendMessageA(control.hWnd(), WM_CHAR, 'a', 0);
    SendMessageA(control.hWnd(), WM_CHAR, ' ', 0);
    EXPECT_EQ(clicks, 1);
    control.OnKeyPress = [](int& key) { key = 0; };  // the container cancels the space
    SendMessageA(control.hWnd(), WM_CHAR, ' ', 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(control.log, (Log{"KeyPress 98", "KeyPress 32", "KeyPress 0"}));
}

TEST_F(UserControlFixture, ExtenderIndexAndContainer) {
    auto& single = form.Add<Recorder>("cmdExit");
    auto& member = form.Add<Recorder>("optOrb", 1);
    single.Extender().Move(300, 450, 1500, 600);
    EXPECT_FALSE(single.Extender().Index().has_value());
    EXPECT_EQ(member.Extender().Index(), 1);
    EXPECT_EQ(single.Extender().Name(), "cmdExit");
    EXPECT_EQ(single.Extender().Left(), 300);
    EXPECT_EQ(single.Extender().Top(), 450);
    EXPECT_EQ(single.Extender().Width(), 1500);
    EXPECT_EQ(single.Extender().Height(), 600);
    RECT r{};
    GetWindowRect(single.hWnd(), &r);
    EXPECT_EQ(r.right - r.left, 100);
    ASSERT_EQ(single.Extender().Container(), static_cast<host::Container*>(&form));
    EXPECT_EQ(single.Extender().Container()->hDC(), form.hDC());
    EXPECT_EQ(single.Extender().Container()->hWnd(), form.hWnd());
    EXPECT_EQ(single.Extender().Parent(), &form);
}

TEST_F(UserControlFixture, AmbientParentControlsLateBoundAndChangeNotification) {
    auto font = std::make_shared<host::Font>("Arial", 9.75);
    form.SetFont(font);
    auto& a = form.Add<Recorder>("lblOrb", 0);
    auto& b = form.Add<Recorder>("lblOrb", 1);
    EXPECT_EQ(a.Ambient().Font, font);
    EXPECT_TRUE(a.Ambient().UserMode);

    const auto siblings = a.ParentControls();
    ASSERT_EQ(siblings.size(), 2u);
    EXPECT_EQ(siblings[1], &b);
    auto* other = dynamic_cast<host::UserControl*>(siblings[1]);
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->SetPropertyByName("marshallchecked", true));
    EXPECT_TRUE(b.marshalled);
    EXPECT_FALSE(other->SetPropertyByName("NoSuchMember", true));
    EXPECT_FALSE(other->GetPropertyByName("MarshallChecked").has_value());

    Log changed;
    a.OnPropertyChanged = [&](const std::string& name) { changed.push_back(name); };
    a.PropertyChanged("Checked");
    EXPECT_EQ(changed, (Log{"Checked"}));
    EXPECT_EQ(a.Controls().size(), 1u);
    EXPECT_EQ(a.inner->Parent(), static_cast<host::Container*>(&a));
}

TEST_F(UserControlFixture, MouseInTheControlsScaleAndClick) {
    auto& control = form.Add<Recorder>("cmdMouse");
    control.Move(0, 0, 1500, 600);
    ShowForm();
    control.log.clear();
    SendMessageA(control.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 5));
    EXPECT_EQ(GetCapture(), control.hWnd()) << "a press captures the mouse";
    SendMessageA(control.hWnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 6));
    SendMessageA(control.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(12, 6));
    EXPECT_NE(GetCapture(), control.hWnd());
    control.SetScaleMode(host::DrawingSurface::kPixels);
    SendMessageA(control.hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 5));
    SendMessageA(control.hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(200, 5));
    SendMessageA(control.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 1));
    EXPECT_EQ(control.log, (Log{"EnterFocus", "GotFocus", "MouseDown 1 1 150,75", "MouseMove 1 180,90",
                                "MouseUp 1 180,90", "Click", "MouseDown 2 0 10,5", "MouseUp 2 200,5",
                                "DblClick"}));
}

TEST_F(UserControlFixture, FocusEntersAndLeavesTheControlAsAWhole) {
    auto& control = form.Add<Recorder>("cmdFocus");
    control.Move(0, 0, 1500, 600);
    auto& outside = form.Add<host::TextBox>("txtEmail");
    outside.Move(0, 1500, 1500, 300);
    ShowForm();
    outside.SetFocus();
    control.log.clear();

    SetFocus(control.hWnd());
    control.inner->SetFocus();  // into a constituent: still inside the control
    SetFocus(control.hWnd());
    outside.SetFocus();
    EXPECT_EQ(control.log, (Log{"EnterFocus", "GotFocus", "LostFocus", "GotFocus", "LostFocus",
                                "ExitFocus"}));
}

TEST_F(UserControlFixture, KeysAndAccessKeys) {
    auto& control = form.Add<Recorder>("cmdKeys");
    control.SetAccessKeys("i");
    auto& other = form.Add<host::TextBox>("txtEmail");
    control.log.clear();
    SendMessageA(control.hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(control.hWnd(), WM_KEYUP, VK_SPACE, 0);
    SendMessageA(other.hWnd(), WM_SYSCHAR, 'I', 0);  // Alt+I anywhere on the form
    SendMessageA(other.hWnd(), WM_SYSCHAR, 'x', 0);
    EXPECT_EQ(control.log, (Log{"KeyDown 32", "KeyUp 32", "AccessKeyPress 73"}));
}

TEST_F(UserControlFixture, TerminateRunsWhenTheFormUnloads) {
    bool terminated = false;
    auto& control = form.Add<Recorder>("cmdEnd");
    control.terminated = &terminated;
    form.Unload();
    EXPECT_TRUE(terminated);
}

// The drawing surface in its two scales, read back from the persistent image.
struct SurfaceFixture : UserControlFixture {
    Recorder* control = nullptr;
    void SetUp() override {
        UserControlFixture::SetUp();
        control = &form.Add<Recorder>("picFace");
        control->Move(0, 0, 1500, 750);  // 100 × 50 pixels
        control->SetAutoRedraw(true);
        control->SetBackColor(RGB(255, 255, 255));
    }
    COLORREF At(int x, int y) { return GetPixel(control->hDC(), x, y); }
};

TEST_F(SurfaceFixture, PrintMovesTheCurrentPosition) {
    control->SetFont(std::make_shared<host::Font>("Arial", 9.75));
    const double width = control->TextWidth("Install");
    const double height = control->TextHeight("Install");
    EXPECT_GT(width, 0);
    EXPECT_EQ(control->TextHeight("two\nlines"), 2 * height);
    control->SetCurrentX(30);
    control->Print("Install", false);
    EXPECT_DOUBLE_EQ(control->CurrentX(), 30 + width);
    EXPECT_DOUBLE_EQ(control->CurrentY(), 0);
    control->Print("Install");
    EXPECT_DOUBLE_EQ(control->CurrentX(), 0);
    EXPECT_DOUBLE_EQ(control->CurrentY(), height);

    control->SetScaleMode(host::DrawingSurface::kPixels);
    EXPECT_DOUBLE_EQ(control->TextWidth("Install") * 15, width);
}

TEST_F(SurfaceFixture, LinesBoxesCirclesAndPoints) {
    control->SetScaleMode(host::DrawingSurface::kPixels);
    control->Line(0, 0, 10, 0, RGB(255, 0, 0));
    EXPECT_EQ(At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(At(9, 0), RGB(255, 0, 0));
    EXPECT_EQ(At(10, 0), RGB(255, 255, 255)) << "the end point is not painted";
    EXPECT_DOUBLE_EQ(control->CurrentX(), 10);

    control->Box(20, 20, 29, 29, RGB(0, 0, 255), true);
    EXPECT_EQ(At(20, 20), RGB(0, 0, 255));
    EXPECT_EQ(At(29, 29), RGB(0, 0, 255));
    EXPECT_EQ(At(30, 30), RGB(255, 255, 255));

    control->SetFillStyle(host::DrawingSurface::kFillTransparent);
    control->Box(40, 20, 49, 29, RGB(0, 128, 0));
    EXPECT_EQ(At(40, 25), RGB(0, 128, 0));
    EXPECT_EQ(At(45, 25), RGB(255, 255, 255)) << "an outline with a transparent fill";
    control->SetFillStyle(host::DrawingSurface::kFillSolid);
    control->SetFillColor(RGB(255, 255, 0));
    control->Circle(70, 25, 10, RGB(0, 0, 0));
    EXPECT_EQ(At(70, 25), RGB(255, 255, 0));
    EXPECT_EQ(At(60, 25), RGB(0, 0, 0));
    control->PSet(90, 40, RGB(1, 2, 3));
    EXPECT_EQ(At(90, 40), RGB(1, 2, 3));

    control->SetScaleMode(host::DrawingSurface::kTwips);
    control->SetDrawWidth(1);
    control->SetForeColor(RGB(9, 9, 9));
    control->Line(0, 150, 150, 150);  // 10 pixels in twips
    EXPECT_EQ(At(9, 10), RGB(9, 9, 9));
    EXPECT_EQ(At(10, 10), RGB(255, 255, 255));

    control->Cls();
    EXPECT_EQ(At(20, 20), RGB(255, 255, 255));
    EXPECT_EQ(control->CurrentX(), 0);
}

TEST_F(SurfaceFixture, PersistentImageIsWhatTheScreenShowsAfterARepaint) {
    ShowForm();
    control->SetScaleMode(host::DrawingSurface::kPixels);
    control->Box(0, 0, 49, 49, RGB(200, 0, 0), true);
    InvalidateRect(control->hWnd(), nullptr, TRUE);
    UpdateWindow(control->hWnd());
    EXPECT_EQ(wintest::ScreenPixel(control->hWnd(), 25, 25), RGB(200, 0, 0));
    EXPECT_EQ(wintest::ScreenPixel(control->hWnd(), 75, 25), RGB(255, 255, 255));
}

TEST_F(SurfaceFixture, DrawingAFaceHundredsOfTimesLeaksNoGdiObject) {
    control->SetScaleMode(host::DrawingSurface::kPixels);
    int round = 0;
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] {
        ++round;
        control->Cls();
        for (int y = 0; y < 50; y += 4) control->Line(0, y, 100, y, RGB(y * 5, 0, 255 - y * 5));
        control->SetFontUnderline(round % 2 == 0);
        control->SetFont(std::make_shared<host::Font>("Arial", 8.25 + round % 3));
        control->SetCurrentX(10);
        control->SetCurrentY(10);
        control->Print("Install");
        control->SetDrawWidth(1 + round % 3);
        control->Box(2, 2, 97, 47, RGB(0, 0, 0));
        control->Circle(50, 25, 5);
    }));
}

}  // namespace
