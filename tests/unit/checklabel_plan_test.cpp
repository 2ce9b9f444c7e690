// Drawing plan of the label / check box / option control: colours, placement, caption prints,
// focus dots and check marks, worked by hand at 15 twips per pixel.
#include "controls/checklabel/check_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace checklabel;

// ---- Box and mark colours -------------------------------------------------------------------

constexpr Colour kCheck = 0x000011;
constexpr Colour kBox = 0x002200;
constexpr Colour kBorder = 0x330000;
constexpr Colour kDisabled = 0x444444;
constexpr Colour S = ButtonShadow;
constexpr Colour D = DarkShadow3D;
constexpr Colour F = ButtonFace;
constexpr Colour Wh = White;

CheckLabelFields ColouredFields(std::int32_t boxStyle, bool enabled) {
    CheckLabelFields f;
    f.CheckColor = kCheck;
    f.BoxColor = kBox;
    f.BorderColor = kBorder;
    f.DisabledForeColor = kDisabled;
    f.BoxStyle = boxStyle;
    f.Enabled = enabled;
    return f;
}

TEST(CheckLabelBoxColours, EdgesAndMarkByBoxStyleEnabledAndDisabled) {
    // Columns: top outer, top inner, left outer, left inner, right inner, right outer,
    // bottom inner, bottom outer, mark. Enabled: light = box colour, border = border colour.
    // Disabled: light and border become the button shadow S; style 0 keeps the box colour
    // on its outer right and bottom edges.
    struct Row {
        std::int32_t boxStyle;
        bool enabled;
        std::array<Colour, 9> expected;
    };
    const Row rows[] = {
        {0, true, {S, D, S, D, F, kBox, F, kBox, kCheck}},
        {1, true, {S, kBox, S, kBox, F, Wh, F, Wh, kCheck}},
        {2, true, {kBorder, kBox, kBorder, kBox, kBox, kBorder, kBox, kBorder, kCheck}},
        {3, true, {Wh, kBox, Wh, kBox, S, kBox, S, kBox, kCheck}},
        {4, true, {S, kBox, S, kBox, Wh, kBox, Wh, kBox, kCheck}},
        {5, true, {kBorder, kBorder, kBorder, kBorder, kBorder, kBorder, kBorder, kBorder, kCheck}},
        {6, true, {0, 0, 0, 0, 0, 0, 0, 0, kCheck}},  // the custom table is all zero
        {7, true, {0, 0, 0, 0, 0, 0, 0, 0, kCheck}},  // outside 0 to 6
        {-1, true, {0, 0, 0, 0, 0, 0, 0, 0, kCheck}},
        {0, false, {S, D, S, D, F, kBox, F, kBox, kDisabled}},
        {1, false, {S, S, S, S, F, Wh, F, Wh, kDisabled}},
        {2, false, {S, S, S, S, S, S, S, S, kDisabled}},
        {3, false, {Wh, S, Wh, S, S, S, S, S, kDisabled}},
        {4, false, {S, S, S, S, Wh, S, Wh, S, kDisabled}},
        {5, false, {S, S, S, S, S, S, S, S, kDisabled}},
        {6, false, {0, 0, 0, 0, 0, 0, 0, 0, kDisabled}},
        {7, false, {0, 0, 0, 0, 0, 0, 0, 0, kDisabled}},
    };
    for (const Row& row : rows) {
        const BoxColours colours = PlanBoxColours(ColouredFields(row.boxStyle, row.enabled));
        EXPECT_EQ(colours.EdgeColors, row.expected)
            << "BoxStyle " << row.boxStyle << (row.enabled ? " enabled" : " disabled");
        EXPECT_EQ(colours.PicCheckBackColor, kBox) << "BoxStyle " << row.boxStyle;
    }
}

