// lblOrb on a real window: what its surface and PicCheck show, read back in pixels from the
// persistent images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "checklabel_fixture.h"
#include "gdi_leak.h"
#include "host/handles.h"

namespace {

using namespace checklabel_test;

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

using Pixels = std::set<std::pair<int, int>>;

Pixels Ink(HDC dc, RECT area, COLORREF background) {
    Pixels ink;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(dc, x, y) != background) ink.insert({x, y});
        }
    }
    return ink;
}

TEST_F(CheckLabelFixture, AnUnshownControlPaintsNothing) {
    lblOrb& control = AddNew();
    control.SetCheckColor(kRed);
    control.SetCaption(L"Send news");
    control.SetChecked(true);
    control.SetShowFocusRect(true);
    EXPECT_EQ(InkBounds(control.hDC(), Area(control), kWhite).right, -1) << "the surface is only cleared";
    EXPECT_EQ(CountPixels(control.PicCheck().hDC(), {0, 0, 16, 16}, kRed), 0);

    ShowForm();
    EXPECT_GE(InkBounds(control.hDC(), Area(control), kWhite).right, 0) << "shown: the caption is printed";
    EXPECT_GT(CountPixels(control.PicCheck().hDC(), {0, 0, 16, 16}, kRed), 0) << "and the tick drawn";
}

// The box around every pixel of `colour`; empty (right < left) when there is none.
RECT BoundsOf(HDC dc, RECT area, COLORREF colour) {
    RECT bounds{area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(dc, x, y) != colour) continue;
            bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x), std::max<LONG>(bounds.bottom, y)};
        }
    }
    return bounds;
}

TEST_F(CheckLabelFixture, ALabelPrintsAtXYWhileEnabledAndAtTheCornerWhileDisabled) {
    ShowForm();
    lblOrb& label = AddNew("lblCompare");
    label.SetIsLabel(true);
    label.SetCaption(L"Wg");
    const RECT enabled = InkBounds(label.hDC(), Area(label), kWhite);
    ASSERT_GE(enabled.right, 0);

    label.SetEnabled(false);
    const RECT disabled = InkBounds(label.hDC(), Area(label), kWhite);
    ASSERT_GE(disabled.right, 0);
    EXPECT_GT(CountPixels(label.hDC(), Area(label), 0x99A8AC), 0) << "the disabled colour";
    // A label's caption starts 5 pixels less 5 twips in (70 twips) on the box's line.
    EXPECT_EQ(enabled.left - disabled.left, Px(70));
    EXPECT_EQ(enabled.top - disabled.top, Px(label.PicCheck().Top()));
    EXPECT_GT(label.PicCheck().Top(), 0);
}

TEST_F(CheckLabelFixture, AccessKeyIsUnderlinedNotPrinted) {
    ShowForm();
    lblOrb& control = AddNew();
    control.SetCaption(L"Save");
    const Pixels plain = Ink(control.hDC(), Area(control), kWhite);
    control.SetCaption(L"&Save");
    const Pixels keyed = Ink(control.hDC(), Area(control), kWhite);

    // Only the underline is added, and only under the S.
    const int x = Px(1 + 240 + 75);
    const int sWidth = Px(static_cast<int>(control.TextWidth("S")));
    int added = 0;
    for (const auto& p : keyed) {
        if (plain.count(p)) continue;
        ++added;
        EXPECT_GE(p.first, x - 1);
        EXPECT_LE(p.first, x + sWidth + 1) << "extra ink beyond the S at x " << p.first;
    }
    for (const auto& p : plain) EXPECT_TRUE(keyed.count(p)) << "the text itself is unchanged";
    EXPECT_GE(added, sWidth - 1);
}

