#include "controls/checklabel/check_plan.h"

#include <algorithm>

#include "controls/checklabel/twips.h"

namespace checklabel {

BoxColours PlanBoxColours(const CheckLabelFields& f) {
    // A disabled box loses its own light and border colours to the button shadow.
    const Colour light = f.Enabled ? f.BoxColor : ButtonShadow;
    const Colour shadow = ButtonShadow;
    const Colour border = f.Enabled ? f.BorderColor : ButtonShadow;

    // Edges in the order of `Edge`; a box style outside 0 to 6 keeps them all black.
    std::array<Colour, 8> edges{};
    switch (f.BoxStyle) {
        case 0:  // sunken, outer right and bottom in the box colour even when disabled
            edges = {shadow, DarkShadow3D, shadow, DarkShadow3D,
                     ButtonFace, f.BoxColor, ButtonFace, f.BoxColor};
            break;
        case 1:  // sunken with white outer right and bottom
            edges = {shadow, light, shadow, light, ButtonFace, White, ButtonFace, White};
            break;
        case 2:  // bordered: border outside, light inside
            edges = {border, light, border, light, light, border, light, border};
            break;
        case 3:  // raised
            edges = {White, light, White, light, shadow, light, shadow, light};
            break;
        case 4:  // sunken with white inner right and bottom
            edges = {shadow, light, shadow, light, White, light, White, light};
            break;
        case 5:  // flat, border colour all round
            edges.fill(border);
            break;
        case 6:  // the custom edge table
            edges = f.CustomColors;
            break;
        default:
            break;
    }

    BoxColours out;
    std::copy(edges.begin(), edges.end(), out.EdgeColors.begin());
    out.EdgeColors[Mark] = f.Enabled ? f.CheckColor : f.DisabledForeColor;
    out.PicCheckBackColor = f.BoxColor;
    return out;
}

std::array<Line, 8> BoxLines(const BoxColours& colours, std::int32_t P) {
    // The square is 16 pixels of the horizontal measure in both directions.
    const std::int32_t S = 16 * P;
    const auto& c = colours.EdgeColors;
    return {{
        {{0, 0}, {S - P, 0}, c[TopOuter]},
        {{P, P}, {S - 2 * P, P}, c[TopInner]},
        {{0, S - 2}, {0, 0}, c[LeftOuter]},  // 2 twips, not 2 pixels, above S
        {{P, S - 2 * P}, {P, P}, c[LeftInner]},
        {{S - 2 * P, P}, {S - 2 * P, S - P}, c[RightInner]},
        {{S - P, 0}, {S - P, S}, c[RightOuter]},
        {{P, S - 2 * P}, {S - P, S - 2 * P}, c[BottomInner]},
        {{0, S - P}, {S - P, S - P}, c[BottomOuter]},
    }};
}

std::array<ColouredCircle, 3> OptionCircles(const BoxColours& colours, std::int32_t P,
                                            std::int32_t Q) {
    const Point centre{8 * P, 8 * Q};
    return {{
        {{centre, 6.0 * P}, colours.EdgeColors[TopOuter]},
        {{centre, 5.0 * P}, colours.EdgeColors[TopOuter]},
        {{centre, 3.0 * P}, ButtonShadow},
    }};
}

Layout PlanLayout(const CheckLabelFields& f, const Metrics& m, const CaptionMeasures& text) {
    Layout out;
    out.Top = RoundTwips(m.SurfaceInnerHeight - text.CaptionHeight) / 2;
    out.H = RoundTwips(text.StrippedHeight);

    const double TW = text.StrippedWidth;
    const double TWr = RoundedTextWidth(TW);
    const double P = m.P;
    const double PW = m.PicCheckWidth;
    const double SW = m.SurfaceInnerWidth;
    const double W = m.ControlWidth;

    switch (f.Align) {
        case 0: {  // box at the left; a label's box sits off the surface
            const double box = f.IsLabel ? -(PW + 5) : 1;
            out.BoxLeft = RoundTwips(box);
            if (f.RightToLeft) {
                out.X = RoundTwips(W - (TW + PW + 5 * P));
                out.R = RoundTwips(TWr + 5 * P + PW);
            } else {
                out.X = RoundTwips(box + PW + 5 * P);
                out.R = RoundTwips(out.X + TWr);
            }
            break;
        }
        case 1: {  // box at the right; a label's box sits just beyond the surface
            const double box = f.IsLabel ? SW : SW - (PW + P);
            out.BoxLeft = RoundTwips(box);
            if (f.RightToLeft) {
                out.X = RoundTwips(SW - (box - 4 * P));
                out.R = RoundTwips(SW - TWr + out.X);
            } else {
                out.X = RoundTwips(box - (5 * P + TW));
                out.R = RoundTwips(out.X + TWr);
            }
            break;
        }
        default:  // caption at the left edge, box not moved
            break;
    }
    return out;
}

std::vector<CaptionPrint> PlanCaptionPrints(const CheckLabelFields& f, const Layout& layout) {
    const Point at{layout.X, layout.Top};
    if (!f.Enabled) {
        // A disabled label prints at the top-left corner whatever the placement said.
        return {{f.IsLabel ? Point{0, 0} : at, f.DisabledForeColor,
                 EventColour::DisabledForeColorField}};
    }
    if (f.ForeColor != f.TrackingColor) return {{at, f.ForeColor, EventColour::ForeColorField}};

    // Hover look: the tracking colour one twip down and outwards, black over it.
    const Point offset{layout.X + (f.RightToLeft ? -1 : 1), layout.Top + 1};
    return {{offset, f.ForeColor, EventColour::ForeColorField},
            {at, Black, EventColour::HoverEventColour}};
}

std::vector<Point> FocusRectanglePoints(const CheckLabelFields& f, const Metrics& m,
                                        const CaptionMeasures& text, const Layout& layout) {
    if (!f.ShowFocusRect || !f.HasFocus || f.IsLabel) return {};

    std::int64_t X = layout.X;
    std::int64_t R = layout.R;
    if (f.RightToLeft) {  // the span the focus surrounds in mirrored coordinates
        const double TW = text.StrippedWidth;
        if (f.Align != 1) {
            X = RoundTwips(m.PicCheckInnerWidth + 4.0);
        } else {
            X = RoundTwips(m.SurfaceInnerWidth - (4.0 * m.P + m.PicCheckWidth + TW + m.P));
            R = RoundTwips(TW + X - 2.0 * m.P);
        }
    }

    // Dots every 2.6 pixels; at least one twip apart so that a zero pixel measure cannot
    // loop forever.
    const std::int64_t sx = std::max(1, RoundTwips(2.6 * m.P));
    const std::int64_t sy = std::max(1, RoundTwips(2.6 * m.Q));
    const std::int64_t Y = layout.Top;
    const std::int64_t H = layout.H;
    auto point = [](std::int64_t x, std::int64_t y) {
        return Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    };

    std::vector<Point> points;
    for (std::int64_t x = X + 2 * m.P; x <= R; x += sx) {
        points.push_back(point(x, Y));
        points.push_back(point(x, Y + H));
    }
    for (std::int64_t j = 0; j <= H; j += sy) {
        points.push_back(point(X - m.P, Y + j));
        points.push_back(point(R + 2 * m.P, Y + j));
    }
    points.push_back(point(R, Y + H));
    return points;
}

StripRows PictureStripRows(bool checked, bool enabled) {
    StripRows rows;
    rows.first = checked ? 64 : 0;
    if (!enabled) rows.overlay = checked ? 96 : 32;
    return rows;
}

MarkShape MarkShapeFor(std::int32_t checkStyle) {
    switch (checkStyle) {
        case 0: return MarkShape::Tick;
        case 1: return MarkShape::FilledSquare;
        case 2: return MarkShape::OutlinedSquare;
        case 3: return MarkShape::Dot;
        case 4: return MarkShape::Ring;
        case 5: return MarkShape::Chequer;
        default: return MarkShape::None;
    }
}

MarkSize MarkSizeFor(std::int32_t boxStyle, std::int32_t P) {
    switch (boxStyle) {
        case 2: return {8 * P, 2 * P};
        case 1: return {7 * P, 2 * P};
        default: return {6 * P, 3 * P};
    }
}

std::array<Point, 39> TickPoints(std::int32_t picCheckWidth, std::int32_t P, std::int32_t Q) {
    // Column k counts from the right edge; its three rows go down for k 0 to 7 and back up
    // for k 8 to 12.
    std::array<Point, 39> points{};
    std::size_t n = 0;
    for (std::int32_t k = 0; k <= 12; ++k) {
        const std::int32_t firstRow = k <= 7 ? k + 2 : 16 - k;
        for (std::int32_t m = firstRow; m < firstRow + 3; ++m) {
            points[n++] = {picCheckWidth - k * P, m * Q};
        }
    }
    return points;
}

Square MarkSquare(MarkSize size) {
    return {{size.b, size.b}, {size.a + size.b, size.a + size.b}};
}

Circle DotCircle(MarkSize size, std::int32_t P, std::int32_t Q) {
    return {{8 * P, 8 * Q}, size.a / 2.0 - 1.0};
}

Circle RingCircle(MarkSize size, std::int32_t P, std::int32_t Q) {
    return {{8 * P, 8 * Q}, size.a / 2.0};
}

std::vector<ChequerPoint> ChequerPoints(MarkSize size) {
    // The flag runs on from one column into the next: with an odd number of points per column
    // this gives a chequer, with an even number horizontal stripes.
    std::vector<ChequerPoint> points;
    const std::int32_t last = size.a + size.b;
    if (last >= size.b) {
        const auto side = static_cast<std::size_t>(size.a) + 1;
        points.reserve(side * side);
    }
    bool flag = false;
    for (std::int32_t x = size.b; x <= last; ++x) {
        for (std::int32_t y = size.b; y <= last; ++y) {
            flag = !flag;
            points.push_back({{x, y}, flag});
        }
    }
    return points;
}

}  // namespace checklabel
