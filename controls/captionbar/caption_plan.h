// The caption bar's arithmetic and decisions, kept apart from the windows that apply them:
//   BackgroundFor        which stored background suits the bar's height
//   StripLeft, StripTop  where the strip of control boxes goes
//   LayoutBoxes          which boxes the strip shows, where, and how wide the strip is
//   NormalFaces, HoverFaces, PressedFace   the image each box shows
//   GlyphTint, GlyphText how the glyph items 4 and 5 are drawn
//   ItemRect, HitTestItem   where the glyph items 1 to 5 are and which one a point hits
//   PointerOnBarMove     when the bar offers to size its parent by the top edge
//   ResolveColour        a written colour, with system colours looked up
// Positions are in the bar's pixels unless a name says twips.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "controls/captionbar/image_ids.h"

namespace captionbar {

// Red in the low byte, then green, then blue. With the high bit set, the low 24 bits name a
// system colour instead (0x8000000F: button faces).
using Colour = std::uint32_t;

constexpr Colour Rgb(int red, int green, int blue) {
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 |
           static_cast<Colour>(blue) << 16;
}

// ---- Background and strip

// Below 40 pixels the message caption, 40 to 49 the normal one, 50 and above the main one.
StoredImage BackgroundFor(int barHeightPixels);

// The strip ends 25 pixels short of the parent's right edge.
int StripLeft(int parentWidthPixels, int stripWidthPixels);

// Two thirds of the room left under the strip lies above it, then AddToTopControlBoxes;
// rounded to the nearest pixel.
int StripTop(int barHeightPixels, int stripHeightPixels, int AddToTopControlBoxes);

// ---- Control boxes

enum class Box { picmin, Picres, picClose };

struct BoxWidths {  // each box's width in the strip's own scale, twips
    int picmin;
    int Picres;
    int picClose;
};

struct BoxLayout {
    bool picminVisible;
    bool PicresVisible;
    bool picCloseVisible;
    int picminLeft;  // twips, within the strip
    int PicresLeft;
    int picCloseLeft;
    int stripWidth;  // pixels of the bar
};

// The layout for the current AllowMaximize and CloseButtonOnly; CloseButtonOnly wins.
// A twips-per-pixel factor below 1 is taken as 1 so that the division cannot fail.
BoxLayout LayoutBoxes(bool AllowMaximize, bool CloseButtonOnly, BoxWidths widths,
                      int TwipsPerPixelX);

struct BoxFaces {
    StoredImage picmin;
    StoredImage Picres;
    StoredImage picClose;
};

// All three boxes at rest; the middle box shows restore while the parent is maximised.
BoxFaces NormalFaces(bool parentMaximised);

// The pointer over one box: that box lit, the other two at rest.
BoxFaces HoverFaces(Box hovered, bool parentMaximised);

// The image a box shows while pressed; the middle box shows the pressed maximise image in
// both window states.
StoredImage PressedFace(Box pressed);

// ---- Glyph items (1 minimise, 2 maximise / restore, 3 close, 4 system menu, 5 toolbar)

constexpr bool ItemEnabled(std::uint8_t itemMask, int item) {
    return item >= 1 && item <= 5 && (itemMask >> (item - 1) & 1) != 0;
}

// Each channel of base less 105, not below 0, plus the item's addition (item 4: 80, 80, 80;
// item 5: 30, 30, 200; others none), not above 255. Base's high byte is ignored.
Colour GlyphTint(Colour base, int item);

// The "Marlett" character drawn for item 4 or 5 (an empty text for the others).
const char* GlyphText(int item, bool ToolbarSlider);

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x;
    int y;
};

// What the item rectangles are computed from, as the bar measures it.
struct ItemGeometry {
    int TwipsPerPixelX = 15;
    int TwipsPerPixelY = 15;
    int logoLeft = 0;           // picLogo.Left, pixels
    int barScaleHeight = 0;     // the bar's inner height, pixels
    int barHeightTwips = 0;     // the bar's height in its container
    int parentWidthTwips = 0;   // the parent's Width
    int ovrMenuHeight = 0;      // twips, as given to InitMenu
    int glyphWidth = 0;         // width of "c" in the symbol font at size 13, pixels
    int glyphHeight = 0;        // its height
    int SysMenuButtonAddLeft = 0;
    int SysMenuButtonAddTop = 0;
    int SlideTBButtonAddLeft = 0;
    int SlideTBButtonAddTop = 0;
    int AddToTopControlBoxes = 0;
    bool AllowMaximize = true;
    bool DrawFormBoxes = true;
    bool HasLogoBump = false;
    bool parentMaximised = false;
};

// The rectangle of item 1 to 5, relative to the bar's top-left corner. These formulas mix
// twips and pixels: at 15 twips per pixel on a bar some 40 pixels high only item 5 lands on
// the bar; items 1 to 3 lie far below it and item 4 left of it. Fractions are rounded to the
// nearest pixel.
Rect ItemRect(int item, const ItemGeometry& geometry);

// The first enabled item whose rectangle, widened by a pixel or two, holds the point:
// x > left + 1, x <= right + 2, y >= top - 1, y < bottom. The point and the bar window's
// rectangle are on the screen. Only a point on the bar can hit: an item whose rectangle
// lies off the bar cannot be pointed at, though a release under the bar's capture may fall
// on its place. No item gives -1.
int HitTestItem(Point screen, Rect bar, std::uint8_t itemMask, const ItemGeometry& geometry);

// ---- Sizing the parent by its top edge

enum class MousePointer { Default = 0, SizeNS = 7 };

struct TopEdge {
    bool NoTopWindowResize = false;
    bool containerMaximised = false;
    int logoLeft = 0;    // picLogo.Left
    int stripLeft = 0;   // picButtons.Left
    int stripWidth = 0;  // picButtons.Width
};

// The pointer the bar shows at (x, y), or nothing when it keeps its pointer (top-edge sizing
// is off or the window is maximised). Within 20 pixels of the top, right of the logo's left
// edge and off the strip the pointer sizes north-south; then the move handling stops there.
std::optional<MousePointer> PointerOnBarMove(int x, int y, const TopEdge& edge);

// ---- Colours

// A written Bkcolor or HilightColor: a system colour is looked up by its index (the low 24
// bits), a plain colour is kept. lookup stands for GetSysColor.
Colour ResolveColour(Colour value, const std::function<Colour(int index)>& lookup);

}  // namespace captionbar
