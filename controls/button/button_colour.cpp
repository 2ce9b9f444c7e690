#include "controls/button/button_colour.h"

#include <algorithm>

namespace cmdorb {

namespace {

// The step of both ramps: three times the amount, kept in 16 bits as the face always did.
std::int16_t StepOf(std::int16_t amount) { return static_cast<std::int16_t>(3 * amount); }

template <typename Shift>
Colour ShiftChannels(Colour colour, Shift shift, std::int16_t addR, std::int16_t addG,
                     std::int16_t addB) {
    const Channels c = SplitChannels(colour);
    return ComposeColour(shift(c.red) + addR, shift(c.green) + addG, shift(c.blue) + addB);
}

}  // namespace

Channels SplitChannels(Colour colour) {
    const auto value = static_cast<std::int32_t>(colour);
    return {value & 0xFF, (value / 0x100) & 0xFF, (value / 0x10000) & 0xFF};
}

Colour ComposeColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    const auto byte = [](std::int32_t c) { return static_cast<Colour>(std::clamp(c, 0, 255)); };
    return byte(red) | byte(green) << 8 | byte(blue) << 16;
}

Colour Darken(Colour colour, std::int16_t amount, std::int16_t addR, std::int16_t addG,
              std::int16_t addB) {
    const std::int32_t k = StepOf(amount);
    return ShiftChannels(
        colour, [k](std::int32_t c) { return std::max(c - k, 0); }, addR, addG, addB);
}

Colour Lighten(Colour colour, std::int16_t amount, std::int16_t addR, std::int16_t addG,
               std::int16_t addB) {
    const std::int32_t k = StepOf(amount);
    return ShiftChannels(
        colour, [k](std::int32_t c) { return c + k < 0 ? 255 : c + k; }, addR, addG, addB);
}

}  // namespace cmdorb
