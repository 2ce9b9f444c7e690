// The arithmetic of the window helpers: region rectangles of the main window and of a
// picture, the rows of a button's drop shadow, and the shadow's colour rule. Portable;
// support/window_helpers.h applies it with GDI. Coordinates are pixels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace windowing {

struct RoundRectPlan {
    int left, top, right, bottom;  // as CreateRoundRectRgn takes them: right and bottom outside
    int ellipseWidth, ellipseHeight;
    friend bool operator==(const RoundRectPlan&, const RoundRectPlan&) = default;
};

struct RectPlan {
    int left, top, right, bottom;
    friend bool operator==(const RectPlan&, const RectPlan&) = default;
};

// The outline of a window W × H pixels: the rounded body, and with the logo bump the bump
// and a filler that squares off the body's upper left corner under it.
struct WindowShapePlan {
    RoundRectPlan body;
    std::optional<RoundRectPlan> bump;
    std::optional<RectPlan> filler;
};

// A curvature as a whole number, halves to even.
int RoundedCurvature(double curvature);

WindowShapePlan PlanWindowShape(int width, int height, double curvature, bool logoBump,
                                int bumpLeftAdd, int bumpTop, int bumpRight, int bumpBottom,
                                int bumpCurvature, int frameX, int frameY);

// The rounded outline of a picture of the given width and height (the picture's own
// measures), inset by the frame width and moved by the adds.
RoundRectPlan PlanPictureShape(int width, int height, int frameWidth, double curvature,
                               int leftAdd, int topAdd);

// Each channel less 3 × amount, not below 0, plus its add; the result kept to 0..255.
// Colours are 0x00BBGGRR.
std::uint32_t ShadeColor(std::int16_t amount, std::uint32_t color, std::int16_t addRed = 0,
                         std::int16_t addGreen = 0, std::int16_t addBlue = 0);

struct ShadowLine {
    int y;
    int fromX;
    int toX;  // not painted: lines end before their end point
    std::uint32_t color;
    friend bool operator==(const ShadowLine&, const ShadowLine&) = default;
};

// A button's placement in twips, and what its shadow depends on.
struct ShadowedButton {
    int left, top, width, height;  // twips
    std::int32_t straightSideMask;
};

// Five rows under the button, each one pixel further right and lighter than the last but one.
std::array<ShadowLine, 5> PlanButtonShadow(const ShadowedButton& button, int twipsPerPixelX,
                                           int twipsPerPixelY);

}  // namespace windowing