TEST_F(CheckLabelFixture, AltWithTheAccessKeyMovesTheFocusToTheBox) {
    struct Row {
        const wchar_t* caption;
        int alt;
        bool focuses;
    };
    const Row rows[] = {
        {L"&Save", 'S', true},
        {L"&Save", 's', true},
        {L"&Save", 'a', false},
        {L"&\u05E7abc", 'E', true},  // a Hebrew letter answers to its key's Latin letter
        {L"Save", 'S', false},
    };
    ShowForm();
    auto& other = form.Add<host::TextBox>("txtEmail");
    other.Move(0, 3000, 1500, 300);
    for (const Row& row : rows) {
        lblOrb& control = AddNew("chkKey", {}, 1200);
        control.SetCaption(row.caption);
        other.SetFocus();
        SendMessageA(other.hWnd(), WM_SYSCHAR, static_cast<WPARAM>(row.alt), 0);
        EXPECT_EQ(GetFocus() == control.PicCheck().hWnd(), row.focuses)
            << "caption row " << (&row - rows) << " Alt+" << static_cast<char>(row.alt);
        EXPECT_FALSE(control.Checked()) << "the access key toggles nothing";
        control.SetVisible(false);
        control.SetAccessKeys("");  // out of the way of the next row
    }
}

TEST_F(CheckLabelFixture, WordWrapCutsTwoLinesButNeverACaptionWithAnAmpersand) {
    ShowForm();
    lblOrb& control = AddNew();
    control.Move(0, 0, 1200, 1200);
    control.SetWordWrap(true);
    const int top = Px(control.PicCheck().Top());
    const int line = Px(static_cast<int>(control.TextHeight("")));

    control.SetCaption(L"Send news and updates");
    const RECT wrapped = InkBounds(control.hDC(), Area(control), kWhite);
    EXPECT_GE(wrapped.bottom, top + line) << "a second line";
    EXPECT_LE(wrapped.left, 2) << "which starts at the left edge";

    control.SetCaption(L"&Send news and updates");
    const RECT keyed = InkBounds(control.hDC(), {16, 0, 80, 80}, kWhite);
    EXPECT_LT(keyed.bottom, top + line) << "one line only";
}

TEST_F(CheckLabelFixture, EachCheckStyleLeavesItsMarkInTheMarkColour) {
    struct Probe {
        int x, y;
        bool mark;
    };
    struct Row {
        int style;
        std::vector<Probe> probes;
    };
    // Box style 0 at 15 twips per pixel: a = 6 pixels, b = 3, the marks centred at (8, 8).
    const std::vector<Row> rows = {
        {0, {{15, 4, true}, {11, 8, true}, {4, 5, true}, {8, 3, false}}},  // tick
        {1, {{3, 3, true}, {6, 6, true}, {9, 9, true}, {11, 6, false}}},   // filled square
        {2, {{3, 6, true}, {9, 6, true}, {6, 6, false}}},                  // outlined square
        {3, {{8, 8, true}, {7, 8, true}, {8, 3, false}}},                  // dot
        {4, {{5, 8, true}, {11, 8, true}, {8, 8, false}}},                 // ring
    };
    ShowForm();
    lblOrb& control = AddNew();
    control.SetCheckColor(kRed);
    HDC box = control.PicCheck().hDC();
    for (const Row& row : rows) {
        control.SetCheckStyle(row.style);
        control.SetChecked(true);
        for (const Probe& p : row.probes) {
            EXPECT_EQ(GetPixel(box, p.x, p.y) == kRed, p.mark)
                << "style " << row.style << " at " << p.x << "," << p.y;
        }
        control.SetChecked(false);
        EXPECT_EQ(CountPixels(box, {0, 0, 16, 16}, kRed), 0) << "unchecked: no mark, style " << row.style;
    }

    control.SetCheckStyle(5);  // chequer: both colours inside the square, none outside
    control.SetChecked(true);
    EXPECT_GT(CountPixels(box, {3, 3, 10, 10}, kRed), 10);
    EXPECT_GT(CountPixels(box, {4, 4, 9, 9}, kWhite), 5);
    EXPECT_EQ(CountPixels(box, {0, 11, 16, 16}, kRed), 0);

    control.SetCheckStyle(6);
    EXPECT_EQ(CountPixels(box, {0, 0, 16, 16}, kRed), 0) << "a style outside 0 to 5 draws nothing";
}

