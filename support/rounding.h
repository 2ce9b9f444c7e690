// Whole-number conversions shared by the program's arithmetic: positions, percentages and
// pixel sizes round halves to the even neighbour, and no input can make a conversion
// undefined (values beyond the 32-bit range saturate, NaN gives 0).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace support {

// Saturates to the 32-bit range; NaN gives 0. `x` must already be whole.
inline std::int32_t ToInt32(double x) {
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(x)) return 0;
    if (x <= lowest) return std::numeric_limits<std::int32_t>::min();
    if (x >= highest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(x);
}

// Rounds to the nearest whole number, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
inline std::int32_t RoundHalfEven(double x) {
    double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return ToInt32(r);
}

// Rounds down to a whole number (2.7 -> 2, -2.5 -> -3).
inline std::int32_t RoundDown(double x) { return ToInt32(std::floor(x)); }

}  // namespace support
