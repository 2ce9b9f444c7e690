// The caption bar's arithmetic and decisions.
#include "controls/captionbar/caption_plan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace captionbar {
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ") - (" << r.right << ", " << r.bottom << ")";
}
}  // namespace captionbar

namespace {

using namespace captionbar;

TEST(CaptionBarBackground, ChoosesTheImageByBarHeight) {
    const struct {
        int height;
        StoredImage image;
    } cases[] = {
        {0, StoredImage::picMSGTitle},        {39, StoredImage::picMSGTitle},
        {40, StoredImage::picNormalTitlePic}, {46, StoredImage::picNormalTitlePic},
        {49, StoredImage::picNormalTitlePic}, {50, StoredImage::picMainTitlePic},
        {200, StoredImage::picMainTitlePic},
    };
    for (const auto& c : cases) EXPECT_EQ(BackgroundFor(c.height), c.image) << c.height;
}

TEST(CaptionBarStrip, EndsTwentyFivePixelsShortOfTheParentsRightEdge) {
    EXPECT_EQ(StripLeft(600, 60), 515);  // 600 - (60 + 25)
    EXPECT_EQ(StripLeft(600, 67), 508);
}

TEST(CaptionBarStrip, TopLeavesTwoThirdsOfTheRoomAbove) {
    EXPECT_EQ(StripTop(46, 17, 3), 22);  // 29 / 1.5 = 19.33 -> 19, + 3
    EXPECT_EQ(StripTop(39, 17, 3), 18);  // 22 / 1.5 = 14.67 -> 15, + 3
    EXPECT_EQ(StripTop(50, 17, 0), 22);  // 33 / 1.5 = 22
    EXPECT_EQ(StripTop(10, 17, 0), -5);  // a strip taller than the bar: -7 / 1.5 = -4.67
}

// The boxes' widths at 15 twips per pixel: 25, 33 and 42 pixels.
constexpr BoxWidths kBoxes{375, 495, 630};

TEST(CaptionBarBoxLayout, LaysOutEachCombinationOfFlags) {
    const struct {
        const char* name;
        bool allowMaximize, closeButtonOnly;
        BoxLayout layout;
    } cases[] = {
        // close after the maximise box: 375 + 495; strip (375 + 495 + 630) / 15 = 100
        {"all three boxes", true, false, {true, true, true, 0, 375, 870, 100}},
        // close right after minimise; strip (375 + 630) / 15 = 67
        {"no maximise box", false, false, {true, false, true, 0, 375, 375, 67}},
        // close alone at the left; strip 630 / 15 = 42
        {"close box only", true, true, {false, false, true, 0, 375, 0, 42}},
        {"close box only wins over no maximise", false, true, {false, false, true, 0, 375, 0, 42}},
    };
    for (const auto& c : cases) {
        const BoxLayout got = LayoutBoxes(c.allowMaximize, c.closeButtonOnly, kBoxes, 15);
        EXPECT_EQ(got.picminVisible, c.layout.picminVisible) << c.name;
        EXPECT_EQ(got.PicresVisible, c.layout.PicresVisible) << c.name;
        EXPECT_EQ(got.picCloseVisible, c.layout.picCloseVisible) << c.name;
        EXPECT_EQ(got.PicresLeft, c.layout.PicresLeft) << c.name;
        EXPECT_EQ(got.picCloseLeft, c.layout.picCloseLeft) << c.name;
        EXPECT_EQ(got.stripWidth, c.layout.stripWidth) << c.name;
    }
}

TEST(CaptionBarBoxLayout, ConvertsTheStripWithTheGivenFactor) {
    // 120 dpi: 12 twips per pixel, the same 25 + 42 pixel boxes.
    EXPECT_EQ(LayoutBoxes(false, false, {300, 396, 504}, 12).stripWidth, 67);
    // Before start-up has measured the screen the factor is 0; that must not divide by it.
    EXPECT_EQ(LayoutBoxes(false, false, kBoxes, 0).stripWidth, 1005);
}

TEST(CaptionBarBoxFaces, FollowTheBoxUnderThePointerAndTheWindowState) {
    const struct {
        const char* name;
        BoxFaces got, want;
    } cases[] = {
        {"at rest", NormalFaces(false),
         {StoredImage::Picminn, StoredImage::picresn, StoredImage::picClosen}},
        {"at rest, maximised", NormalFaces(true),
         {StoredImage::Picminn, StoredImage::picresmax, StoredImage::picClosen}},
        {"over minimise", HoverFaces(Box::picmin, false),
         {StoredImage::Picminf, StoredImage::picresn, StoredImage::picClosen}},
        {"over maximise", HoverFaces(Box::Picres, false),
         {StoredImage::Picminn, StoredImage::picresf, StoredImage::picClosen}},
        {"over restore", HoverFaces(Box::Picres, true),
         {StoredImage::Picminn, StoredImage::PICRESMAXF, StoredImage::picClosen}},
        {"over close, maximised", HoverFaces(Box::picClose, true),
         {StoredImage::Picminn, StoredImage::picresmax, StoredImage::picClosef}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got.picmin, c.want.picmin) << c.name;
        EXPECT_EQ(c.got.Picres, c.want.Picres) << c.name;
        EXPECT_EQ(c.got.picClose, c.want.picClose) << c.name;
    }
    EXPECT_EQ(PressedFace(Box::picmin), StoredImage::Picminfp);
    EXPECT_EQ(PressedFace(Box::Picres), StoredImage::picresp);
    EXPECT_EQ(PressedFace(Box::picClose), StoredImage::picClosefp);
}

TEST(CaptionBarTint, ShadesTheBaseAndAddsTheItemsColour) {
    const struct {
        Colour base;
        int item;
        Colour tint;
    } cases[] = {
        {Rgb(0, 0, 0), 5, Rgb(30, 30, 200)},          // 0 - 105 stays 0, + 30, 30, 200
        {Rgb(200, 200, 200), 4, Rgb(175, 175, 175)},  // 95 + 80
        {Rgb(100, 110, 120), 4, Rgb(80, 85, 95)},     // 0, 5, 15, + 80 each
        {Rgb(255, 255, 255), 5, Rgb(180, 180, 255)},  // 150 + 200 is held at 255
        {0xFF000000u | Rgb(200, 0, 0), 4, Rgb(175, 80, 80)},  // the high byte is no channel
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GlyphTint(c.base, c.item), c.tint) << std::hex << c.base << " item " << c.item;
    }
}