TEST(CheckLabelBoxColours, StyleSixTakesTheCustomTableInOrderAndSevenDoesNot) {
    CheckLabelFields f = ColouredFields(6, true);
    f.CustomColors = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(PlanBoxColours(f).EdgeColors,
              (std::array<Colour, 9>{1, 2, 3, 4, 5, 6, 7, 8, kCheck}));
    f.BoxStyle = 7;
    EXPECT_EQ(PlanBoxColours(f).EdgeColors,
              (std::array<Colour, 9>{0, 0, 0, 0, 0, 0, 0, 0, kCheck}));
}

// ---- Placement ------------------------------------------------------------------------------

// P = 15, PW = 240, SW = 3000, W = 3030; TW = 1000.5 so that TWr = 2001 \ 2 = 1000 and the
// X values that hold TW land on halves: 1714.5 rounds down to 1714, 1669.5 up to 1670.
Metrics PlacementMetrics() {
    Metrics m;
    m.P = 15;
    m.Q = 15;
    m.SurfaceInnerWidth = 3000;
    m.SurfaceInnerHeight = 300;
    m.ControlWidth = 3030;
    m.PicCheckWidth = 240;
    m.PicCheckInnerWidth = 236;
    return m;
}

constexpr CaptionMeasures kPlacementText{1000.5, 194.5, 195};

TEST(CheckLabelLayout, PlacementByAlignRightToLeftAndIsLabel) {
    struct Row {
        std::int32_t align;
        bool rightToLeft;
        bool isLabel;
        std::optional<std::int32_t> boxLeft;
        std::int32_t x;
        std::int32_t r;
    };
    const Row rows[] = {
        // Align 0: box at 1 (label: -(240 + 5)); X = box + 240 + 75; R = X + 1000.
        {0, false, false, 1, 316, 1316},
        {0, false, true, -245, 70, 1070},
        // Right to left: X = 3030 - (1000.5 + 240 + 75); R = 1000 + 75 + 240.
        {0, true, false, 1, 1714, 1315},
        {0, true, true, -245, 1714, 1315},
        // Align 1: box at 3000 - 255 (label: 3000); X = box - (75 + 1000.5); R = X + 1000.
        {1, false, false, 2745, 1670, 2670},
        {1, false, true, 3000, 1924, 2924},
        // Right to left: X = 3000 - (box - 60); R = 3000 - 1000 + X.
        {1, true, false, 2745, 315, 2315},
        {1, true, true, 3000, 60, 2060},
        // Any other value: caption at the left edge, box left where it was.
        {2, false, false, std::nullopt, 0, 0},
        {2, false, true, std::nullopt, 0, 0},
        {2, true, false, std::nullopt, 0, 0},
        {2, true, true, std::nullopt, 0, 0},
        {-1, false, false, std::nullopt, 0, 0},
    };
    for (const Row& row : rows) {
        CheckLabelFields f;
        f.Align = row.align;
        f.RightToLeft = row.rightToLeft;
        f.IsLabel = row.isLabel;
        const Layout layout = PlanLayout(f, PlacementMetrics(), kPlacementText);
        const std::string where = "Align " + std::to_string(row.align) +
                                  (row.rightToLeft ? " RightToLeft" : "") +
                                  (row.isLabel ? " IsLabel" : "");
        EXPECT_EQ(layout.BoxLeft, row.boxLeft) << where;
        EXPECT_EQ(layout.X, row.x) << where;
        EXPECT_EQ(layout.R, row.r) << where;
        EXPECT_EQ(layout.Top, 52) << where;  // (300 - 195) = 105, halved with truncation
        EXPECT_EQ(layout.H, 194) << where;   // 194.5 rounds to even
    }
}

TEST(CheckLabelLayout, BoxTopRoundsTiesToEvenThenHalvesTowardZero) {
    struct Row {
        std::int32_t innerHeight;
        double captionHeight;
        std::int32_t top;
    };
    const Row rows[] = {
        {300, 195, 52},     // 105 \ 2
        {300, 194.5, 53},   // 105.5 -> 106 -> 53
        {300, 193.5, 53},   // 106.5 -> 106 -> 53
        {100, 195, -47},    // -95 \ 2 truncates toward zero
    };
    for (const Row& row : rows) {
        Metrics m = PlacementMetrics();
        m.SurfaceInnerHeight = row.innerHeight;
        const Layout layout = PlanLayout(CheckLabelFields{}, m, {100, 195, row.captionHeight});
        EXPECT_EQ(layout.Top, row.top) << row.innerHeight << " - " << row.captionHeight;
    }
}

