// The lines of the button's face.
//
// The face is 100 x 25 pixels at 15 twips per pixel: W = 1500, H = 375 twips. A band line at
// y twips lies on row y / 15, halves to even.
#include "controls/button/face_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using cmdorb::Colour;
using cmdorb::FaceLine;
using cmdorb::FacePlan;
using cmdorb::FaceSettings;
using cmdorb::kBandPenWidth;
using cmdorb::kFinePenWidth;
using cmdorb::MenuAreaHot;
using cmdorb::PlanFace;

std::vector<FaceLine> LinesOfWidth(const FacePlan& plan, std::int32_t penWidth) {
    std::vector<FaceLine> out;
    for (const FaceLine& line : plan.lines) {
        if (line.penWidth == penWidth) out.push_back(line);
    }
    return out;
}

std::vector<FaceLine> Bands(const FacePlan& plan) { return LinesOfWidth(plan, kBandPenWidth); }
std::vector<FaceLine> Fine(const FacePlan& plan) { return LinesOfWidth(plan, kFinePenWidth); }

std::vector<std::int32_t> Rows(const std::vector<FaceLine>& lines) {
    std::vector<std::int32_t> rows;
    for (const FaceLine& line : lines) rows.push_back(line.y1);
    return rows;
}

std::vector<Colour> Colours(const std::vector<FaceLine>& lines) {
    std::vector<Colour> colours;
    for (const FaceLine& line : lines) colours.push_back(line.colour);
    return colours;
}

// 0..20: the ramp, every 15 twips. 20, 21, 22, 24, 25: the bottom fifth every 18.75 twips
// (318.75 / 15 = 21.25, 337.5 / 15 = 22.5 → 22, 356.25 / 15 = 23.75 → 24).
const std::vector<std::int32_t> kRampRows = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                             11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
const std::vector<std::int32_t> kBottomFifthRows = {20, 21, 22, 24, 25};