TEST(CaptionBarTint, GlyphTextDependsOnTheToolbarForItemFive) {
    EXPECT_STREQ(GlyphText(4, false), "6");
    EXPECT_STREQ(GlyphText(5, true), "5");
    EXPECT_STREQ(GlyphText(5, false), "6");
    EXPECT_STREQ(GlyphText(3, true), "");
}

// The main window's bar on a parent 600 pixels wide at 15 twips per pixel: ovrMenuHeight
// 630 twips, bar 690 twips (46 pixels), logo at 6, AddToTopControlBoxes 3, a logo bump; the
// symbol font's "c" taken as 12 x 11 pixels.
ItemGeometry MainWindowBar() {
    ItemGeometry g;
    g.logoLeft = 6;
    g.barScaleHeight = 46;
    g.barHeightTwips = 690;
    g.parentWidthTwips = 9000;
    g.ovrMenuHeight = 630;
    g.glyphWidth = 12;
    g.glyphHeight = 11;
    g.AddToTopControlBoxes = 3;
    g.HasLogoBump = true;
    return g;
}

TEST(CaptionBarItemRect, FollowsTheFormulasOfEachItem) {
    // Items 1 to 3: cell 12 + 4 = 16, base 600 + 10 = 610;
    // top (630 - 11) / 2 = 309.5 -> 310, + 3, + 11 for the bump = 324; bottom + 11.
    const struct {
        const char* name;
        int item;
        void (*adjust)(ItemGeometry&);
        Rect rect;
    } cases[] = {
        // 6 - 8 * 15 = -114; right + 18; top 46 - 15; bottom 690 / 15
        {"system menu", 4, [](ItemGeometry&) {}, {-114, 31, -96, 46}},
        {"system menu, moved", 4,
         [](ItemGeometry& g) { g.SysMenuButtonAddLeft = 200, g.SysMenuButtonAddTop = -5; },
         {86, 26, 104, 46}},
        // (9000 - 375) / 30 = 287.5 -> 288; right + 24; top 46 - 12; bottom 46
        {"toolbar slider", 5, [](ItemGeometry&) {}, {288, 34, 312, 46}},
        {"toolbar slider, moved", 5,
         [](ItemGeometry& g) { g.SlideTBButtonAddLeft = 2, g.SlideTBButtonAddTop = 1; },
         {290, 35, 314, 46}},
        // 610 - 3 * 16 - 26 - 20 = 516
        {"minimise", 1, [](ItemGeometry& g) { g.AllowMaximize = true; }, {516, 324, 528, 335}},
        // 610 - 2 * 16 - 22 - 20 = 536
        {"maximise", 2, [](ItemGeometry& g) { g.AllowMaximize = true; }, {536, 324, 548, 335}},
        // 610 - 16 - 18 - 20 = 556
        {"close", 3, [](ItemGeometry&) {}, {556, 324, 568, 335}},
        // 610 - 2 * 16 - 42 = 536
        {"minimise without maximise", 1, [](ItemGeometry& g) { g.AllowMaximize = false; },
         {536, 324, 548, 335}},
        {"maximise without maximise", 2, [](ItemGeometry& g) { g.AllowMaximize = false; },
         {-200, 324, -188, 335}},
        // base 32.75: 32.75 - 16 - 18 - 20 = -21.25 -> -21
        {"close while the form boxes are off", 3, [](ItemGeometry& g) { g.DrawFormBoxes = false; },
         {-21, 324, -9, 335}},
        // no bump while maximised: 310 + 3
        {"close, parent maximised", 3, [](ItemGeometry& g) { g.parentMaximised = true; },
         {556, 313, 568, 324}},
        {"close, no logo bump", 3, [](ItemGeometry& g) { g.HasLogoBump = false; },
         {556, 313, 568, 324}},
    };
    for (const auto& c : cases) {
        ItemGeometry g = MainWindowBar();
        c.adjust(g);
        EXPECT_EQ(ItemRect(c.item, g), c.rect) << c.name;
    }
}

