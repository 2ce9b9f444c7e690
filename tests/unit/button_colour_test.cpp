// Colour arithmetic of the button's face.
#include "controls/button/button_colour.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using cmdorb::Channels;
using cmdorb::Colour;
using cmdorb::ComposeColour;
using cmdorb::Darken;
using cmdorb::Lighten;
using cmdorb::SplitChannels;

TEST(ButtonColour, ChannelsOfPlainAndSystemColours) {
    struct Case {
        Colour colour;
        Channels expected;
    };
    const Case cases[] = {
        {0x00332211, {0x11, 0x22, 0x33}},
        {0x00FFFFFF, {255, 255, 255}},
        // Signed, -2147483630: divided by 256 it is -8388607.9, toward zero -8388607,
        // 0xFF800001, whose low byte is 1; by 65536 likewise 0xFFFF8001. A shift gives 0.
        {0x80000012, {0x12, 0x01, 0x01}},
        {0x8000000F, {0x0F, 0x01, 0x01}},
        // -2147483648 divides exactly (-8388608 = 0xFF800000): nothing to round, low byte 0.
        {0x80000000, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitChannels(c.colour), c.expected) << std::hex << c.colour;
    }
}

TEST(ButtonColour, ComposeTakesComponentsBeyondAByteToItsEnds) {
    EXPECT_EQ(ComposeColour(0x11, 0x22, 0x33), 0x332211u);
    EXPECT_EQ(ComposeColour(256, 300, 1000), 0xFFFFFFu);
    EXPECT_EQ(ComposeColour(-1, 0, 255), 0xFF0000u);
}

struct ShiftCase {
    Colour colour;
    std::int16_t amount;
    std::int16_t addR, addG, addB;
    Colour expected;
    const char* why;
};

TEST(Darken, Table) {
    const ShiftCase cases[] = {
        {0xE0E0E0, 13, 0, 0, 0, 0xB9B9B9, "224 - 39 = 185"},
        {0x0A0A0A, 5, 0, 0, 0, 0x000000, "10 - 15 stops at 0"},
        {0x000000, -18, 0, 0, 0, 0x363636, "a negative amount lightens: 0 + 54"},
        {0x302010, -18, 0, 0, 0, 0x665646, "54 added to each channel"},
        {0x000000, -103, 0, 0, 0, 0xFFFFFF, "0 + 309 passes 255: white"},
        {0xFFFFFF, 60, 15, 15, 70, 0x915A5A, "255 - 180 = 75, then (90, 90, 145)"},
        {0xFFFFFF, 80, 45, 45, 120, 0x873C3C, "255 - 240 = 15, then (60, 60, 135)"},
        {0x80000012, 0, 0, 0, 0, 0x010112, "system colour split, untranslated"},
        {0x8000000F, -18, 0, 0, 0, 0x373745, "(15, 1, 1) + 54"},
        {0x808080, 10923, 0, 0, 0, 0xFFFFFF, "3 x 10923 = 32769 wraps to -32767"},
        {0x808080, 21846, 0, 0, 0, 0x7E7E7E, "3 x 21846 = 65538 wraps to 2"},
    };
    for (const ShiftCase& c : cases) {
        EXPECT_EQ(Darken(c.colour, c.amount, c.addR, c.addG, c.addB), c.expected) << c.why;
    }
}

TEST(Lighten, Table) {
    const ShiftCase cases[] = {
        {0x363636, -40, 0, 0, 0, 0xFFFFFF, "54 - 120 is below 0: 255, not 0"},
        {0xC8C8C8, -40, 0, 0, 0, 0x505050, "200 - 120 = 80"},
        {0x787877, -40, 0, 0, 0, 0x0000FF, "120 - 120 = 0 stays; 119 - 120 becomes 255"},
        {0xE0E0E0, -40, 0, 0, 0, 0x686868, "224 - 120 = 104"},
        {0x302010, 10, 0, 0, 0, 0x4E3E2E, "30 added"},
        {0xF0F0F0, 10, 0, 0, 0, 0xFFFFFF, "270 is taken as 255"},
        {0x000000, 0, 300, 0, 20, 0x1400FF, "additions are clamped too"},
        {0x80000012, -40, 0, 0, 0, 0xFFFFFF, "(18, 1, 1) - 120 below 0 in each channel"},
    };
    for (const ShiftCase& c : cases) {
        EXPECT_EQ(Lighten(c.colour, c.amount, c.addR, c.addG, c.addB), c.expected) << c.why;
    }
}

}  // namespace