// CheckDrawWidth is the pen of every mark: at 2 pixels each style's mark reaches beyond the
// one drawn at 1 pixel on every side the pen widens it to, and covers more of the box.
TEST_F(CheckLabelFixture, EveryCheckStyleIsDrawnWithCheckDrawWidth) {
    ShowForm();
    lblOrb& control = AddNew();
    control.SetCheckColor(kRed);
    control.SetChecked(true);
    HDC box = control.PicCheck().hDC();
    const RECT all{0, 0, 16, 16};
    const auto redInk = [&] { return BoundsOf(box, all, kRed); };
    const char* names[] = {"tick", "filled square", "outlined square", "dot", "ring", "chequer"};
    for (int style = 0; style <= 5; ++style) {
        SCOPED_TRACE(names[style]);
        control.SetCheckStyle(style);
        control.SetCheckDrawWidth(1);
        const RECT thin = redInk();
        const int thinCount = CountPixels(box, all, kRed);
        control.SetCheckDrawWidth(2);
        const RECT wide = redInk();
        ASSERT_GE(thin.right, thin.left) << "a mark at 1 pixel";
        // A 2-pixel pen reaches past a 1-pixel one on the left and the top.
        EXPECT_LT(wide.left, thin.left);
        EXPECT_LT(wide.top, thin.top);
        EXPECT_GE(wide.right, thin.right);
        EXPECT_GE(wide.bottom, thin.bottom);
        if (style != 5) {  // the chequer's second colour may cover as much as it gains
            EXPECT_GT(CountPixels(box, all, kRed), thinCount);
        }
    }
}

TEST_F(CheckLabelFixture, BoxStylesSixAndSevenHaveBlackEdgesFiveTheBorderColour) {
    struct Row {
        int boxStyle;
        COLORREF edge;
    };
    const Row rows[] = {{6, kBlack}, {7, kBlack}, {5, 0xE5A165}};
    ShowForm();
    lblOrb& control = AddNew();
    HDC box = control.PicCheck().hDC();
    for (const Row& row : rows) {
        control.SetBoxStyle(row.boxStyle);
        EXPECT_EQ(GetPixel(box, 5, 0), row.edge) << "top outer, box style " << row.boxStyle;
        EXPECT_EQ(GetPixel(box, 1, 5), row.edge) << "left inner, box style " << row.boxStyle;
        EXPECT_EQ(GetPixel(box, 15, 8), row.edge) << "right outer, box style " << row.boxStyle;
        EXPECT_EQ(GetPixel(box, 8, 8), kWhite) << "inside: the box colour";
    }
}

// A strip of four 16 × 16 images stacked at rows 0, 32, 64 and 96, each in its own colour.
host::PicturePtr MakeStrip() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 128);
    {
        host::unique_dc dc(CreateCompatibleDC(screen));
        host::SelectObjectScope selected(dc.get(), bitmap);
        const COLORREF bands[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};
        for (int i = 0; i < 4; ++i) {
            host::unique_brush brush(CreateSolidBrush(bands[i]));
            RECT r{0, 32 * i, 16, 32 * i + 32};
            FillRect(dc.get(), &r, brush.get());
        }
    }
    ReleaseDC(nullptr, screen);
    return host::Picture::FromBitmap(bitmap);
}

TEST_F(CheckLabelFixture, PictureStripShowsTheImageOfEachState) {
    struct Row {
        bool checked, enabled;
        COLORREF shown;
    };
    const Row rows[] = {
        {false, true, RGB(200, 0, 0)},    // row 0
        {false, false, RGB(0, 200, 0)},   // row 32
        {true, true, RGB(0, 0, 200)},     // row 64
        {true, false, RGB(200, 200, 0)},  // row 96
    };
    ShowForm();
    lblOrb& control = AddNew();
    control.SetPicture(MakeStrip());
    control.SetStyleEx(1);
    for (const Row& row : rows) {
        control.SetEnabled(row.enabled);
        control.SetChecked(row.checked);
        EXPECT_EQ(GetPixel(control.PicCheck().hDC(), 8, 8), row.shown)
            << "checked " << row.checked << " enabled " << row.enabled;
        EXPECT_EQ(GetPixel(control.PicCheck().hDC(), 0, 0), row.shown);
    }
}

