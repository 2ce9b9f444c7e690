// The button's face and region on a real window: pixels of the composed face, the region
// read back with GetWindowRgn, and the GDI objects of many repaints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "button_fixture.h"
#include "gdi_leak.h"

namespace {

using buttontest::ButtonFixture;

constexpr int kColumn = 50;  // a column of the face away from the rounded corners

std::string Rgb(COLORREF c) {
    return "(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
           std::to_string(GetBValue(c)) + ")";
}

struct ButtonPaint : ButtonFixture {
    std::vector<COLORREF> Column() {
        std::vector<COLORREF> rows;
        for (int y = 0; y < 25; ++y) rows.push_back(Face(kColumn, y));
        return rows;
    }
};

TEST_F(ButtonPaint, DefaultFaceRampsFromTheBaseColourToTheDarkestAtEightyPercent) {
    const std::vector<COLORREF> rows = Column();
    for (int y = 0; y < 25; ++y) {
        const COLORREF c = rows[y];
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c))
            << "row " << y << " is a grey of the base colour: " << Rgb(c);
        if (y > 0) {
            EXPECT_LE(GetRValue(c), GetRValue(rows[y - 1])) << "row " << y << " darkens";
        }
    }
    EXPECT_GE(GetRValue(rows[0]), 224 - 30) << "the top is near BackColor1: " << Rgb(rows[0]);
    EXPECT_GT(GetRValue(rows[10]), 8) << "the middle is still on the ramp";
    EXPECT_LT(GetRValue(rows[10]), GetRValue(rows[0]));
    for (int y = 20; y < 25; ++y) {
        EXPECT_EQ(rows[y], RGB(8, 8, 8)) << "row " << y << ": 224 - 3 x 72 below 80 %";
    }
}

TEST_F(ButtonPaint, TheFaceReachesTheScreen) {
    EXPECT_EQ(wintest::ScreenPixel(button->ControlHwnd(), kColumn, 22), RGB(8, 8, 8));
}

TEST_F(ButtonPaint, DisabledBlackButtonIsLightenedAndHatchedInWhite) {
    button->SetBackColor1(0x000000);
    button->SetEnabled(false);
    const COLORREF white = RGB(255, 255, 255);
    for (int i : {1, 5, 9, 13, 21}) {
        EXPECT_EQ(Face(3, i), white) << "hatch row " << i;
        EXPECT_EQ(Face(i, 3), white) << "hatch column " << i;
    }
    EXPECT_EQ(Face(kColumn + 1, 1), white);
    const COLORREF between = Face(3, 3);
    EXPECT_NE(between, white);
    EXPECT_LE(GetRValue(between), 54) << "the face is from (54, 54, 54) down: " << Rgb(between);
    EXPECT_EQ(Face(kColumn + 2, 23), RGB(0, 0, 0)) << "54 - 216 stops at 0";
}

TEST_F(ButtonPaint, CheckedUnderlineOnlyWithoutTheTopBand) {
    button->SetValue(true);
    const COLORREF green = RGB(0, 255, 0);
    for (int y = 21; y < 25; ++y) EXPECT_EQ(Face(kColumn, y), green) << "row " << y;
    EXPECT_NE(Face(kColumn, 12), green);

    button->SetTopMarkPercent(30);
    for (int y = 0; y < 25; ++y) EXPECT_NE(Face(kColumn, y), green) << "row " << y;
}

TEST_F(ButtonPaint, CheckedWithoutUnderlineLooksUncheckedAndSwapsTheIcons) {
    const std::vector<COLORREF> unchecked = Column();
    button->SetUnderlineChecked(false);
    button->SetValue(true);
    EXPECT_EQ(Column(), unchecked);
    EXPECT_TRUE(IsWindowVisible(button->CheckedIconImage().hWnd()));
    EXPECT_FALSE(IsWindowVisible(button->IconImage().hWnd()));
}

TEST_F(ButtonPaint, TopMarkPercentKeepsItsLowByte) {
    const std::vector<COLORREF> plain = Column();
    button->SetTopMarkPercent(300);
    EXPECT_EQ(button->TopMarkPercent(), 44);
    EXPECT_NE(Column(), plain) << "a top band of 44 %";
    button->SetTopMarkPercent(256);
    EXPECT_EQ(button->TopMarkPercent(), 0);
    EXPECT_EQ(Column(), plain) << "256 turns the band off";
}

