// Colour arithmetic of the button's face: channel split, composition, `Darken` and `Lighten`.
//
// A colour value is 32 bits, red in the low byte, then green, then blue. A value with the
// high bit set names a system colour; the face uses such a value as it is, untranslated,
// so its channels come from the plain arithmetic below.
#pragma once

#include <cstdint>

namespace cmdorb {

using Colour = std::uint32_t;

struct Channels {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
    friend bool operator==(const Channels&, const Channels&) = default;
};

// Red is the low byte; green and blue are the low bytes of the value, taken as signed,
// divided by 256 and 65536 rounding toward zero. For a system colour this differs from
// shifting: 0x80000012 splits into (0x12, 0x01, 0x01).
Channels SplitChannels(Colour colour);

// Components above 255 count as 255, below 0 as 0.
Colour ComposeColour(std::int32_t red, std::int32_t green, std::int32_t blue);

// Takes 3 × amount (16-bit arithmetic, wrapping) off each channel, stopping at 0, then adds
// addR, addG, addB. A negative amount lightens: Darken(c, -18) adds 54 to each channel.
Colour Darken(Colour colour, std::int16_t amount, std::int16_t addR = 0, std::int16_t addG = 0,
              std::int16_t addB = 0);

// Adds 3 × amount to each channel; a channel that falls below 0 becomes 255 (not 0), so
// Lighten(c, -40) turns every channel below 120 white. Then adds addR, addG, addB.
Colour Lighten(Colour colour, std::int16_t amount, std::int16_t addR = 0, std::int16_t addG = 0,
               std::int16_t addB = 0);

}  // namespace cmdorb
