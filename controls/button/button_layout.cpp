#include "controls/button/button_layout.h"

#include "controls/button/button_units.h"

namespace cmdorb {

std::optional<TwipsPoint> LayoutCaption(std::int16_t textAlign, double width, double height,
                                        double labelWidth, double labelHeight) {
    const double centreX = (width - labelWidth) / 2;
    const double centreY = (height - labelHeight) / 2;
    switch (textAlign) {
        case 0: return TwipsPoint{centreX, centreY};
        case 1: return TwipsPoint{0, centreY};
        case 2: return TwipsPoint{width - labelWidth, centreY};
        case 3: return TwipsPoint{centreX, 0};
        case 4: return TwipsPoint{centreX, height - (labelHeight + 3)};
        default: return std::nullopt;
    }
}

namespace {

// IconAlign 0 centred, 1 left, 2 right, 3 top, 4 bottom, each d from its edge; nothing for
// any other value.
std::optional<TwipsPoint> IconPosition(std::int16_t iconAlign, double width, double height,
                                       double iconWidth, double iconHeight, double d) {
    const double centreX = (width - iconWidth) / 2;
    const double centreY = (height - iconHeight) / 2;
    switch (iconAlign) {
        case 0: return TwipsPoint{centreX, centreY};
        case 1: return TwipsPoint{d, centreY};
        case 2: return TwipsPoint{width - iconWidth - d, centreY};
        case 3: return TwipsPoint{centreX, d};
        case 4: return TwipsPoint{centreX, height - iconHeight - d};
        default: return std::nullopt;
    }
}

}  // namespace

IconLayout LayoutIcon(const IconSettings& s) {
    IconLayout out{s.iconWidth, s.iconHeight, {}, 0, 0, s.icoPosition};
    switch (s.iconSize) {
        case 1: out.iconWidth = out.iconHeight = 16; break;
        case 2: out.iconWidth = out.iconHeight = 32; break;
        case 4:
            out.iconHeight = PixelsFromTwips(s.height, s.twipsPerPixelY);
            out.iconWidth = PixelsFromTwips(s.width, s.twipsPerPixelX);
            out.announcements = kFitIconAnnouncements;
            break;
        default: break;  // 3 (custom) and unknown sizes keep the fields
    }
    // In doubles: a stored size times twips per pixel can pass the 32-bit range.
    out.width = static_cast<double>(out.iconWidth) * s.twipsPerPixelX;
    out.height = static_cast<double>(out.iconHeight) * s.twipsPerPixelY;

    // The distance from the edge uses the vertical factor on every side.
    const double d = static_cast<double>(s.icoDistFromEdge) * s.twipsPerPixelY;
    if (auto placed = IconPosition(s.iconAlign, s.width, s.height, out.width, out.height, d)) {
        // Only a placed icon gets the downward offset; adding it to an icon left where it
        // is would move it further down at every relayout.
        placed->top += static_cast<double>(s.icoDistFromTop) * s.twipsPerPixelY;
        out.position = *placed;
    }
    return out;
}

}  // namespace cmdorb
