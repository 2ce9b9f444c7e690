// The window helpers on real windows: regions read back with GetWindowRgn and PtInRegion,
// shadow pixels, the wait and the loaded-form test.
#include "support/window_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "gdi_leak.h"
#include "host/app.h"
#include "pump.h"

namespace {

// The form's window region, tested point by point.
class WindowRegion {
public:
    explicit WindowRegion(HWND window) : region_(CreateRectRgn(0, 0, 0, 0)) {
        kind_ = GetWindowRgn(window, region_.get());
    }
    bool Has(int x, int y) const { return PtInRegion(region_.get(), x, y); }
    int Kind() const { return kind_; }

private:
    host::unique_region region_;
    int kind_ = ERROR;
};

struct ShapeCase {
    int borderStyle;
    std::int32_t frameX, frameY;  // 0: from the metrics
};

TEST(ShapeWindow, BodyBumpFillerAndFrameInsets) {
    const ShapeCase cases[] = {{2, 0, 0}, {0, 0, 0}, {3, 0, 0}, {2, 6, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE("border style " + std::to_string(c.borderStyle) + ", frame " +
                     std::to_string(c.frameX));
        host::Form form("frmShape");
        form.SetBorderStyle(c.borderStyle);
        form.Move(0, 0, 7500, 6000);  // 500 × 400 pixels
        form.Load();
        std::int32_t frameX = c.frameX, frameY = c.frameY;
        windowing::ShapeWindow(form, 40, true, 2, 5, 42, 55, 65, frameX, frameY);

        const bool sizable = c.borderStyle == 2;
        const int fx = c.frameX ? c.frameX : GetSystemMetrics(sizable ? SM_CXFRAME : SM_CXDLGFRAME);
        const int fy = c.frameY ? c.frameY : GetSystemMetrics(sizable ? SM_CYFRAME : SM_CYDLGFRAME);
        EXPECT_EQ(frameX, fx) << "written back";
        EXPECT_EQ(frameY, fy);

        const WindowRegion region(form.hWnd());
        ASSERT_EQ(region.Kind(), COMPLEXREGION);
        EXPECT_TRUE(region.Has(250, 200)) << "the body";
        EXPECT_TRUE(region.Has(fx, 200)) << "the left frame inset is the body's edge";
        EXPECT_FALSE(region.Has(fx - 1, 200)) << "outside the left inset";
        // A rounded rectangle region ends one pixel before its right and bottom values.
        EXPECT_TRUE(region.Has(498 - fx, 200));
        EXPECT_FALSE(region.Has(499 - fx, 200)) << "outside the right inset";
        EXPECT_FALSE(region.Has(250, 19)) << "above the body";
        EXPECT_TRUE(region.Has(250, 21));
        EXPECT_TRUE(region.Has(250, 398 - fy));
        EXPECT_FALSE(region.Has(250, 399 - fy)) << "past the bottom inset";
        EXPECT_FALSE(region.Has(498 - fx, 22)) << "the rounded top-right corner";
        EXPECT_FALSE(region.Has(498 - fx, 396 - fy)) << "the rounded bottom-right corner";
        EXPECT_TRUE(region.Has(22, 8)) << "the bump above the body";
        EXPECT_FALSE(region.Has(44, 8)) << "right of the bump";
        EXPECT_TRUE(region.Has(fx, 33)) << "the filler squares off the corner under the bump";
        EXPECT_TRUE(region.Has(fx, 99));
        EXPECT_FALSE(region.Has(fx + 1, 397 - fy)) << "the rounded bottom-left corner";
    }
}

TEST(ShapeWindow, WithoutTheBumpTheBodyRunsFromThreePixels) {
    host::Form form("frmPlain");
    form.SetBorderStyle(0);
    form.Move(0, 0, 7500, 6000);
    form.Load();
    std::int32_t frameX = 5, frameY = 5;
    windowing::ShapeWindow(form, 10, false, 0, 0, 0, 0, 0, frameX, frameY);
    const WindowRegion region(form.hWnd());
    EXPECT_TRUE(region.Has(250, 3));
    EXPECT_FALSE(region.Has(250, 2));
    EXPECT_TRUE(region.Has(250, 395));
    EXPECT_FALSE(region.Has(250, 396));
    EXPECT_FALSE(region.Has(6, 4)) << "the rounded corner, no bump";
}

TEST(ShapePicture, RoundedAndInsetFromItsOwnMeasures) {
    // The caption bar's logo: a 48 × 48 picture box in a container of pixel scale, frame 9,
    // curvature 65, moved by -8: the region runs from (1, 1) to (31, 31).
    host::Form form("frmLogo");
    auto& bar = form.Add<host::PictureBox>("picBar");
    bar.SetScaleMode(host::DrawingSurface::kPixels);
    bar.Move(0, 0, 1500, 1500);
    auto& logo = form.AddTo<host::PictureBox>(bar, "picLogo");
    logo.SetBorderStyle(0);
    logo.Move(6, 9, 48, 48);
    ASSERT_EQ(logo.Width(), 48);
    windowing::ShapePicture(logo, 9, 65, -8, -8);
    const WindowRegion region(logo.hWnd());
    ASSERT_NE(region.Kind(), ERROR);
    EXPECT_TRUE(region.Has(16, 16));
    EXPECT_TRUE(region.Has(16, 1));
    EXPECT_FALSE(region.Has(16, 0)) << "above the inset";
    EXPECT_TRUE(region.Has(29, 16));
    EXPECT_FALSE(region.Has(30, 16)) << "right of the inset";
    EXPECT_FALSE(region.Has(3, 3)) << "the rounded corner";
    EXPECT_FALSE(region.Has(40, 40));
}

// A button as DrawButtonShadow sees one.
struct FakeButton {
    int left = 300, top = 600, width = 1500, height = 450;  // 100 × 30 pixels at (20, 40)
    int mask = 0;
    bool visible = true;
    int Left() const { return left; }
    int Top() const { return top; }
    int Width() const { return width; }
    int Height() const { return height; }
    bool Visible() const { return visible; }
    int StraightSideMask() const { return mask; }
};

struct ShadowFixture : testing::Test {
    host::unique_dc dc{CreateCompatibleDC(nullptr)};
    host::unique_bitmap bitmap;
    HGDIOBJ previous = nullptr;
    void SetUp() override {
        HDC screen = GetDC(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen, 200, 100));
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc.get(), bitmap.get());
        RECT all{0, 0, 200, 100};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    void TearDown() override { SelectObject(dc.get(), previous); }
    COLORREF At(int x, int y) { return GetPixel(dc.get(), x, y); }
};

TEST_F(ShadowFixture, FiveRowsWithTheirColoursShiftsAndUnpaintedEnds) {
    const std::uint32_t base = RGB(16, 18, 81);
    const std::uint32_t colors[5] = {base, windowing::ShadeColor(10, base), windowing::ShadeColor(30, base),
                                     windowing::ShadeColor(40, base), windowing::ShadeColor(20, base)};
    for (int mask : {0, 2}) {
        SetUp();
        FakeButton button;
        button.mask = mask;
        windowing::DrawButtonShadow(button, dc.get(), false);
        const int inset = mask == 2 ? 2 : 10;
        for (int row = 0; row < 5; ++row) {
            const int y = 67 + row, from = 20 + inset + row, to = from + 100 - inset;
            SCOPED_TRACE("mask " + std::to_string(mask) + " row " + std::to_string(row));
            EXPECT_EQ(At(from - 1, y), RGB(255, 255, 255));
            EXPECT_EQ(At(from, y), colors[row]);
            EXPECT_EQ(At(to - 1, y), colors[row]);
            EXPECT_EQ(At(to, y), RGB(255, 255, 255)) << "the end point is not painted";
        }
        EXPECT_EQ(At(60, 66), RGB(255, 255, 255));
        EXPECT_EQ(At(60, 72), RGB(255, 255, 255));
    }
}

TEST_F(ShadowFixture, AHiddenButtonHasNoShadowOnlyWhenAskedSo) {
    FakeButton button;
    button.visible = false;
    windowing::DrawButtonShadow(button, dc.get(), true);
    EXPECT_EQ(At(60, 67), RGB(255, 255, 255));
    windowing::DrawButtonShadow(button, dc.get(), false);
    EXPECT_EQ(At(60, 67), RGB(16, 18, 81));
}

TEST_F(ShadowFixture, DrawingTheShadowHundredsOfTimesLeaksNoPen) {
    FakeButton button;
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] { windowing::DrawButtonShadow(button, dc.get(), true); }));
}