// ---- Caption prints -------------------------------------------------------------------------

TEST(CheckLabelCaptionPrints, NormalHoverAndDisabledLooks) {
    constexpr Colour kFore = 0x123456;
    constexpr Colour kTracking = 0xFF0000;
    struct Row {
        const char* name;
        bool enabled;
        bool hovering;  // ForeColor holds TrackingColor
        bool rightToLeft;
        bool isLabel;
        std::vector<CaptionPrint> expected;
    };
    const Row rows[] = {
        {"normal", true, false, false, false, {{{316, 52}, kFore, EventColour::ForeColorField}}},
        {"enabled label", true, false, false, true,
         {{{316, 52}, kFore, EventColour::ForeColorField}}},
        {"hover", true, true, false, false,
         {{{317, 53}, kTracking, EventColour::ForeColorField},
          {{316, 52}, Black, EventColour::HoverEventColour}}},
        {"hover right to left", true, true, true, false,
         {{{315, 53}, kTracking, EventColour::ForeColorField},
          {{316, 52}, Black, EventColour::HoverEventColour}}},
        {"disabled", false, false, false, false,
         {{{316, 52}, kDisabled, EventColour::DisabledForeColorField}}},
        {"disabled label", false, false, false, true,
         {{{0, 0}, kDisabled, EventColour::DisabledForeColorField}}},
        {"disabled while hovering", false, true, false, false,
         {{{316, 52}, kDisabled, EventColour::DisabledForeColorField}}},
    };
    Layout layout;
    layout.X = 316;
    layout.Top = 52;
    for (const Row& row : rows) {
        CheckLabelFields f;
        f.Enabled = row.enabled;
        f.TrackingColor = kTracking;
        f.ForeColor = row.hovering ? kTracking : kFore;
        f.DisabledForeColor = kDisabled;
        f.RightToLeft = row.rightToLeft;
        f.IsLabel = row.isLabel;
        const auto prints = PlanCaptionPrints(f, layout);
        ASSERT_EQ(prints.size(), row.expected.size()) << row.name;
        for (std::size_t i = 0; i < prints.size(); ++i) {
            EXPECT_EQ(prints[i].at, row.expected[i].at) << row.name << " print " << i;
            EXPECT_EQ(prints[i].colour, row.expected[i].colour) << row.name << " print " << i;
            EXPECT_EQ(prints[i].eventColour, row.expected[i].eventColour)
                << row.name << " print " << i;
        }
    }
    EXPECT_EQ(HoverEventColour, 145u + 145u * 256u + 205u * 65536u);
}

// ---- Focus rectangle ------------------------------------------------------------------------

CheckLabelFields FocusedFields() {
    CheckLabelFields f;
    f.ShowFocusRect = true;
    f.HasFocus = true;
    return f;
}

TEST(CheckLabelFocusRectangle, DotsEvery39TwipsAroundTheCaption) {
    Layout layout;
    layout.X = 316;
    layout.R = 400;
    layout.Top = 52;
    layout.H = 100;
    // Top and bottom from x = 346 while x <= 400; sides at 301 and 430 for j = 0, 39, 78;
    // then the corner point at (R, Y + H).
    const std::vector<Point> expected = {
        {346, 52}, {346, 152}, {385, 52}, {385, 152},
        {301, 52}, {430, 52}, {301, 91}, {430, 91}, {301, 130}, {430, 130},
        {400, 152},
    };
    EXPECT_EQ(FocusRectanglePoints(FocusedFields(), PlacementMetrics(), kPlacementText, layout),
              expected);
}

