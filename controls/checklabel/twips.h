// Rounding of twip measures to whole twips, as the control stores its positions.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace checklabel {

// Nearest whole twip, ties to even. A value beyond the 32-bit range is clamped and NaN gives 0,
// so a wild text measurement cannot turn into an undefined conversion.
inline std::int32_t RoundTwips(double twips) {
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(twips)) return 0;
    if (twips <= lowest) return std::numeric_limits<std::int32_t>::min();
    if (twips >= highest) return std::numeric_limits<std::int32_t>::max();
    double rounded = std::round(twips);  // halves away from zero
    if (std::fabs(twips - std::trunc(twips)) == 0.5) rounded = 2.0 * std::round(twips / 2.0);
    return static_cast<std::int32_t>(rounded);
}

// A measured text width as the layout and the auto-size use it: doubled, rounded (ties to
// even) and halved with truncation, so 1000.5 gives 1000 and 1000.75 gives 1001.
inline std::int32_t RoundedTextWidth(double width) { return RoundTwips(2.0 * width) / 2; }

}  // namespace checklabel
