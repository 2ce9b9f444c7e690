// Placement of the button's constituents: the caption label and the two icon images.
//
// Positions and sizes are twips relative to the control (the label's and images' own units);
// icon sizes and distances are pixels, converted with the screen's twips per pixel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace cmdorb {

struct TwipsPoint {
    double left;
    double top;
    friend bool operator==(const TwipsPoint&, const TwipsPoint&) = default;
};

// Where `lCaption` goes for TextAlign 0 (centred), 1 (left), 2 (right), 3 (top), 4 (bottom);
// nothing for any other TextAlign, which leaves the label where it is.
std::optional<TwipsPoint> LayoutCaption(std::int16_t textAlign, double width, double height,
                                        double labelWidth, double labelHeight);

// The icon properties `LayoutIcon` reads, and the control it lays the icons out in.
struct IconSettings {
    std::int16_t iconSize;         // 1 small (16), 2 large (32), 3 custom, 4 fit the face
    std::int32_t iconWidth;        // pixels
    std::int32_t iconHeight;       // pixels
    std::int16_t iconAlign;        // 0 centred, 1 left, 2 right, 3 top, 4 bottom
    std::int32_t icoDistFromEdge;  // pixels
    std::int32_t icoDistFromTop;   // pixels, added downwards
    double width;                  // the control's inner width, twips
    double height;                 // the control's inner height, twips
    std::int32_t twipsPerPixelX;
    std::int32_t twipsPerPixelY;
    TwipsPoint icoPosition;        // where `Ico` is now
};

// IconSize 4 changes both sizes and announces them in this order.
inline constexpr std::array<std::string_view, 2> kFitIconAnnouncements{"IconHeight", "IconWidth"};

// The result for both `Ico` and `CheckedIco` (the checked icon lies exactly over the normal one).
struct IconLayout {
    std::int32_t iconWidth;   // the IconWidth field afterwards, pixels
    std::int32_t iconHeight;  // the IconHeight field afterwards, pixels
    std::span<const std::string_view> announcements;  // properties to announce, in order
    double width;   // twips
    double height;  // twips
    TwipsPoint position;
};

IconLayout LayoutIcon(const IconSettings& settings);

}  // namespace cmdorb