TEST(CheckLabelFocusRectangle, RightToLeftMovesTheSpan) {
    Layout layout;
    layout.X = 1714;
    layout.R = 1315;
    layout.Top = 52;
    layout.H = 10;
    CheckLabelFields f = FocusedFields();
    f.RightToLeft = true;

    // Align 0: X = PicCheck's inner width + 4 = 240; R stays.
    auto points = FocusRectanglePoints(f, PlacementMetrics(), kPlacementText, layout);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front(), (Point{270, 52}));
    EXPECT_EQ(points.back(), (Point{1315, 62}));

    // Align 1: X = 3000 - (60 + 240 + 1000.5 + 15) = 1684.5 -> 1684;
    // R = 1000.5 + 1684 - 30 = 2654.5 -> 2654.
    f.Align = 1;
    points = FocusRectanglePoints(f, PlacementMetrics(), kPlacementText, layout);
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front(), (Point{1714, 52}));
    EXPECT_EQ(points.back(), (Point{2654, 62}));
}

TEST(CheckLabelFocusRectangle, NoneWithoutFocusOrOnALabel) {
    Layout layout;
    layout.R = 400;
    CheckLabelFields noFocus = FocusedFields();
    noFocus.HasFocus = false;
    CheckLabelFields notShown = FocusedFields();
    notShown.ShowFocusRect = false;
    CheckLabelFields label = FocusedFields();
    label.IsLabel = true;
    for (const auto& f : {noFocus, notShown, label}) {
        EXPECT_TRUE(FocusRectanglePoints(f, PlacementMetrics(), kPlacementText, layout).empty());
    }
}

TEST(CheckLabelFocusRectangle, AZeroPixelMeasureStillEnds) {
    Metrics m = PlacementMetrics();
    m.P = 0;
    m.Q = 0;
    Layout layout;
    layout.R = 3;
    layout.H = 2;
    // Steps of one twip: x 0..3 and j 0..2, then the corner.
    EXPECT_EQ(FocusRectanglePoints(FocusedFields(), m, kPlacementText, layout).size(),
              4u * 2 + 3u * 2 + 1);
}

// ---- Check marks ----------------------------------------------------------------------------

TEST(CheckLabelTick, ThirtyNinePointsFromTheRightEdge) {
    // Thirteen columns of three rows, x = 240 - 15k; the first rows are 2..9 then 8..4.
    const std::array<Point, 39> expected = {{
        {240, 30}, {240, 45}, {240, 60},
        {225, 45}, {225, 60}, {225, 75},
        {210, 60}, {210, 75}, {210, 90},
        {195, 75}, {195, 90}, {195, 105},
        {180, 90}, {180, 105}, {180, 120},
        {165, 105}, {165, 120}, {165, 135},
        {150, 120}, {150, 135}, {150, 150},
        {135, 135}, {135, 150}, {135, 165},
        {120, 120}, {120, 135}, {120, 150},
        {105, 105}, {105, 120}, {105, 135},
        {90, 90}, {90, 105}, {90, 120},
        {75, 75}, {75, 90}, {75, 105},
        {60, 60}, {60, 75}, {60, 90},
    }};
    EXPECT_EQ(TickPoints(240, 15, 15), expected);
}

TEST(CheckLabelTick, ColumnsUsePAndRowsUseQ) {
    const auto points = TickPoints(255, 15, 12);
    EXPECT_EQ(points.front(), (Point{255, 24}));
    EXPECT_EQ(points.back(), (Point{75, 72}));  // k 12: x = 255 - 180, m = 6
}

TEST(CheckLabelMark, SizesByBoxStyle) {
    struct Row {
        std::int32_t boxStyle;
        std::int32_t a, b;
        double dot, ring;
    };
    const Row rows[] = {
        {2, 120, 30, 59, 60},
        {1, 105, 30, 51.5, 52.5},
        {0, 90, 45, 44, 45},
        {6, 90, 45, 44, 45},
        {7, 90, 45, 44, 45},
    };
    for (const Row& row : rows) {
        const MarkSize size = MarkSizeFor(row.boxStyle, 15);
        EXPECT_EQ(size.a, row.a) << "BoxStyle " << row.boxStyle;
        EXPECT_EQ(size.b, row.b) << "BoxStyle " << row.boxStyle;
        const Square square = MarkSquare(size);
        EXPECT_EQ(square.topLeft, (Point{row.b, row.b}));
        EXPECT_EQ(square.bottomRight, (Point{row.a + row.b, row.a + row.b}));
        EXPECT_EQ(DotCircle(size, 15, 15).radius, row.dot) << "BoxStyle " << row.boxStyle;
        EXPECT_EQ(RingCircle(size, 15, 15).radius, row.ring) << "BoxStyle " << row.boxStyle;
        EXPECT_EQ(RingCircle(size, 15, 12).centre, (Point{120, 96}));
    }
}