TEST_F(CheckLabelFixture, OptionButtonDrawsCirclesNotTheBox) {
    ShowForm();
    lblOrb& control = AddNew("optEdition", 0);
    control.SetIsOption(true);
    HDC box = control.PicCheck().hDC();
    EXPECT_EQ(GetPixel(box, 5, 0), kWhite) << "no top line";
    EXPECT_NE(GetPixel(box, 2, 8), kWhite) << "the outer circle, radius 6 pixels";
    EXPECT_EQ(GetPixel(box, 8, 8), kWhite) << "not filled";
}

TEST_F(CheckLabelFixture, FocusRectangleDotsAroundTheCaptionWhileFocused) {
    ShowForm();
    lblOrb& control = AddNew();
    control.SetFocusRectColor(kRed);
    control.SetShowFocusRect(true);
    control.SetCaption(L"News");
    EXPECT_EQ(CountPixels(control.hDC(), Area(control), kRed), 0);
    SetFocus(control.PicCheck().hWnd());
    EXPECT_TRUE(control.HasFocus());
    EXPECT_GT(CountPixels(control.hDC(), Area(control), kRed), 10);
    SetFocus(nullptr);
    EXPECT_FALSE(control.HasFocus());
    EXPECT_EQ(CountPixels(control.hDC(), Area(control), kRed), 0);
}

// Right to left mirrors the box's place and the focus dots, while the caption prints where
// the placement says: Align 0 puts the box at the right edge with the caption before it,
// Align 1 the box at the left with the caption after it; the dots surround the caption.
TEST_F(CheckLabelFixture, RightToLeftMirrorsTheBoxAndTheFocusDotsAroundTheCaption) {
    ShowForm();
    lblOrb& control = AddNew();
    control.SetFocusRectColor(kRed);
    control.SetShowFocusRect(true);
    control.SetCaption(L"News");
    control.SetRightToLeft(true);
    SetFocus(control.PicCheck().hWnd());
    ASSERT_TRUE(control.HasFocus());
    const RECT area = Area(control);  // 200 x 40 pixels
    const struct {
        int align;
        bool boxOnTheRight;
    } rows[] = {{0, true}, {1, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE("Align " + std::to_string(row.align));
        control.SetAlign(row.align);
        RECT box{};
        GetWindowRect(control.PicCheck().hWnd(), &box);
        MapWindowPoints(nullptr, control.hWnd(), reinterpret_cast<POINT*>(&box), 2);
        const RECT caption = BoundsOf(control.hDC(), area, kBlack);
        const RECT dots = BoundsOf(control.hDC(), area, kRed);
        ASSERT_GE(caption.right, caption.left);
        ASSERT_GE(dots.right, dots.left);
        if (row.boxOnTheRight) {
            EXPECT_EQ(box.right, area.right) << "the box at the right edge";
            EXPECT_LT(caption.right, box.left) << "the caption before the box";
        } else {
            EXPECT_LT(box.left, 5) << "the box at the left edge";
            EXPECT_GT(caption.left, box.right) << "the caption after the box";
        }
        EXPECT_LT(dots.left, caption.left);
        EXPECT_GT(dots.right, caption.right);
        EXPECT_LE(dots.top, caption.top);
        EXPECT_GE(dots.bottom, caption.bottom);
        EXPECT_LT(dots.right - dots.left, 2 * (caption.right - caption.left) + 20)
            << "the dots keep close to the caption";
    }
    SetFocus(nullptr);

    // Align 2 leaves the box where it is: at the right edge, also once the control is wider.
    control.SetAlign(0);
    control.SetAlign(2);
    control.Move(0, 0, 3600, 600);  // 240 pixels wide
    RECT box{};
    GetWindowRect(control.PicCheck().hWnd(), &box);
    MapWindowPoints(nullptr, control.hWnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.right, 240);
}

TEST_F(CheckLabelFixture, RepaintingHundredsOfTimesLeaksNoGdiObject) {
    ShowForm();
    lblOrb& control = AddNew();
    control.SetCaption(L"&Send news");
    int round = 0;
    EXPECT_FALSE(wintest::LeaksGdiObjects(
        [&] {
            ++round;
            control.SetCheckStyle(round % 5);
            control.SetIsOption(round % 2 == 0);
            control.SetChecked(round % 3 != 0);
        },
        200));
}

}  // namespace
