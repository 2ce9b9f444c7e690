// The arithmetic of the window helpers: outlines, shadow rows, the shadow colour rule.
#include "support/window_shape.h"

#include <gtest/gtest.h>

namespace {

using windowing::RoundRectPlan;

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16));
}

TEST(ShadeColor, Cases) {
    struct Case {
        std::int16_t amount;
        std::uint32_t color;
        std::int16_t addRed, addGreen, addBlue;
        std::uint32_t expected;
    } const cases[] = {
        {0, Rgb(16, 18, 81), 0, 0, 0, Rgb(16, 18, 81)},
        {10, Rgb(16, 18, 81), 0, 0, 0, Rgb(0, 0, 51)},      // 16 - 30 and 18 - 30 stop at 0
        {30, Rgb(16, 18, 81), 0, 0, 0, Rgb(0, 0, 0)},
        {5, Rgb(16, 18, 81), 0, 0, 0, Rgb(1, 3, 66)},
        {1, Rgb(255, 255, 255), 1, 2, 3, Rgb(253, 254, 255)},
        {0, Rgb(250, 10, 10), 10, 0, 0, Rgb(255, 10, 10)},  // kept to 255
        {10, Rgb(10, 10, 10), 5, -5, 0, Rgb(5, 0, 0)},      // the add comes after the clamp
        {-10, Rgb(240, 0, 0), 0, 0, 0, Rgb(255, 30, 30)},
        {0, 0x80000012u, 0, 0, 0, Rgb(0x12, 0, 0)},         // only the RGB bytes count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowing::ShadeColor(c.amount, c.color, c.addRed, c.addGreen, c.addBlue), c.expected)
            << "amount " << c.amount << " colour " << std::hex << c.color;
    }
}

TEST(PlanWindowShape, WithoutTheBumpARoundedBodyInsetByTheFrame) {
    const auto plan = windowing::PlanWindowShape(500, 400, 40.5, false, 2, 5, 42, 55, 65, 4, 4);
    EXPECT_EQ(plan.body, (RoundRectPlan{4, 3, 496, 397, 40, 40})) << "40.5 rounds to even";
    EXPECT_FALSE(plan.bump);
    EXPECT_FALSE(plan.filler);
}

TEST(PlanWindowShape, TheMainWindowsBumpAndFiller) {
    const auto plan = windowing::PlanWindowShape(500, 400, 40, true, 2, 5, 42, 55, 65, 3, 3);
    EXPECT_EQ(plan.body, (RoundRectPlan{3, 20, 497, 397, 40, 40}));
    ASSERT_TRUE(plan.bump);
    EXPECT_EQ(*plan.bump, (RoundRectPlan{2, 5, 42, 55, 65, 65})) << "FrameX - 1 to 42";
    ASSERT_TRUE(plan.filler);
    EXPECT_EQ(*plan.filler, (windowing::RectPlan{3, 32, 10, 100}));
}

TEST(PlanPictureShape, InsetByTheFrameAndMovedByTheAdds) {
    EXPECT_EQ(windowing::PlanPictureShape(48, 48, 9, 65, -8, -8),
              (RoundRectPlan{1, 1, 31, 31, 65, 65}));
    EXPECT_EQ(windowing::PlanPictureShape(100, 50, 0, 2.5, 0, 0), (RoundRectPlan{0, 0, 100, 50, 2, 2}));
}

TEST(PlanButtonShadow, FiveRowsShiftedRightWithTheirColours) {
    // 1500 × 450 twips at (300, 600): 100 × 30 pixels at (20, 40); bottom at 70.
    const auto rows = windowing::PlanButtonShadow({300, 600, 1500, 450, 0}, 15, 15);
    const std::uint32_t base = Rgb(16, 18, 81);
    const windowing::ShadowLine expected[5] = {
        {67, 30, 120, base},
        {68, 31, 121, windowing::ShadeColor(10, base)},
        {69, 32, 122, windowing::ShadeColor(30, base)},
        {70, 33, 123, windowing::ShadeColor(40, base)},
        {71, 34, 124, windowing::ShadeColor(20, base)},
    };
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rows[i], expected[i]) << "row " << i;

    const auto straightLeft = windowing::PlanButtonShadow({300, 600, 1500, 450, 2}, 15, 15);
    EXPECT_EQ(straightLeft[0].fromX, 22);
    EXPECT_EQ(straightLeft[0].toX, 22 + 98);
    EXPECT_EQ(windowing::PlanButtonShadow({300, 600, 1500, 450, 4}, 15, 15)[0].fromX, 30);
}

}  // namespace