TEST(CheckLabelMark, CheckStylesOutsideZeroToFiveDrawNothing) {
    EXPECT_EQ(MarkShapeFor(0), MarkShape::Tick);
    EXPECT_EQ(MarkShapeFor(5), MarkShape::Chequer);
    EXPECT_EQ(MarkShapeFor(6), MarkShape::None);
    EXPECT_EQ(MarkShapeFor(-1), MarkShape::None);
}

// The chequer as rows of text, top row first: '#' background colour, '.' mark colour.
std::vector<std::string> ChequerPicture(MarkSize size) {
    const auto side = static_cast<std::size_t>(size.a) + 1;
    std::vector<std::string> rows(side, std::string(side, '?'));
    for (const ChequerPoint& p : ChequerPoints(size)) {
        rows.at(static_cast<std::size_t>(p.at.y - size.b))
            .at(static_cast<std::size_t>(p.at.x - size.b)) = p.background ? '#' : '.';
    }
    return rows;
}

TEST(CheckLabelChequer, FlagRunsOnAcrossColumns) {
    // One twip per pixel. Box style 0: a = 6, seven points per column, so each column starts
    // opposite to the one before: a chequer.
    EXPECT_EQ(ChequerPicture(MarkSizeFor(0, 1)), (std::vector<std::string>{
                                                     "#.#.#.#",
                                                     ".#.#.#.",
                                                     "#.#.#.#",
                                                     ".#.#.#.",
                                                     "#.#.#.#",
                                                     ".#.#.#.",
                                                     "#.#.#.#",
                                                 }));
    // Box style 1: a = 7, eight points per column, so every column starts alike: stripes.
    EXPECT_EQ(ChequerPicture(MarkSizeFor(1, 1)), (std::vector<std::string>{
                                                     "########",
                                                     "........",
                                                     "########",
                                                     "........",
                                                     "########",
                                                     "........",
                                                     "########",
                                                     "........",
                                                 }));
}

TEST(CheckLabelChequer, OnePointPerTwipAtFifteenTwipsPerPixel) {
    // a = 90, b = 45: 91 by 91 points from (45, 45) to (135, 135).
    const auto points = ChequerPoints(MarkSizeFor(0, 15));
    ASSERT_EQ(points.size(), 8281u);
    EXPECT_EQ(points[0].at, (Point{45, 45}));
    EXPECT_TRUE(points[0].background);
    EXPECT_FALSE(points[1].background);   // (45, 46)
    EXPECT_EQ(points[91].at, (Point{46, 45}));
    EXPECT_FALSE(points[91].background);  // the 92nd flip: the second column starts in mark
    EXPECT_EQ(points.back().at, (Point{135, 135}));
    EXPECT_TRUE(points.back().background);
}

TEST(CheckLabelPictureStrip, RowsOfTheFourStates) {
    struct Row {
        bool checked, enabled;
        std::int32_t first;
        std::optional<std::int32_t> overlay;
    };
    const Row rows[] = {
        {false, true, 0, std::nullopt},
        {false, false, 0, 32},
        {true, true, 64, std::nullopt},
        {true, false, 64, 96},
    };
    for (const Row& row : rows) {
        const StripRows strip = PictureStripRows(row.checked, row.enabled);
        EXPECT_EQ(strip.first, row.first) << row.checked << row.enabled;
        EXPECT_EQ(strip.overlay, row.overlay) << row.checked << row.enabled;
    }
}

}  // namespace
