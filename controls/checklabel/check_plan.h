// What the label / check box / option control draws, worked out without drawing: the box and
// mark colours, where the box and the caption go, the eight box lines or the option circles,
// the caption prints, the dotted focus rectangle, the check mark of each style and the rows of
// the picture strip. All positions are twips of the surface or of `PicCheck`.
//
// `DrawControl` and `DrawCheck` on the Windows side only apply these results: set the colour,
// draw the line, print at the point. Colours may name system colours (high bit set); the
// Windows side resolves them when it creates a pen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "controls/checklabel/check_label_fields.h"

namespace checklabel {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point&) const = default;
};

// Sizes of the surface and of `PicCheck`, in twips. P and Q are the screen's twips per pixel,
// horizontally and vertically.
struct Metrics {
    std::int32_t P = 15;
    std::int32_t Q = 15;
    std::int32_t SurfaceInnerWidth = 0;   // SW
    std::int32_t SurfaceInnerHeight = 0;
    std::int32_t ControlWidth = 0;        // W, the control's outer width
    std::int32_t PicCheckWidth = 240;     // PW
    std::int32_t PicCheckInnerWidth = 240;
};

// Text sizes measured on the surface in its current font, in twips.
struct CaptionMeasures {
    double StrippedWidth = 0;   // TW: `Caption` with every "&" removed
    double StrippedHeight = 0;  // text height of that stripped caption
    double CaptionHeight = 0;   // text height of `Caption` as it is
};

// ---- Colours ------------------------------------------------------------------------------

// Entries of `EdgeColors`: the eight box lines, then the mark.
enum Edge : std::size_t {
    TopOuter, TopInner, LeftOuter, LeftInner, RightInner, RightOuter, BottomInner, BottomOuter,
    Mark,
};

struct BoxColours {
    std::array<Colour, 9> EdgeColors{};
    Colour PicCheckBackColor = Black;
};

// The colours of one repaint, by `BoxStyle` 0 to 6 and `Enabled`; any other box style leaves
// the edges black.
BoxColours PlanBoxColours(const CheckLabelFields& fields);

// ---- The box in PicCheck --------------------------------------------------------------------

// A line from `from` up to, not including, `to`.
struct Line {
    Point from;
    Point to;
    Colour colour = Black;
};

struct Circle {
    Point centre;
    double radius = 0;
};

struct ColouredCircle {
    Circle circle;
    Colour colour = Black;
};

// The check box: eight lines of a 16-pixel square (solid fill style).
std::array<Line, 8> BoxLines(const BoxColours& colours, std::int32_t P);

// The option button: three circles, not filled.
std::array<ColouredCircle, 3> OptionCircles(const BoxColours& colours, std::int32_t P, std::int32_t Q);

// ---- Placement and caption ------------------------------------------------------------------

struct Layout {
    std::optional<std::int32_t> BoxLeft;  // PicCheck's new left; empty: the box stays put
    std::int32_t Top = 0;                 // PicCheck's top, also the caption line's Y
    std::int32_t X = 0;                   // caption's left edge
    std::int32_t R = 0;                   // caption's right end, for the focus rectangle
    std::int32_t H = 0;                   // caption line height
};

// Where the box and the caption go, by `Align`, `RightToLeft` and `IsLabel`.
Layout PlanLayout(const CheckLabelFields& fields, const Metrics& metrics,
                  const CaptionMeasures& text);

// Which colour the `AfterDrawCaption` event receives: a reference to one of the two fields, or
// a local holding `HoverEventColour`.
enum class EventColour { ForeColorField, DisabledForeColorField, HoverEventColour };

inline constexpr Colour HoverEventColour = 0xCD9191;  // RGB(145, 145, 205)

// One `PrintCaption` of `Caption`, followed by `AfterDrawCaption`.
struct CaptionPrint {
    Point at;
    Colour colour = Black;
    EventColour eventColour = EventColour::ForeColorField;
};

// The caption prints in order: one in the normal and the disabled look, two in the hover
// look (`ForeColor` equal to `TrackingColor`).
std::vector<CaptionPrint> PlanCaptionPrints(const CheckLabelFields& fields, const Layout& layout);

// The single points of the dotted focus rectangle, in `FocusRectColor`; none unless
// `ShowFocusRect` and `HasFocus` are set and `IsLabel` is clear.
std::vector<Point> FocusRectanglePoints(const CheckLabelFields& fields, const Metrics& metrics,
                                        const CaptionMeasures& text, const Layout& layout);

// ---- The mark -------------------------------------------------------------------------------

// `StyleEx` value that shows images of `Picture` instead of a drawn mark.
inline constexpr std::int32_t PictureStripStyle = 1;

// Pixel rows of the 16 by 16 images copied from the picture strip: `first`, then `overlay`
// over it when disabled.
struct StripRows {
    std::int32_t first = 0;
    std::optional<std::int32_t> overlay;
};

StripRows PictureStripRows(bool checked, bool enabled);

// `CheckStyle` 0 to 5; any other value draws nothing.
enum class MarkShape { None, Tick, FilledSquare, OutlinedSquare, Dot, Ring, Chequer };

MarkShape MarkShapeFor(std::int32_t checkStyle);

// Size a and inset b of the square marks, by box style.
struct MarkSize {
    std::int32_t a = 0;
    std::int32_t b = 0;
};

MarkSize MarkSizeFor(std::int32_t boxStyle, std::int32_t P);

// Style 0: 39 single points, thirteen columns of three, the right-most at x = picCheckWidth.
std::array<Point, 39> TickPoints(std::int32_t picCheckWidth, std::int32_t P, std::int32_t Q);

// Styles 1 (filled) and 2 (outlined): the square's corners.
struct Square {
    Point topLeft;
    Point bottomRight;
};

Square MarkSquare(MarkSize size);

// Style 3, filled with the mark colour, and style 4, not filled.
Circle DotCircle(MarkSize size, std::int32_t P, std::int32_t Q);
Circle RingCircle(MarkSize size, std::int32_t P, std::int32_t Q);

// Style 5: one point per twip of the square, in `PicCheck`'s background colour where
// `background` is set, else in the mark colour.
struct ChequerPoint {
    Point at;
    bool background = false;
};

std::vector<ChequerPoint> ChequerPoints(MarkSize size);

}  // namespace checklabel