TEST(CaptionBarItemRect, OnlyTheToolbarSliderMeetsTheMainWindowsBar) {
    // The bar covers (0, 0) - (600, 46); the formulas put items 1 to 3 far below it and
    // item 4 left of it.
    for (int item = 1; item <= 5; ++item) {
        const Rect r = ItemRect(item, MainWindowBar());
        const bool meets = r.left < 600 && r.right > 0 && r.top < 46 && r.bottom > 0;
        EXPECT_EQ(meets, item == 5) << "item " << item;
    }
}

// The main window's bar, 600 x 46 pixels, with its window at (100, 200) on the screen.
constexpr Rect kBarOnScreen{100, 200, 700, 246};

TEST(CaptionBarHitTest, WidensTheItemByItsBoundsRules) {
    // Item 5 lies at (288, 34) - (312, 46); it is hit for 289 < x <= 314, 33 <= y < 46.
    const struct {
        int x, y;
        int item;
    } cases[] = {
        {290, 33, 5}, {314, 45, 5}, {300, 40, 5},  // inside, on the widened edges
        {289, 40, -1}, {315, 40, -1},              // left and right of them
        {300, 32, -1}, {300, 46, -1},              // above and on the bottom edge
    };
    for (const auto& c : cases) {
        const Point at{kBarOnScreen.left + c.x, kBarOnScreen.top + c.y};
        EXPECT_EQ(HitTestItem(at, kBarOnScreen, 0x10, MainWindowBar()), c.item)
            << c.x << ", " << c.y;
    }
}

