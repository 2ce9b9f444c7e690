#include "controls/captionbar/caption_plan.h"

#include <algorithm>
#include <cmath>

namespace captionbar {

namespace {

// Twips-per-pixel factors are captured at start-up; one below 1 would only mean start-up
// has not run, and must not turn into a division by zero.
int Factor(int twipsPerPixel) { return std::max(1, twipsPerPixel); }

int Nearest(double value) { return static_cast<int>(std::lround(value)); }

int Channel(Colour colour, int shift) { return static_cast<int>(colour >> shift & 0xFF); }

}  // namespace

StoredImage BackgroundFor(int barHeightPixels) {
    if (barHeightPixels < 40) return StoredImage::picMSGTitle;
    if (barHeightPixels < 50) return StoredImage::picNormalTitlePic;
    return StoredImage::picMainTitlePic;
}

int StripLeft(int parentWidthPixels, int stripWidthPixels) {
    return parentWidthPixels - (stripWidthPixels + 25);
}

int StripTop(int barHeightPixels, int stripHeightPixels, int AddToTopControlBoxes) {
    return Nearest((barHeightPixels - stripHeightPixels) / 1.5) + AddToTopControlBoxes;
}

BoxLayout LayoutBoxes(bool AllowMaximize, bool CloseButtonOnly, BoxWidths widths,
                      int TwipsPerPixelX) {
    const int factor = Factor(TwipsPerPixelX);
    BoxLayout layout{};
    layout.picminLeft = 0;
    layout.PicresLeft = widths.picmin;
    layout.picCloseVisible = true;
    if (CloseButtonOnly) {
        layout.picCloseLeft = 0;
        layout.stripWidth = Nearest(static_cast<double>(widths.picClose) / factor);
        return layout;
    }
    layout.picminVisible = true;
    layout.PicresVisible = AllowMaximize;
    int stripTwips = widths.picmin + widths.picClose;
    if (AllowMaximize) {
        layout.picCloseLeft = layout.PicresLeft + widths.Picres;
        stripTwips += widths.Picres;
    } else {
        layout.picCloseLeft = layout.picminLeft + widths.picmin;
    }
    layout.stripWidth = Nearest(static_cast<double>(stripTwips) / factor);
    return layout;
}

BoxFaces NormalFaces(bool parentMaximised) {
    return {StoredImage::Picminn,
            parentMaximised ? StoredImage::picresmax : StoredImage::picresn,
            StoredImage::picClosen};
}

BoxFaces HoverFaces(Box hovered, bool parentMaximised) {
    BoxFaces faces = NormalFaces(parentMaximised);
    switch (hovered) {
        case Box::picmin: faces.picmin = StoredImage::Picminf; break;
        case Box::Picres:
            faces.Picres = parentMaximised ? StoredImage::PICRESMAXF : StoredImage::picresf;
            break;
        case Box::picClose: faces.picClose = StoredImage::picClosef; break;
    }
    return faces;
}

StoredImage PressedFace(Box pressed) {
    switch (pressed) {
        case Box::picmin: return StoredImage::Picminfp;
        case Box::Picres: return StoredImage::picresp;
        case Box::picClose: break;
    }
    return StoredImage::picClosefp;
}

Colour GlyphTint(Colour base, int item) {
    int add[3] = {0, 0, 0};
    if (item == 4) add[0] = add[1] = add[2] = 80;
    if (item == 5) add[0] = 30, add[1] = 30, add[2] = 200;
    int out[3];
    for (int i = 0; i < 3; ++i) {
        // The upper clamp keeps a bright channel from spilling into the next one.
        out[i] = std::min(255, std::max(0, Channel(base, 8 * i) - 105) + add[i]);
    }
    return Rgb(out[0], out[1], out[2]);
}

const char* GlyphText(int item, bool ToolbarSlider) {
    if (item == 4) return "6";
    if (item == 5) return ToolbarSlider ? "5" : "6";
    return "";
}

Rect ItemRect(int item, const ItemGeometry& g) {
    const int tppx = Factor(g.TwipsPerPixelX);
    const int tppy = Factor(g.TwipsPerPixelY);
    const double barHeightPixels = static_cast<double>(g.barHeightTwips) / tppy;
    Rect r{};
    if (item == 4) {
        r.left = g.logoLeft - 8 * tppx + g.SysMenuButtonAddLeft;
        r.right = r.left + 18;
        r.top = g.barScaleHeight - 15 + g.SysMenuButtonAddTop;
        r.bottom = Nearest(barHeightPixels);
        return r;
    }
    if (item == 5) {
        r.left = Nearest((g.parentWidthTwips - 25.0 * tppx) / 30) + g.SlideTBButtonAddLeft;
        r.right = r.left + 24;
        r.top = Nearest(barHeightPixels) - 12 + g.SlideTBButtonAddTop;
        r.bottom = g.barScaleHeight;
        return r;
    }
    // Items 1 to 3 sit in a row of cells one glyph plus 4 pixels wide near the right end.
    const int cell = g.glyphWidth + 4;
    const double base = item == 3 && !g.DrawFormBoxes
                            ? 32.75
                            : static_cast<double>(g.parentWidthTwips) / tppx + 10;
    double left = base - (4 - item) * cell - (30 - 4 * item) - 20;
    if (!g.AllowMaximize && item == 1) left = base - 2 * cell - 42;
    if (!g.AllowMaximize && item == 2) left = -200;
    // Where the window carries the logo bump (only while it is not maximised) the row drops.
    const int bump = g.HasLogoBump && !g.parentMaximised ? 11 : 0;
    r.left = Nearest(left);
    r.right = r.left + g.glyphWidth;
    r.top = Nearest((g.ovrMenuHeight - g.glyphHeight) / 2.0) + g.AddToTopControlBoxes + bump;
    r.bottom = r.top + g.glyphHeight;
    return r;
}

int HitTestItem(Point screen, Rect bar, std::uint8_t itemMask, const ItemGeometry& geometry) {
    const bool onBar = screen.x >= bar.left && screen.x < bar.right && screen.y >= bar.top &&
                       screen.y < bar.bottom;
    if (!onBar) return -1;
    const int x = screen.x - bar.left;
    const int y = screen.y - bar.top;
    for (int item = 1; item <= 5; ++item) {
        if (!ItemEnabled(itemMask, item)) continue;
        const Rect r = ItemRect(item, geometry);
        if (x > r.left + 1 && x <= r.right + 2 && y >= r.top - 1 && y < r.bottom) return item;
    }
    return -1;
}

std::optional<MousePointer> PointerOnBarMove(int x, int y, const TopEdge& edge) {
    if (edge.NoTopWindowResize || edge.containerMaximised) return std::nullopt;
    const bool offStrip = x < edge.stripLeft || x > edge.stripLeft + edge.stripWidth;
    if (y <= 20 && x > edge.logoLeft && offStrip) return MousePointer::SizeNS;
    return MousePointer::Default;
}

Colour ResolveColour(Colour value, const std::function<Colour(int index)>& lookup) {
    if ((value & 0x80000000u) == 0) return value;
    return lookup(static_cast<int>(value & 0xFFFFFFu));
}

}  // namespace captionbar