std::vector<std::int32_t> Join(std::vector<std::int32_t> a, const std::vector<std::int32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ButtonFace : public ::testing::Test {
protected:
    FaceSettings settings{
        .width = 1500,
        .height = 375,
        .twipsPerPixelX = 15,
        .twipsPerPixelY = 15,
        .base = 0xE0E0E0,
        .enabled = true,
        .topMarkPercent = 0,
        .hasMenu = false,
        .menuHot = false,
        .value = false,
        .underlineChecked = true,
        .checkedColor = 0x00FF00,
    };
};

TEST_F(ButtonFace, DefaultRampDarkensToEightyPercentThenStaysFlat) {
    const FacePlan plan = PlanFace(settings);
    EXPECT_EQ(plan.width, 100);
    EXPECT_EQ(plan.height, 25);
    EXPECT_TRUE(Fine(plan).empty());

    const auto bands = Bands(plan);
    ASSERT_EQ(Rows(bands), Join(kRampRows, kBottomFifthRows));
    for (const FaceLine& line : bands) {
        EXPECT_EQ(line.x1, 0);
        EXPECT_EQ(line.x2, 100) << "a band spans the face";
        EXPECT_EQ(line.y2, line.y1);
    }
    // Amount Int(y / 300 x 72), three per amount off each of 224.
    EXPECT_EQ(bands[0].colour, 0xE0E0E0u);   // y 0
    EXPECT_EQ(bands[1].colour, 0xD7D7D7u);   // y 15: Int(3.6) = 3, 224 - 9 = 215
    EXPECT_EQ(bands[5].colour, 0xAAAAAAu);   // y 75: 18, 224 - 54 = 170
    EXPECT_EQ(bands[20].colour, 0x080808u);  // y 300: 72, 224 - 216 = 8
    for (std::size_t i = 21; i < bands.size(); ++i) EXPECT_EQ(bands[i].colour, 0x080808u) << i;
}

TEST_F(ButtonFace, CheckedWithUnderlineShowsCheckedColourOverTheBottomFifth) {
    settings.value = true;
    const auto bands = Bands(PlanFace(settings));
    // Every 37.5 twips from 300: rows 20, 22.5 → 22, 25.
    ASSERT_EQ(Rows(bands), Join(kRampRows, {20, 22, 25}));
    EXPECT_EQ(bands[20].colour, 0x080808u);
    EXPECT_EQ(Colours(bands).back(), 0x00FF00u);
    EXPECT_EQ(bands[21].colour, 0x00FF00u);
    EXPECT_EQ(bands[22].colour, 0x00FF00u);
}

TEST_F(ButtonFace, CheckedStateWithoutBothFlagsLeavesTheFaceAsIs) {
    const auto plain = PlanFace(settings).lines;

    settings.value = true;
    settings.underlineChecked = false;
    EXPECT_EQ(PlanFace(settings).lines, plain) << "checked, no underline";

    settings.value = false;
    settings.underlineChecked = true;
    EXPECT_EQ(PlanFace(settings).lines, plain) << "underline, not checked";

    settings.hasMenu = true;
    settings.menuHot = true;
    EXPECT_EQ(PlanFace(settings).lines, plain) << "a menu needs a top band";
}

// TopMarkPercent 30: the top band ends at 112.5 twips, the middle band at 281.25.
// Top band rows i x 0.375 (1.5 → 2, 4.5 → 4, 7.5 → 8); middle band 7.5 + i x 0.9375.
const std::vector<std::int32_t> kTopBandRows = {0, 0, 1, 1, 2, 2, 2, 3, 3, 3, 4,
                                                4, 4, 5, 5, 6, 6, 6, 7, 7, 8};
const std::vector<std::int32_t> kMiddleBandRows = {8, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
const std::vector<std::int32_t> kBottomQuarterRows = {19, 20, 21, 22, 24, 25};

TEST_F(ButtonFace, TopMarkAddsATopBandAndAFlatBottomQuarter) {
    settings.topMarkPercent = 30;
    const FacePlan plan = PlanFace(settings);
    EXPECT_TRUE(Fine(plan).empty());
    const auto bands = Bands(plan);

    // Top band every 5.625 twips, from Darken(224, 13) = 185: y 5.625 gives Int(5.4) = 5,
    // 170; y 112.5 gives 108, below 0.
    ASSERT_EQ(bands.size(), 21u + 13u + 6u);
    EXPECT_EQ(Rows({bands.begin(), bands.begin() + 21}), kTopBandRows);
    EXPECT_EQ(bands[0].colour, 0xB9B9B9u);
    EXPECT_EQ(bands[1].colour, 0xAAAAAAu);
    EXPECT_EQ(bands[20].colour, 0x000000u);

    // Middle band every 14.0625 twips from the base again: y 112.5 / 262.5 x 72 = 30.86,
    // 224 - 90 = 134; y 126.5625 gives 34.7, 122; y 281.25 gives 77, below 0.
    EXPECT_EQ(Rows({bands.begin() + 21, bands.begin() + 34}), kMiddleBandRows);
    EXPECT_EQ(bands[21].colour, 0x868686u);
    EXPECT_EQ(bands[22].colour, 0x7A7A7Au);
    EXPECT_EQ(bands[33].colour, 0x000000u);

    // Bottom quarter every 18.75 twips from 281.25 (18.75 → 19), flat in the last colour.
    EXPECT_EQ(Rows({bands.begin() + 34, bands.end()}), kBottomQuarterRows);
    for (std::size_t i = 34; i < bands.size(); ++i) EXPECT_EQ(bands[i].colour, 0u) << i;
}

TEST_F(ButtonFace, TopMarkWithCheckedUnderlineDrawsNoUnderline) {
    settings.topMarkPercent = 30;
    const auto unchecked = PlanFace(settings).lines;
    settings.value = true;
    EXPECT_EQ(PlanFace(settings).lines, unchecked);
}

TEST_F(ButtonFace, MenuAreaShadesIntoBlueAndEndsWithTheArrow) {
    settings.topMarkPercent = 30;
    settings.hasMenu = true;
    // The first menu line takes the last band colour (black); each next one Darken(white,
    // Int(y / 75 x 16)) plus the additions: y 281.25 gives 60, 255 - 180 = 75; then 64
    // (63), 68 (51), 72 (39), 76 (27).
    struct Case {
        bool hot;
        std::vector<Colour> colours;
    };
    const Case cases[] = {
        {false, {0x000000, 0x915A5A, 0x854E4E, 0x794242, 0x6D3636, 0x612A2A}},  // + 15, 15, 70
        {true, {0x000000, 0xC37878, 0xB76C6C, 0xAB6060, 0x9F5454, 0x934848}},   // + 45, 45, 120
    };
    for (const Case& c : cases) {
        settings.menuHot = c.hot;
        const FacePlan plan = PlanFace(settings);
        const auto bands = Bands(plan);
        ASSERT_EQ(bands.size(), 40u) << "hot " << c.hot;
        EXPECT_EQ(Rows({bands.begin() + 34, bands.end()}), kBottomQuarterRows);
        EXPECT_EQ(Colours({bands.begin() + 34, bands.end()}), c.colours) << "hot " << c.hot;

        // cx = Int(1500 / 2 / 15) = 50, by = 25; drawn last, after every band.
        const std::vector<FaceLine> arrow = {
            {47, 21, 53, 21, 0xFFFFFF, 1},
            {48, 22, 52, 22, 0xFFFFFF, 1},
            {49, 23, 51, 23, 0xFFFFFF, 1},
        };
        EXPECT_EQ(std::vector(plan.lines.end() - 3, plan.lines.end()), arrow) << "hot " << c.hot;
    }
}

TEST_F(ButtonFace, DisabledBlackButtonIsLightenedAndHatchedWhite) {
    settings.enabled = false;
    settings.base = 0x000000;
    const FacePlan plan = PlanFace(settings);

    const auto bands = Bands(plan);
    EXPECT_EQ(bands.front().colour, 0x363636u);  // cur = 0 + 54
    EXPECT_EQ(bands[20].colour, 0x000000u);      // 54 - 216

    // Lighten((54, 54, 54), -40): 54 - 120 falls below 0, so white.
    std::vector<FaceLine> hatch;
    for (std::int32_t row = 1; row <= 21; row += 4) {
        hatch.push_back({0, row, 100, row, 0xFFFFFF, 1});
    }
    for (std::int32_t col = 1; col <= 97; col += 4) {
        hatch.push_back({col, 0, col, 25, 0xFFFFFF, 1});
    }
    EXPECT_EQ(Fine(plan), hatch);
    EXPECT_EQ(std::vector(plan.lines.end() - hatch.size(), plan.lines.end()), hatch)
        << "the hatch is drawn over the bands";
}

TEST_F(ButtonFace, DisabledMarkedButtonIsPaintedFromTheBaseColour) {
    settings.topMarkPercent = 30;
    const auto enabled = Bands(PlanFace(settings));
    settings.enabled = false;
    EXPECT_EQ(Bands(PlanFace(settings)), enabled);
}

TEST_F(ButtonFace, HatchTakesTheColourTheBandsLeftInCur) {
    settings.enabled = false;
    struct Case {
        Colour base;
        std::uint8_t topMarkPercent;
        bool hasMenu;
        Colour hatch;
        const char* why;
    };
    const Case cases[] = {
        {0xE0E0E0, 0, false, 0x878787, "cur = 224 + 54, taken as 255; 255 - 120 = 135"},
        {0xE0E0E0, 30, false, 0x686868, "cur = base: 224 - 120 = 104"},
        {0xE0E0E0, 30, true, 0x878787, "the menu area leaves cur white: 135"},
    };
    for (const Case& c : cases) {
        settings.base = c.base;
        settings.topMarkPercent = c.topMarkPercent;
        settings.hasMenu = c.hasMenu;
        const auto hatch = LinesOfWidth(PlanFace(settings), kFinePenWidth);
        const std::size_t arrow = c.hasMenu ? 3 : 0;
        ASSERT_EQ(hatch.size(), arrow + 6 + 25) << c.why;
        for (std::size_t i = arrow; i < hatch.size(); ++i) {
            EXPECT_EQ(hatch[i].colour, c.hatch) << c.why;
        }
    }
}

TEST_F(ButtonFace, ZeroHeightDrawsNoBands) {
    // Every step is a fraction of H, so 0: the bands must end rather than loop for ever.
    settings.height = 0;
    struct Case {
        std::uint8_t topMarkPercent;
        bool hasMenu;
        bool value;
        bool enabled;
    };
    const Case cases[] = {
        {0, false, false, true}, {0, false, true, true}, {30, false, false, true},
        {30, true, false, true}, {0, false, false, false},
    };
    for (const Case& c : cases) {
        settings.topMarkPercent = c.topMarkPercent;
        settings.hasMenu = c.hasMenu;
        settings.value = c.value;
        settings.enabled = c.enabled;
        const FacePlan plan = PlanFace(settings);
        EXPECT_EQ(plan.height, 0);
        EXPECT_TRUE(Bands(plan).empty()) << int{c.topMarkPercent} << " menu " << c.hasMenu;
        if (!c.hasMenu) {
            EXPECT_TRUE(plan.lines.empty()) << "no hatch over an empty face";
        }
    }
}

TEST(ButtonMenuArea, HotOverTheBottomQuarterOfTheFace) {
    // 100 x 25 pixels: hot for 0 < x <= 100 and 18.75 <= y <= 25.
    struct Case {
        std::int32_t x, y;
        bool hot;
    };
    const Case cases[] = {
        {1, 19, true},  {100, 25, true}, {50, 22, true}, {0, 20, false},
        {101, 20, false}, {50, 18, false}, {50, 26, false}, {-5, 20, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuAreaHot(c.x, c.y, 1500, 375, 15, 15), c.hot) << c.x << ", " << c.y;
    }
}

}  // namespace
