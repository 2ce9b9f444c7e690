// The button's window region: a rounded rectangle, optionally united with a rectangle that
// squares off one side.
//
// `ApplyRegion` creates the rounded region from `round`, unites `square` into it when there
// is one, and hands the result to the window.
#pragma once

#include <cstdint>
#include <optional>

namespace cmdorb {

// Which side of the region is straight. Any other mask value squares nothing: combinations
// of sides are not supported.
enum StraightSide : std::int32_t {
    kStraightTop = 1,
    kStraightLeft = 2,
    kStraightBottom = 4,
    kStraightRight = 8,
};

struct PixelRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The arguments of CreateRoundRectRgn: the rectangle and the corner ellipse's size.
struct RoundedRect {
    PixelRect rect;
    std::int32_t corner;
    friend bool operator==(const RoundedRect&, const RoundedRect&) = default;
};

struct RegionPlan {
    RoundedRect round;
    std::optional<PixelRect> square;  // united into `round` when present
};

// width and height in pixels; (x1, y1) the region's top-left corner (the button passes 1, 2,
// leaving out the leftmost column and the top two rows). With rightToLeft set and
// dontSwitchRTLSmooth clear, the straight side moves between left and right.
RegionPlan PlanRegion(std::int32_t width, std::int32_t height, double curvature, std::int32_t x1,
                      std::int32_t y1, std::int32_t mask, bool rightToLeft,
                      bool dontSwitchRTLSmooth);

}  // namespace cmdorb
