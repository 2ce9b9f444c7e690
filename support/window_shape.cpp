#include "support/window_shape.h"

#include <algorithm>
#include <cmath>

namespace windowing {

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16);
}

constexpr std::uint32_t kShadowColor = Rgb(16, 18, 81);

// Twips to whole pixels, halves to even.
int Pixels(int twips, int twipsPerPixel) {
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / twipsPerPixel));
}

}  // namespace

int RoundedCurvature(double curvature) {
    if (!std::isfinite(curvature)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(curvature, -1.0e9, 1.0e9)));
}

WindowShapePlan PlanWindowShape(int width, int height, double curvature, bool logoBump,
                                int bumpLeftAdd, int bumpTop, int bumpRight, int bumpBottom,
                                int bumpCurvature, int frameX, int frameY) {
    const int r = RoundedCurvature(curvature);
    WindowShapePlan plan{};
    if (!logoBump) {
        plan.body = {frameX, 3, width - frameX, height - 3, r, r};
        return plan;
    }
    plan.body = {frameX, 20, width - frameX, height - frameY, r, r};
    plan.bump = RoundRectPlan{frameX + bumpLeftAdd - 3, bumpTop, bumpRight, bumpBottom,
                              bumpCurvature, bumpCurvature};
    plan.filler = RectPlan{frameX, 32, 10, 100};
    return plan;
}

RoundRectPlan PlanPictureShape(int width, int height, int frameWidth, double curvature,
                               int leftAdd, int topAdd) {
    const int r = RoundedCurvature(curvature);
    return {leftAdd + frameWidth, topAdd + frameWidth, leftAdd - frameWidth + width,
            topAdd - frameWidth + height, r, r};
}

std::uint32_t ShadeColor(std::int16_t amount, std::uint32_t color, std::int16_t addRed,
                         std::int16_t addGreen, std::int16_t addBlue) {
    const auto channel = [amount](std::uint32_t value, int add) {
        const int shaded = std::max(static_cast<int>(value & 0xFF) - 3 * amount, 0) + add;
        return std::clamp(shaded, 0, 255);
    };
    return Rgb(channel(color, addRed), channel(color >> 8, addGreen), channel(color >> 16, addBlue));
}

std::array<ShadowLine, 5> PlanButtonShadow(const ShadowedButton& button, int twipsPerPixelX,
                                           int twipsPerPixelY) {
    const int bottom = Pixels(button.top + button.height, twipsPerPixelY);
    const int y = bottom - 3;
    const int inset = button.straightSideMask == 2 ? 2 : 10;
    const int x = Pixels(button.left, twipsPerPixelX) + inset;
    const int length = Pixels(button.width, twipsPerPixelX) - inset;
    const std::uint32_t colors[5] = {kShadowColor, ShadeColor(10, kShadowColor),
                                     ShadeColor(30, kShadowColor), ShadeColor(40, kShadowColor),
                                     ShadeColor(20, kShadowColor)};
    std::array<ShadowLine, 5> lines{};
    for (int i = 0; i < 5; ++i) lines[i] = {y + i, x + i, x + i + length, colors[i]};
    return lines;
}

}  // namespace windowing