TEST(CaptionBarHitTest, OnlyEnabledItemsAndTheFirstHitCount) {
    const Point onSlider{kBarOnScreen.left + 300, kBarOnScreen.top + 40};
    EXPECT_EQ(HitTestItem(onSlider, kBarOnScreen, 0x0F, MainWindowBar()), -1);  // 5 not enabled
    EXPECT_EQ(HitTestItem(onSlider, kBarOnScreen, 0xE0, MainWindowBar()), -1);  // bits past 5
    // Item 4 moved over the slider: (288, 31) - (306, 46); both are hit, 4 comes first.
    ItemGeometry g = MainWindowBar();
    g.SysMenuButtonAddLeft = 402;
    EXPECT_EQ(HitTestItem(onSlider, kBarOnScreen, 0x18, g), 4);
}

TEST(CaptionBarHitTest, AnItemOffTheBarIsNeverHit) {
    // A release under the bar's capture may land where an item's rectangle lies off the bar:
    // items 1 to 3 far below it (close: (556, 324) - (568, 335)), item 4 left of it
    // ((-114, 31) - (-96, 46)). The slider's rectangle ends on the bar's bottom edge.
    const struct {
        const char* name;
        int x, y;
        std::uint8_t mask;
    } cases[] = {
        {"close, below the bar", 560, 330, 0x04},
        {"minimise, below the bar", 520, 330, 0x01},
        {"system menu, left of the bar", -100, 40, 0x08},
        {"every item, below the bar", 560, 330, 0x1F},
    };
    ItemGeometry g = MainWindowBar();
    g.AllowMaximize = true;
    for (const auto& c : cases) {
        const Point at{kBarOnScreen.left + c.x, kBarOnScreen.top + c.y};
        EXPECT_EQ(HitTestItem(at, kBarOnScreen, c.mask, g), -1) << c.name;
    }
}

TEST(CaptionBarPointer, OffersTopEdgeSizingOnlyNearTheTopOffLogoAndStrip) {
    // Logo at 6, strip from 508, 67 wide (to 575).
    const TopEdge edge{false, false, 6, 508, 67};
    const struct {
        int x, y;
        MousePointer pointer;
    } cases[] = {
        {100, 20, MousePointer::SizeNS}, {100, 21, MousePointer::Default},
        {100, 0, MousePointer::SizeNS},  {6, 10, MousePointer::Default},  // on the logo's edge
        {7, 10, MousePointer::SizeNS},   {507, 10, MousePointer::SizeNS},
        {508, 10, MousePointer::Default}, {575, 10, MousePointer::Default},  // strip's edges
        {576, 10, MousePointer::SizeNS},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointerOnBarMove(c.x, c.y, edge), c.pointer) << c.x << ", " << c.y;
    }
}

TEST(CaptionBarPointer, KeepsThePointerWhenSizingIsOffOrTheWindowMaximised) {
    EXPECT_EQ(PointerOnBarMove(100, 10, {true, false, 6, 508, 67}), std::nullopt);
    EXPECT_EQ(PointerOnBarMove(100, 10, {false, true, 6, 508, 67}), std::nullopt);
}

TEST(CaptionBarColour, LooksUpSystemColoursAndKeepsPlainOnes) {
    std::vector<int> asked;
    const auto lookup = [&asked](int index) {
        asked.push_back(index);
        return Rgb(212, 208, 200);
    };
    EXPECT_EQ(ResolveColour(0x8000000Fu, lookup), Rgb(212, 208, 200));
    EXPECT_EQ(ResolveColour(0x80000012u, lookup), Rgb(212, 208, 200));
    EXPECT_EQ(ResolveColour(0xFF00000Du, lookup), Rgb(212, 208, 200));  // index is 24 bits
    EXPECT_EQ(asked, (std::vector<int>{0x0F, 0x12, 0x0D}));
    asked.clear();
    EXPECT_EQ(ResolveColour(Rgb(180, 180, 180), lookup), Rgb(180, 180, 180));
    EXPECT_EQ(ResolveColour(0x7FFFFFFFu, lookup), 0x7FFFFFFFu);
    EXPECT_TRUE(asked.empty());
}

}  // namespace
