// The drawing state of a picture box or user control: scale (twips or pixels), current
// position, fore/back/fill colours, font with an underline switch, pen width, fill and
// background style, and the persistent image (AutoRedraw) that repaints copy out.
//
// The state is kept selected in the device contexts it draws to (the window's own DC, class
// CS_OWNDC, and the persistent image's memory DC), so plain GDI calls on hDC() use the
// current pen (ForeColor, DrawWidth), fill (FillColor, FillStyle), font and text colour.
// Positions and sizes of the drawing methods are in the surface's scale.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/color.h"
#include "host/font.h"
#include "host/handles.h"

namespace host {

class DrawingSurface {
public:
    enum ScaleModes { kTwips = 1, kPixels = 3 };
    // FillStyle values: solid, transparent, then the hatches (HS_HORIZONTAL + 2 ...).
    enum FillStyles { kFillSolid = 0, kFillTransparent = 1 };
    enum BackStyles { kBackTransparent = 0, kBackOpaque = 1 };

    DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;
    ~DrawingSurface();

    // Binds the surface to a window of class CS_OWNDC; Detach before the window goes.
    void Attach(HWND window);
    void Detach();

    // Where drawing goes: the persistent image while AutoRedraw is on, else the window.
    HDC hDC() const;
    HDC WindowDc() const;

    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode);
    double UnitsPerPixelX() const;
    double UnitsPerPixelY() const;
    double ScaleWidth() const;   // client size in the scale
    double ScaleHeight() const;
    int ToPixelsX(double units) const;
    int ToPixelsY(double units) const;

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) { currentY_ = y; }

    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor color);
    OleColor BackColor() const { return backColor_; }
    // Like the controls it serves: a new back colour clears the surface.
    void SetBackColor(OleColor color);
    OleColor FillColor() const { return fillColor_; }
    void SetFillColor(OleColor color);
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style);
    int DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int width);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style) { backStyle_ = style; }

    const std::shared_ptr<Font>& GetFont() const { return font_; }
    // The underline switch starts as the font's own.
    void SetFont(std::shared_ptr<Font> font);
    bool FontUnderline() const { return underline_; }
    void SetFontUnderline(bool underline);

    bool AutoRedraw() const { return autoRedraw_; }
    // Turning it on starts the image from the back colour.
    void SetAutoRedraw(bool on);

    // Text at the current position in ForeColor, transparent behind. With a line break the
    // position goes to x = 0, one line down; without, it stays after the text.
    void Print(const std::string& text, bool lineBreak = true);
    double TextWidth(const std::string& text) const;
    double TextHeight(const std::string& text) const;
    // A line from (x1, y1) to (x2, y2), end point not painted; the position ends at (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::optional<OleColor> color = {});
    // A box with both corners inside it: filled with the line colour, or outlined and filled
    // as FillStyle says.
    void Box(double x1, double y1, double x2, double y2, std::optional<OleColor> color = {},
             bool filled = false);
    void Circle(double x, double y, double radius, std::optional<OleColor> color = {});
    // A point, as wide as the pen (DrawWidth).
    void PSet(double x, double y, std::optional<OleColor> color = {});
    struct ColouredPoint {
        double x, y;
        OleColor color;
    };
    // The points as a PSet of each in turn draws them: a pixel takes the colour of the last
    // point on it. Each pixel is set once, which matters where many points of a fine scale
    // (twips) fall on one pixel. `pointOf(item)` gives each item's point, so that a caller's
    // own list of points needs no copy.
    template <typename Items, typename PointOf>
    void PSetMany(const Items& items, PointOf pointOf);
    void PSetMany(const std::vector<ColouredPoint>& points) {
        PSetMany(points, [](const ColouredPoint& p) { return p; });
    }
    OleColor Point(double x, double y) const;
    // Fills with the back colour and puts the position at (0, 0).
    void Cls();

    // Right to left: the x of a point (PSet, PSetMany) counts from the right edge of the
    // client area. Text, lines, boxes and circles keep their places.
    bool Mirrored() const { return mirrored_; }
    void SetMirrored(bool mirrored) { mirrored_ = mirrored; }

    // The window's client size changed: the persistent image grows to cover it.
    void Resized();
    // Copies the persistent image to a paint DC; false when there is no image.
    bool PaintImage(HDC target) const;
    // After drawing methods: the screen shows the persistent image at the next repaint.
    void Changed() const;

private:
    void ApplyState();
    void ApplyTo(HDC dc) const;
    void EnsureImage();
    void FillBack(HDC dc) const;
    void RecreatePen();
    void RecreateBrush();
    void RecreateFont();
    SIZE PixelTextExtent(const std::string& text) const;
    using PixelColours = std::map<std::pair<int, int>, OleColor>;
    void SetPixels(const PixelColours& pixels, double lastX, double lastY);
    void SetPoint(HDC dc, int x, int y, COLORREF rgb) const;

    HWND window_ = nullptr;
    // The window's own device context, taken when first needed: a surface with a persistent
    // image draws into the image and may never need it.
    mutable std::optional<host::WindowDc> windowDc_;
    HDC TakenWindowDc() const { return windowDc_ ? windowDc_->get() : nullptr; }
    unique_dc imageDc_;
    unique_bitmap image_;
    HGDIOBJ imagePrevious_ = nullptr;
    SIZE imageSize_{};

    unique_pen pen_;
    unique_brush brush_;  // null while FillStyle is transparent
    unique_font fontHandle_;

    int scaleMode_ = kTwips;
    double currentX_ = 0, currentY_ = 0;
    OleColor foreColor_ = 0x80000012;  // button text
    OleColor backColor_ = 0x8000000F;  // button face
    OleColor fillColor_ = 0;
    int fillStyle_ = kFillTransparent;
    int drawWidth_ = 1;
    int backStyle_ = kBackOpaque;
    std::shared_ptr<Font> font_;
    bool underline_ = false;
    bool autoRedraw_ = false;
    bool mirrored_ = false;
};

template <typename Items, typename PointOf>
void DrawingSurface::PSetMany(const Items& items, PointOf pointOf) {
    if (!hDC() || items.empty()) return;
    // Points next to each other mostly share a pixel: only where the pixel changes does the
    // colour so far go into the map, where a later point on the same pixel replaces it.
    PixelColours pixels;
    std::pair<int, int> at{};
    ColouredPoint last{};
    bool first = true;
    for (const auto& item : items) {
        const ColouredPoint p = pointOf(item);
        const std::pair<int, int> next{ToPixelsX(p.x), ToPixelsY(p.y)};
        if (!first && next != at) pixels[at] = last.color;
        first = false;
        at = next;
        last = p;
    }
    pixels[at] = last.color;
    SetPixels(pixels, last.x, last.y);
}

}  // namespace host
