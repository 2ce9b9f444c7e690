// The caption bar's set-up and properties on a real form: size and place, colours, the box
// layouts, the toolbar events, SynchColorsNow's order, the logo, the hover tracker on the bar
// and the redraws it and the parent's resize bring.
#include <gtest/gtest.h>

#include <algorithm>

#include "captionbar_fixture.h"
#include "support/cls_track_mouse.h"

namespace {

using wintest::CaptionBarFixture;
using wintest::Log;

RECT InParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(CaptionBarFixture, InitMenuPutsTheBarAcrossTheTopOfItsParent) {
    bar->Extender().Move(300, 300, 1500, 300);
    Init();
    const RECT r = InParent(bar->hWnd());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom - r.top, 46);
    EXPECT_EQ(r.right - r.left, form.Width() / 15);
    EXPECT_EQ(bar->MenuHeight(), 46 * 15);
    EXPECT_EQ(bar->MenuWidth(), form.Width());
    EXPECT_EQ(bar->MyParent(), &form);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(bar->hWnd(), GWLP_WNDPROC)),
              &modTM::TrackWindowProc)
        << "the hover tracker watches the bar's window";

    // A second call changes the flags and the mask, not the size.
    titOrb::MenuSettings later = modMain::MainCaptionBarMenu(form);
    later.ovrMenuHeight = 20 * 15;
    later.ControlBoxesMask = 16;
    bar->InitMenu(later);
    EXPECT_EQ(InParent(bar->hWnd()).bottom, 46);
    EXPECT_EQ(bar->ItemMask(), 16);
}

TEST_F(CaptionBarFixture, ColoursWithTheSystemBitAreStoredAsTheirRgb) {
    Init();
    EXPECT_EQ(bar->Bkcolor(), GetSysColor(COLOR_BTNFACE)) << "InitMenu's BakColor 0x8000000F";
    EXPECT_EQ(bar->HilightColor(), GetSysColor(COLOR_HIGHLIGHT));
    bar->SetBkcolor(0x80000010);
    EXPECT_EQ(bar->Bkcolor(), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(bar->BackColor(), GetSysColor(COLOR_BTNSHADOW));
    bar->SetBkcolor(RGB(1, 2, 3));
    EXPECT_EQ(bar->Bkcolor(), RGB(1, 2, 3));
}

TEST_F(CaptionBarFixture, BoxLayoutsFollowAllowMaximizeAndCloseButtonOnly) {
    Init();
    struct Case {
        bool allow, closeOnly;
        bool minVisible, resVisible;
        int closeLeftPixels, stripWidth;
    } const cases[] = {
        {true, false, true, true, 25 + 33, 25 + 33 + 42},
        {false, false, true, false, 25, 25 + 42},
        {false, true, false, false, 0, 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "AllowMaximize " << c.allow << " CloseButtonOnly " << c.closeOnly);
        bar->SetAllowMaximize(c.allow);
        bar->SetCloseButtonOnly(c.closeOnly);
        EXPECT_EQ(bar->picmin().Visible(), c.minVisible);
        EXPECT_EQ(bar->Picres().Visible(), c.resVisible);
        EXPECT_EQ(InParent(bar->picClose().hWnd()).left, c.closeLeftPixels);
        EXPECT_EQ(bar->picButtons().Width(), c.stripWidth);
        EXPECT_EQ(bar->picButtons().Left(), 600 - (c.stripWidth + 25))
            << "the strip ends 25 pixels short of the parent's right edge";
    }
}

TEST_F(CaptionBarFixture, ToolbarSliderTellsTheFirstShowApart) {
    Init();
    bar->SetToolbarSlider(true);
    bar->SetToolbarSlider(true);
    bar->SetToolbarSlider(false);
    EXPECT_EQ(log, (Log{"ShowToolbar first", "ShowToolbar again", "HideToolbar"}));
    EXPECT_FALSE(bar->ToolbarSlider());
}

TEST_F(CaptionBarFixture, SynchColorsNowRaisesSynchColorsOnceBeforeTheRedraw) {
    Init();
    log.clear();
    titOrb::Colour bc = RGB(180, 180, 180), hc = 0, fc = RGB(255, 255, 255), hfc = RGB(1, 1, 1);
    bar->SynchColorsNow(bc, hc, fc, hfc);
    EXPECT_EQ(log, (Log{"SynchColors 11842740 0 16777215 65793", "DrawControl"}));
    EXPECT_EQ(bar->Bkcolor(), RGB(180, 180, 180));
    EXPECT_EQ(bar->HilightColor(), 0u);

    titOrb::Colour face = 0x8000000F, highlight = 0x8000000D;
    bar->SynchColorsNow(face, highlight, fc, hfc);
    EXPECT_EQ(bar->Bkcolor(), GetSysColor(COLOR_BTNFACE)) << "stored as its RGB, as a property write";
    EXPECT_EQ(bar->HilightColor(), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(CaptionBarFixture, SetLogoPlacesAndRoundsTheLogoWhichReportsClicks) {
    Init();
    bar->SetLogo(host::App::LoadIconPicture("#1"), true, 6, 9, 48, 48, 9, 65, -8, -8);
    const RECT r = InParent(bar->picLogo().hWnd());
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 9);
    EXPECT_EQ(r.right - r.left, 48);
    EXPECT_EQ(r.bottom - r.top, 48);
    // The clip runs from (-8 + 9, -8 + 9) to (-8 - 9 + 48, ...), rounded by 65.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(bar->picLogo().hWnd(), region), ERROR);
    EXPECT_TRUE(PtInRegion(region, 16, 16));
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_FALSE(PtInRegion(region, 40, 40));
    DeleteObject(region);

    Show();
    log.clear();
    const HWND logo = bar->picLogo().hWnd();
    SendMessageA(logo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(16, 16));
    SendMessageA(logo, WM_LBUTTONUP, 0, MAKELPARAM(16, 16));
    SendMessageA(logo, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(16, 16));
    EXPECT_EQ(log, (Log{"LogoClicked", "DoubleClick"}));
}

TEST_F(CaptionBarFixture, HoverAndTheNamedParentsResizeRedrawTheBar) {
    wintest::BarOptions options;
    options.ControlBoxesMask = 16;  // item 5, which lies on the bar
    Init(options);
    Show();
    const auto count = [&] { return std::count(log.begin(), log.end(), "DrawControl"); };
    const auto moveTo = [&](int x, int y) {
        const POINT at = OnScreen(x, y);
        SetCursorPos(at.x, at.y);
        SendMessageA(bar->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    };
    log.clear();
    moveTo(100, 30);
    EXPECT_EQ(count(), 0) << "off the items only the glyphs are drawn again";
    moveTo(295, 40);
    EXPECT_EQ(count(), 1) << "over item 5 the bar is redrawn";

    // The leave and the parent's resize redraw only once the parent is known by name.
    log.clear();
    SendMessageA(bar->hWnd(), WM_MOUSELEAVE, 0, 0);
    form.SetWidth(form.Width() + 150);
    EXPECT_EQ(count(), 0);
    titOrb::MenuSettings naming = modMain::MainCaptionBarMenu(form);
    naming.ControlBoxesMask = 16;
    naming.oMyParent = &form;
    bar->InitMenu(naming);
    log.clear();
    SendMessageA(bar->hWnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(count(), 1);
    form.SetWidth(form.Width() + 150);
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(bar->picButtons().Left(), 600 + 20 - (bar->picButtons().Width() + 25))
        << "the strip follows the parent's right edge";
}

}  // namespace
