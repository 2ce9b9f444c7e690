// The button's window region: the rounded rectangle and the rectangle that squares one side.
#include "controls/button/button_region.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using cmdorb::PixelRect;
using cmdorb::PlanRegion;
using cmdorb::RoundedRect;

// A 100 x 25 pixel button with curvature 25, from (1, 2) as the button always passes.
// Half a corner is 12.5: round(2 + 12.5 - 1) = round(13.5) = 14, round(1 + 12.5 - 1) =
// round(12.5) = 12, round(25 - 12.5) = 12, round(100 - 12.5) = 88 (halves to even).
constexpr PixelRect kTop{1, 2, 99, 14};
constexpr PixelRect kLeft{1, 2, 12, 24};
constexpr PixelRect kBottom{1, 12, 99, 24};
constexpr PixelRect kRight{88, 2, 99, 24};

TEST(ButtonRegion, SquaredSideByMaskAndDirection) {
    struct Case {
        int mask;
        bool rightToLeft;
        bool dontSwitch;
        std::optional<PixelRect> expected;
    };
    const Case cases[] = {
        {1, false, false, kTop},      {2, false, false, kLeft},
        {4, false, false, kBottom},   {8, false, false, kRight},
        // Right to left moves the straight side between left and right only.
        {1, true, false, kTop},       {2, true, false, kRight},
        {4, true, false, kBottom},    {8, true, false, kLeft},
        // DontSwitchRTLSmooth keeps it where the mask says, with or without right to left.
        {2, true, true, kLeft},       {8, true, true, kRight},
        {2, false, true, kLeft},
        // Combinations, none and nonsense square nothing, in either direction.
        {3, false, false, std::nullopt}, {5, false, false, std::nullopt},
        {0, false, false, std::nullopt}, {-1, false, false, std::nullopt},
        {3, true, false, std::nullopt},  {10, true, false, std::nullopt},
        {0, true, false, std::nullopt},  {-1, true, true, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto plan = PlanRegion(100, 25, 25, 1, 2, c.mask, c.rightToLeft, c.dontSwitch);
        EXPECT_EQ(plan.round, (RoundedRect{{1, 2, 100, 25}, 25}))
            << "mask " << c.mask << " rtl " << c.rightToLeft;
        EXPECT_EQ(plan.square, c.expected)
            << "mask " << c.mask << " rtl " << c.rightToLeft << " keep " << c.dontSwitch;
    }
}

TEST(ButtonRegion, CurvatureIsRoundedBeforeItIsHalved) {
    struct Case {
        double curvature;
        int mask;
        int corner;
        PixelRect square;
    };
    const Case cases[] = {
        {24.5, 1, 24, {1, 2, 99, 13}},  // 24.5 → 24: round(2 + 12 - 1) = 13
        {25.5, 8, 26, {87, 2, 99, 24}},  // 25.5 → 26: round(100 - 13) = 87
        {24.6, 1, 25, {1, 2, 99, 14}},  // 25 halved, 13.5 → 14; halving 24.6 would give 13
    };
    for (const Case& c : cases) {
        const auto plan = PlanRegion(100, 25, c.curvature, 1, 2, c.mask, false, false);
        EXPECT_EQ(plan.round.corner, c.corner) << c.curvature;
        EXPECT_EQ(plan.square, c.square) << c.curvature;
    }
}

}  // namespace
