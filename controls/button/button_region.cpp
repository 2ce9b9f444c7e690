#include "controls/button/button_region.h"

#include "controls/button/button_units.h"

namespace cmdorb {

namespace {

// In right-to-left layout the straight side follows the mirrored face.
std::int32_t MirroredMask(std::int32_t mask) {
    if (mask == kStraightRight) return kStraightLeft;
    if (mask == kStraightLeft) return kStraightRight;
    return mask;
}

}  // namespace

RegionPlan PlanRegion(std::int32_t width, std::int32_t height, double curvature, std::int32_t x1,
                      std::int32_t y1, std::int32_t mask, bool rightToLeft,
                      bool dontSwitchRTLSmooth) {
    const std::int32_t c = RoundHalfEven(curvature);
    RegionPlan plan{{{x1, y1, width, height}, c}, std::nullopt};

    if (rightToLeft && !dontSwitchRTLSmooth) mask = MirroredMask(mask);
    // The rectangle reaches half a corner into the face, far enough to cover the rounding.
    const double half = c / 2.0;
    switch (mask) {
        case kStraightTop:
            plan.square = PixelRect{x1, y1, width - 1, RoundHalfEven(y1 + half - 1)};
            break;
        case kStraightLeft:
            plan.square = PixelRect{x1, y1, RoundHalfEven(x1 + half - 1), height - 1};
            break;
        case kStraightBottom:
            plan.square = PixelRect{x1, RoundHalfEven(height - half), width - 1, height - 1};
            break;
        case kStraightRight:
            plan.square = PixelRect{RoundHalfEven(width - half), y1, width - 1, height - 1};
            break;
        default:
            break;
    }
    return plan;
}

}  // namespace cmdorb
