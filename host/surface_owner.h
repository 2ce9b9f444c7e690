// The drawing state of a window that owns a drawing surface (a form, a picture box, a user
// control), offered as the window's own members: each call goes to the surface.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/color.h"
#include "host/drawing_surface.h"
#include "host/font.h"
#include "host/picture.h"

namespace host {

class SurfaceOwner {
public:
    DrawingSurface& Surface() { return surface_; }

    int ScaleMode() const { return surface_.ScaleMode(); }
    void SetScaleMode(int mode) { surface_.SetScaleMode(mode); }
    double ScaleWidth() const { return surface_.ScaleWidth(); }
    double ScaleHeight() const { return surface_.ScaleHeight(); }
    double CurrentX() const { return surface_.CurrentX(); }
    double CurrentY() const { return surface_.CurrentY(); }
    void SetCurrentX(double x) { surface_.SetCurrentX(x); }
    void SetCurrentY(double y) { surface_.SetCurrentY(y); }
    OleColor ForeColor() const { return surface_.ForeColor(); }
    void SetForeColor(OleColor c) { surface_.SetForeColor(c); }
    OleColor BackColor() const { return surface_.BackColor(); }
    void SetBackColor(OleColor c) { surface_.SetBackColor(c); }
    OleColor FillColor() const { return surface_.FillColor(); }
    void SetFillColor(OleColor c) { surface_.SetFillColor(c); }
    int FillStyle() const { return surface_.FillStyle(); }
    void SetFillStyle(int s) { surface_.SetFillStyle(s); }
    int DrawWidth() const { return surface_.DrawWidth(); }
    void SetDrawWidth(int w) { surface_.SetDrawWidth(w); }
    int BackStyle() const { return surface_.BackStyle(); }
    bool FontUnderline() const { return surface_.FontUnderline(); }
    void SetFontUnderline(bool u) { surface_.SetFontUnderline(u); }
    bool AutoRedraw() const { return surface_.AutoRedraw(); }
    void SetAutoRedraw(bool on) { surface_.SetAutoRedraw(on); }
    void Print(const std::string& text, bool lineBreak = true) { surface_.Print(text, lineBreak); }
    double TextWidth(const std::string& text) const { return surface_.TextWidth(text); }
    double TextHeight(const std::string& text) const { return surface_.TextHeight(text); }
    void Line(double x1, double y1, double x2, double y2, std::optional<OleColor> c = {}) {
        surface_.Line(x1, y1, x2, y2, c);
    }
    void Box(double x1, double y1, double x2, double y2, std::optional<OleColor> c = {},
             bool filled = false) {
        surface_.Box(x1, y1, x2, y2, c, filled);
    }
    void Circle(double x, double y, double r, std::optional<OleColor> c = {}) {
        surface_.Circle(x, y, r, c);
    }
    void PSet(double x, double y, std::optional<OleColor> c = {}) { surface_.PSet(x, y, c); }
    void Cls() { surface_.Cls(); }

protected:
    // A repaint of `window`: the persistent image when there is one, else the back colour,
    // the picture at the top-left, then the owner's own drawing.
    void PaintSurface(HWND window, HDC dc, const Picture* picture,
                      const std::function<void()>& onPaint) const {
        if (surface_.PaintImage(dc)) return;
        RECT r{};
        GetClientRect(window, &r);
        unique_brush back(CreateSolidBrush(ResolveColor(surface_.BackColor())));
        FillRect(dc, &r, back.get());
        if (picture) picture->Render(dc, 0, 0);
        if (onPaint) onPaint();
    }

    DrawingSurface surface_;
};

}  // namespace host
