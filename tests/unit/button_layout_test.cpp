// Placement of the caption label and the icons of the button.
#include "controls/button/button_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

namespace {

using cmdorb::IconSettings;
using cmdorb::LayoutCaption;
using cmdorb::LayoutIcon;
using cmdorb::TwipsPoint;

TEST(ButtonLayoutCaption, ByTextAlign) {
    // A 1500 x 375 twips face and a 601 x 196 label: centred at (449.5, 89.5).
    struct Case {
        int textAlign;
        std::optional<TwipsPoint> expected;
    };
    const Case cases[] = {
        {0, TwipsPoint{449.5, 89.5}},
        {1, TwipsPoint{0, 89.5}},
        {2, TwipsPoint{899, 89.5}},
        {3, TwipsPoint{449.5, 0}},
        {4, TwipsPoint{449.5, 176}},  // 375 - (196 + 3)
        {5, std::nullopt},
        {-1, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LayoutCaption(static_cast<std::int16_t>(c.textAlign), 1500, 375, 601, 196),
                  c.expected)
            << "TextAlign " << c.textAlign;
    }
}

// A 200 x 50 pixel face on a screen whose twips per pixel differ across and down, so that a
// horizontal distance taken with the wrong factor shows.
class ButtonLayoutIcon : public ::testing::Test {
protected:
    IconSettings settings{
        .iconSize = 1,
        .iconWidth = 20,
        .iconHeight = 24,
        .iconAlign = 0,
        .icoDistFromEdge = 5,
        .icoDistFromTop = 2,
        .width = 2400,
        .height = 750,
        .twipsPerPixelX = 12,
        .twipsPerPixelY = 15,
        .icoPosition = {7, 11},
    };
};

TEST_F(ButtonLayoutIcon, SizeByIconSize) {
    struct Case {
        int iconSize;
        int width, height;  // pixels
        std::vector<std::string_view> announced;
    };
    const Case cases[] = {
        {1, 16, 16, {}},
        {2, 32, 32, {}},
        {3, 20, 24, {}},  // custom: the fields stay
        {4, 200, 50, {"IconHeight", "IconWidth"}},  // fits the face: 2400 / 12, 750 / 15
        {0, 20, 24, {}},
        {5, 20, 24, {}},
    };
    for (const Case& c : cases) {
        settings.iconSize = static_cast<std::int16_t>(c.iconSize);
        const auto layout = LayoutIcon(settings);
        EXPECT_EQ(layout.iconWidth, c.width) << "IconSize " << c.iconSize;
        EXPECT_EQ(layout.iconHeight, c.height) << "IconSize " << c.iconSize;
        EXPECT_EQ(layout.width, c.width * 12.0) << "IconSize " << c.iconSize;
        EXPECT_EQ(layout.height, c.height * 15.0) << "IconSize " << c.iconSize;
        EXPECT_EQ(std::vector(layout.announcements.begin(), layout.announcements.end()),
                  c.announced)
            << "IconSize " << c.iconSize;
    }
}

TEST_F(ButtonLayoutIcon, PositionByIconAlign) {
    // A 16-pixel icon is 192 x 240 twips. The edge distance is 5 x 15 = 75 twips on every
    // side; the top offset adds 2 x 15 = 30 twips to a placed icon.
    struct Case {
        int iconAlign;
        TwipsPoint expected;
    };
    const Case cases[] = {
        {0, {1104, 285}},  // ((2400 - 192) / 2, (750 - 240) / 2 + 30)
        {1, {75, 285}},
        {2, {2133, 285}},  // 2400 - 192 - 75
        {3, {1104, 105}},  // 75 + 30
        {4, {1104, 465}},  // 750 - 240 - 75 + 30
        // Left where it is, without the offset, which would otherwise pile up at every
        // relayout.
        {-1, {7, 11}},
        {5, {7, 11}},
    };
    for (const Case& c : cases) {
        settings.iconAlign = static_cast<std::int16_t>(c.iconAlign);
        EXPECT_EQ(LayoutIcon(settings).position, c.expected) << "IconAlign " << c.iconAlign;
    }
}

TEST_F(ButtonLayoutIcon, FitRoundsThePixelSizeHalvesToEven) {
    settings.iconSize = 4;
    settings.width = 2406;  // 200.5 pixels
    settings.height = 787.5;  // 52.5 pixels
    const auto layout = LayoutIcon(settings);
    EXPECT_EQ(layout.iconWidth, 200);
    EXPECT_EQ(layout.iconHeight, 52);
}

}  // namespace