TEST(WaitMs, ZeroReturnsWithoutProcessingEvents) {
    host::Form form("frmWait");
    form.Load();
    PostMessageA(form.hWnd(), WM_CLOSE, 0, 0);
    windowing::WaitMs(0);
    EXPECT_TRUE(form.Loaded());
    windowing::WaitMs(-5);
    EXPECT_TRUE(form.Loaded());

    const DWORD start = GetTickCount();
    windowing::WaitMs(200);
    const DWORD waited = GetTickCount() - start;
    EXPECT_FALSE(form.Loaded()) << "the posted close was processed during the wait";
    EXPECT_GE(waited, 190u);
    EXPECT_LT(waited, 1000u);
}

TEST(IsFormLoaded, ExactNamesOfLoadedForms) {
    host::Form form("frmMain");
    EXPECT_FALSE(windowing::IsFormLoaded("frmMain"));
    form.Load();
    EXPECT_TRUE(windowing::IsFormLoaded("frmMain"));
    EXPECT_FALSE(windowing::IsFormLoaded("frmmain"));
    EXPECT_FALSE(windowing::IsFormLoaded("frmMai"));
    form.Unload();
    EXPECT_FALSE(windowing::IsFormLoaded("frmMain"));
}

TEST(OpenDocument, GoesThroughTheShellOpenEffect) {
    struct Recorder : host::App::Effects {
        std::vector<std::string> opened;
        bool ShellOpen(const std::string& target) override {
            opened.push_back(target);
            return false;
        }
    } recorder;
    host::App::SetEffects(&recorder);
    windowing::OpenDocument("http://127.0.0.1:8765/compare.htm");
    host::App::SetEffects(nullptr);
    EXPECT_EQ(recorder.opened, (std::vector<std::string>{"http://127.0.0.1:8765/compare.htm"}));
}

// The frame sizes are read once: a later change of the system's border width leaves them as
// they were first read.
TEST(FrameMetrics, KeepTheirFirstValuesWhenTheSystemChanges) {
    const std::int32_t first[] = {windowing::DlgFrameX(), windowing::DlgFrameY(), windowing::SizeFrameX(),
                                  windowing::SizeFrameY()};
    UINT border = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETBORDER, 0, &border, 0));
    const int sizingBefore = GetSystemMetrics(SM_CXFRAME);
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETBORDER, border + 3, nullptr, 0));  // not saved
    const int sizingAfter = GetSystemMetrics(SM_CXFRAME);
    const std::int32_t now[] = {windowing::DlgFrameX(), windowing::DlgFrameY(), windowing::SizeFrameX(),
                                windowing::SizeFrameY()};
    SystemParametersInfoA(SPI_SETBORDER, border, nullptr, 0);
    ASSERT_NE(sizingAfter, sizingBefore) << "the system's sizing frame follows its border width";
    EXPECT_TRUE(std::equal(std::begin(first), std::end(first), std::begin(now)));
    EXPECT_GT(first[2], 0);
    EXPECT_GT(first[3], 0);
}

}  // namespace
