// The face of the button as a list of lines: what `DrawFace` draws, in order, on its
// off-screen surface.
//
// The face is horizontal bands of 4-pixel lines whose colour darkens downwards, computed
// from the face's size in twips. The steps are fixed fractions of the height, so the number
// of lines does not depend on the size; a face of height 0 has no bands at all.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/button/button_colour.h"

namespace cmdorb {

inline constexpr std::int32_t kBandPenWidth = 4;
inline constexpr std::int32_t kFinePenWidth = 1;  // the disabled hatch and the menu arrow

struct FaceSettings {
    double width;   // W: the control's inner width, twips
    double height;  // H: the control's inner height, twips
    std::int32_t twipsPerPixelX;
    std::int32_t twipsPerPixelY;
    Colour base;  // BackColor1 or HighColor1, as stored (system colours untranslated)
    bool enabled;
    std::uint8_t topMarkPercent;  // 0 = no top band
    bool hasMenu;
    bool menuHot;  // from MenuAreaHot, read only when hasMenu and topMarkPercent are set
    bool value;    // checked
    bool underlineChecked;
    Colour checkedColor;
};

// One MoveToEx/LineTo in pixels of the surface, with its own solid pen.
struct FaceLine {
    std::int32_t x1;
    std::int32_t y1;
    std::int32_t x2;
    std::int32_t y2;
    Colour colour;
    std::int32_t penWidth;
    friend bool operator==(const FaceLine&, const FaceLine&) = default;
};

struct FacePlan {
    std::int32_t width;   // the face in whole pixels: the surface to compose on
    std::int32_t height;
    std::vector<FaceLine> lines;  // in drawing order
};

FacePlan PlanFace(const FaceSettings& settings);

// Whether the pointer, at (x, y) pixels in the control's client area, is over the menu area
// (the bottom quarter) of a face W × H twips.
bool MenuAreaHot(std::int32_t x, std::int32_t y, double width, double height,
                 std::int32_t twipsPerPixelX, std::int32_t twipsPerPixelY);

}  // namespace cmdorb