TEST_F(ButtonPaint, MenuAreaShadesIntoBlueWithAWhiteArrow) {
    button->SetHasMenu(true);
    button->SetTopMarkPercent(30);
    button->DrawFace(button->BackColor1());
    const COLORREF menu = Face(10, 22);
    EXPECT_GT(GetBValue(menu), GetRValue(menu)) << "blue over the bottom quarter: " << Rgb(menu);
    EXPECT_EQ(Face(50, 21), RGB(255, 255, 255)) << "the arrow's widest row";
}

// A face of height 0 has no bands to draw: the paint returns at once, takes no GDI object
// with it, and the face is whole again once the control has its height back.
TEST_F(ButtonPaint, FaceOfHeightZeroDrawsNothingAndLeavesTheFaceWhole) {
    button->SetTopMarkPercent(30);
    button->SetHasMenu(true);
    button->DrawFace(button->BackColor1());
    const std::vector<COLORREF> whole = Column();

    button->Move(buttontest::kLeft, buttontest::kTop, buttontest::kWidth, 0);
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] {
        button->DrawFace(button->BackColor1());
        button->DrawFace(button->HighColor1());
    }));
    button->Move(buttontest::kLeft, buttontest::kTop, buttontest::kWidth, buttontest::kHeight);
    button->DrawFace(button->BackColor1());
    EXPECT_EQ(Column(), whole);
}

// The region leaves out the leftmost column and the top two rows; the mask names the one
// side that is squared off (its two corners), any other mask squares nothing.
TEST_F(ButtonPaint, RegionSquaresTheSideTheMaskNames) {
    struct Case {
        int mask;
        bool rightToLeft;
        bool dontSwitch;
        bool topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {1, false, false, true, true, false, false},
        {2, false, false, true, false, true, false},
        {4, false, false, false, false, true, true},
        {8, false, false, false, true, false, true},
        {3, false, false, false, false, false, false},
        {5, false, false, false, false, false, false},
        {0, false, false, false, false, false, false},
        {-1, false, false, false, false, false, false},
        {2, true, false, false, true, false, true},
        {8, true, false, true, false, true, false},
        {2, true, true, true, false, true, false},
    };
    const HWND window = button->ControlHwnd();
    for (const Case& c : cases) {
        SCOPED_TRACE("mask " + std::to_string(c.mask) + (c.rightToLeft ? " rtl" : "") +
                     (c.dontSwitch ? " dont-switch" : ""));
        button->SetDontSwitchRTLSmooth(c.dontSwitch);
        button->SetRightToLeft(false);
        button->SetStraightSideMask(c.mask);
        button->SetRightToLeft(c.rightToLeft);  // reshapes on a change
        host::unique_region region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(window, region.get()), ERROR);
        const auto in = [&](int x, int y) { return PtInRegion(region.get(), x, y) != FALSE; };
        EXPECT_FALSE(in(0, 12)) << "leftmost column";
        EXPECT_FALSE(in(50, 0)) << "top row";
        EXPECT_FALSE(in(50, 1)) << "second row";
        EXPECT_TRUE(in(50, 2));
        EXPECT_TRUE(in(1, 12));
        EXPECT_EQ(in(2, 3), c.topLeft);
        EXPECT_EQ(in(97, 3), c.topRight);
        EXPECT_EQ(in(2, 22), c.bottomLeft);
        EXPECT_EQ(in(97, 22), c.bottomRight);
    }
}

TEST_F(ButtonPaint, HundredsOfFacesLeakNoGdiObject) {
    int round = 0;
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] {
        ++round;
        button->SetHasMenu(round % 2 == 0);
        button->SetTopMarkPercent(static_cast<host::I2>(round % 3 == 0 ? 30 : 0));
        button->SetEnabled(round % 5 != 0);
        button->DrawFace(round % 2 ? button->BackColor1() : button->HighColor1());
    }, 300));
}

}  // namespace
