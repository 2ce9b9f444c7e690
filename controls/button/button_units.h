// Whole-number conversions of the button's twips and pixel arithmetic.
//
// The button's sizes are floating-point twips; the platform wants whole pixels. Every
// conversion here rounds the way the button has always rounded (halves to even) and never
// leaves the 32-bit range, so no input can make a conversion undefined.
#pragma once

#include <cstdint>

#include "support/rounding.h"

namespace cmdorb {

using support::RoundDown;
using support::RoundHalfEven;
using support::ToInt32;

// A twips distance as whole pixels. `twipsPerPixel` is positive (the start-up code captures it).
inline std::int32_t PixelsFromTwips(double twips, std::int32_t twipsPerPixel) {
    return RoundHalfEven(twips / twipsPerPixel);
}

}  // namespace cmdorb
