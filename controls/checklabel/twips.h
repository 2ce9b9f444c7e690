// Rounding of twip measures to whole twips, as the control stores its positions.
#pragma once

#include <cstdint>

#include "support/rounding.h"

namespace checklabel {

// Nearest whole twip, ties to even; a wild text measurement saturates instead of turning
// into an undefined conversion.
inline std::int32_t RoundTwips(double twips) { return support::RoundHalfEven(twips); }

// A measured text width as the layout and the auto-size use it: doubled, rounded (ties to
// even) and halved with truncation, so 1000.5 gives 1000 and 1000.75 gives 1001.
inline std::int32_t RoundedTextWidth(double width) { return RoundTwips(2.0 * width) / 2; }

}  // namespace checklabel
