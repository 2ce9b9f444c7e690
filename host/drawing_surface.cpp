#include "host/drawing_surface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/app.h"
#include "host/font_handle.h"

namespace host {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// A device context of the display, for images in the screen's format without a window's own
// context; made once and kept for the life of the process.
HDC ScreenDc() {
    static const HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    return screen;
}

void ReleaseState(HDC dc) {
    if (!dc) return;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}

}  // namespace

DrawingSurface::DrawingSurface() : font_(std::make_shared<Font>()) {
    RecreatePen();
    RecreateBrush();
    RecreateFont();
}

DrawingSurface::~DrawingSurface() { Detach(); }

void DrawingSurface::Attach(HWND window) {
    Detach();
    window_ = window;
    if (autoRedraw_) EnsureImage();
}

void DrawingSurface::Detach() {
    ReleaseState(TakenWindowDc());
    windowDc_.reset();
    window_ = nullptr;
    if (imageDc_) {
        ReleaseState(imageDc_.get());
        SelectObject(imageDc_.get(), imagePrevious_);
    }
    image_.reset();
    imageDc_.reset();
    imagePrevious_ = nullptr;
    imageSize_ = {};
}

HDC DrawingSurface::hDC() const { return autoRedraw_ && imageDc_ ? imageDc_.get() : WindowDc(); }

HDC DrawingSurface::WindowDc() const {
    if (!TakenWindowDc() && window_) {
        windowDc_.emplace(window_);
        ApplyTo(windowDc_->get());
    }
    return TakenWindowDc();
}

void DrawingSurface::SetScaleMode(int mode) {
    scaleMode_ = mode == kPixels ? kPixels : kTwips;
}

double DrawingSurface::UnitsPerPixelX() const {
    return scaleMode_ == kPixels ? 1.0 : App::TwipsPerPixelX();
}
double DrawingSurface::UnitsPerPixelY() const {
    return scaleMode_ == kPixels ? 1.0 : App::TwipsPerPixelY();
}

int DrawingSurface::ToPixelsX(double units) const {
    return static_cast<int>(std::lround(units / UnitsPerPixelX()));
}
int DrawingSurface::ToPixelsY(double units) const {
    return static_cast<int>(std::lround(units / UnitsPerPixelY()));
}

double DrawingSurface::ScaleWidth() const {
    RECT r{};
    if (window_) GetClientRect(window_, &r);
    return r.right * UnitsPerPixelX();
}
double DrawingSurface::ScaleHeight() const {
    RECT r{};
    if (window_) GetClientRect(window_, &r);
    return r.bottom * UnitsPerPixelY();
}

void DrawingSurface::SetForeColor(OleColor color) {
    foreColor_ = color;
    RecreatePen();
}

void DrawingSurface::SetBackColor(OleColor color) {
    backColor_ = color;
    ApplyState();
    Cls();
}

void DrawingSurface::SetFillColor(OleColor color) {
    fillColor_ = color;
    RecreateBrush();
}

void DrawingSurface::SetFillStyle(int style) {
    fillStyle_ = style;
    RecreateBrush();
}

void DrawingSurface::SetDrawWidth(int width) {
    drawWidth_ = std::max(width, 1);
    RecreatePen();
}

void DrawingSurface::SetFont(std::shared_ptr<Font> font) {
    font_ = font ? std::move(font) : std::make_shared<Font>();
    underline_ = font_->Underline();
    RecreateFont();
}

void DrawingSurface::SetFontUnderline(bool underline) {
    underline_ = underline;
    RecreateFont();
}

void DrawingSurface::SetAutoRedraw(bool on) {
    if (on == autoRedraw_) return;
    autoRedraw_ = on;
    if (on) {
        EnsureImage();
    } else if (imageDc_) {
        ReleaseState(imageDc_.get());
        SelectObject(imageDc_.get(), imagePrevious_);
        image_.reset();
        imageDc_.reset();
        imageSize_ = {};
    }
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void DrawingSurface::RecreatePen() {
    unique_pen previous = std::move(pen_);  // deleted after the new pen is selected
    pen_.reset(CreatePen(PS_SOLID, drawWidth_, ResolveColor(foreColor_)));
    ApplyState();
}

void DrawingSurface::RecreateBrush() {
    unique_brush previous = std::move(brush_);
    if (fillStyle_ == kFillSolid) {
        brush_.reset(CreateSolidBrush(ResolveColor(fillColor_)));
    } else if (fillStyle_ >= 2 && fillStyle_ <= 7) {
        brush_.reset(CreateHatchBrush(fillStyle_ - 2, ResolveColor(fillColor_)));
    }
    ApplyState();
}

void DrawingSurface::RecreateFont() {
    unique_font previous = std::move(fontHandle_);
    fontHandle_ = CreateFontHandle(*font_, underline_);
    ApplyState();
}

void DrawingSurface::ApplyState() {
    ApplyTo(TakenWindowDc());
    ApplyTo(imageDc_.get());
}

void DrawingSurface::ApplyTo(HDC dc) const {
    if (!dc) return;
    SelectObject(dc, pen_ ? static_cast<HGDIOBJ>(pen_.get()) : GetStockObject(BLACK_PEN));
    SelectObject(dc, brush_ ? static_cast<HGDIOBJ>(brush_.get()) : GetStockObject(NULL_BRUSH));
    SelectObject(dc, fontHandle_ ? static_cast<HGDIOBJ>(fontHandle_.get())
                                 : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, ResolveColor(foreColor_));
    SetBkColor(dc, ResolveColor(backColor_));
    SetBkMode(dc, TRANSPARENT);
}

void DrawingSurface::FillBack(HDC dc) const {
    if (!dc) return;
    RECT r{};
    if (dc == imageDc_.get()) {
        r = {0, 0, imageSize_.cx, imageSize_.cy};
    } else if (window_) {
        GetClientRect(window_, &r);
    }
    unique_brush back(CreateSolidBrush(ResolveColor(backColor_)));
    FillRect(dc, &r, back.get());
}

void DrawingSurface::EnsureImage() {
    if (!window_) return;
    RECT client{};
    GetClientRect(window_, &client);
    const SIZE wanted{std::max({client.right, imageSize_.cx, 1L}),
                      std::max({client.bottom, imageSize_.cy, 1L})};
    if (imageDc_ && wanted.cx == imageSize_.cx && wanted.cy == imageSize_.cy) return;

    unique_dc dc(CreateCompatibleDC(ScreenDc()));
    unique_bitmap bitmap(CreateCompatibleBitmap(ScreenDc(), wanted.cx, wanted.cy));
    if (!dc || !bitmap) return;  // keep the image there is
    HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    RECT all{0, 0, wanted.cx, wanted.cy};
    unique_brush back(CreateSolidBrush(ResolveColor(backColor_)));
    FillRect(dc.get(), &all, back.get());
    if (imageDc_) {
        BitBlt(dc.get(), 0, 0, imageSize_.cx, imageSize_.cy, imageDc_.get(), 0, 0, SRCCOPY);
        ReleaseState(imageDc_.get());
        SelectObject(imageDc_.get(), imagePrevious_);
    }
    imageDc_ = std::move(dc);
    image_ = std::move(bitmap);
    imagePrevious_ = previous;
    imageSize_ = wanted;
    ApplyTo(imageDc_.get());
}

void DrawingSurface::Resized() {
    if (autoRedraw_) EnsureImage();
}

bool DrawingSurface::PaintImage(HDC target) const {
    if (!autoRedraw_ || !imageDc_) return false;
    BitBlt(target, 0, 0, imageSize_.cx, imageSize_.cy, imageDc_.get(), 0, 0, SRCCOPY);
    return true;
}

void DrawingSurface::Changed() const {
    if (autoRedraw_ && window_) InvalidateRect(window_, nullptr, FALSE);
}

SIZE DrawingSurface::PixelTextExtent(const std::string& text) const {
    SIZE size{};
    HDC dc = hDC();
    if (!dc) return size;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    const auto lines = SplitLines(text);
    for (const auto& line : lines) {
        SIZE s{};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &s);
        size.cx = std::max(size.cx, s.cx);
    }
    size.cy = lineHeight * static_cast<LONG>(lines.size());
    return size;
}

double DrawingSurface::TextWidth(const std::string& text) const {
    return PixelTextExtent(text).cx * UnitsPerPixelX();
}

double DrawingSurface::TextHeight(const std::string& text) const {
    return PixelTextExtent(text).cy * UnitsPerPixelY();
}

void DrawingSurface::Print(const std::string& text, bool lineBreak) {
    HDC dc = hDC();
    if (!dc) return;
    const auto lines = SplitLines(text);
    const double lineHeight = TextHeight("");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        TextOutA(dc, ToPixelsX(currentX_), ToPixelsY(currentY_), line.c_str(),
                 static_cast<int>(line.size()));
        if (i + 1 < lines.size() || lineBreak) {
            currentX_ = 0;
            currentY_ += lineHeight;
        } else {
            currentX_ += TextWidth(line);
        }
    }
    Changed();
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2,
                          std::optional<OleColor> color) {
    HDC dc = hDC();
    if (!dc) return;
    unique_pen own;
    if (color) own.reset(CreatePen(PS_SOLID, drawWidth_, ResolveColor(*color)));
    {
        SelectObjectScope pen(dc, own ? static_cast<HGDIOBJ>(own.get()) : pen_.get());
        MoveToEx(dc, ToPixelsX(x1), ToPixelsY(y1), nullptr);
        LineTo(dc, ToPixelsX(x2), ToPixelsY(y2));
    }
    currentX_ = x2;
    currentY_ = y2;
    Changed();
}

void DrawingSurface::Box(double x1, double y1, double x2, double y2, std::optional<OleColor> color,
                         bool filled) {
    HDC dc = hDC();
    if (!dc) return;
    const int left = std::min(ToPixelsX(x1), ToPixelsX(x2));
    const int right = std::max(ToPixelsX(x1), ToPixelsX(x2)) + 1;
    const int top = std::min(ToPixelsY(y1), ToPixelsY(y2));
    const int bottom = std::max(ToPixelsY(y1), ToPixelsY(y2)) + 1;
    const COLORREF rgb = ResolveColor(color.value_or(foreColor_));
    if (filled) {
        // Filled with the line colour and edged with the pen, which widens it as DrawWidth
        // widens a line; at width 1 the edge lies on the filled pixels.
        unique_pen edge(CreatePen(PS_SOLID, drawWidth_, rgb));
        unique_brush brush(CreateSolidBrush(rgb));
        SelectObjectScope pen(dc, edge.get());
        SelectObjectScope fill(dc, brush.get());
        Rectangle(dc, left, top, right, bottom);
    } else {
        unique_pen own;
        if (color) own.reset(CreatePen(PS_SOLID, drawWidth_, rgb));
        SelectObjectScope pen(dc, own ? static_cast<HGDIOBJ>(own.get()) : pen_.get());
        Rectangle(dc, left, top, right, bottom);
    }
    currentX_ = x2;
    currentY_ = y2;
    Changed();
}

void DrawingSurface::Circle(double x, double y, double radius, std::optional<OleColor> color) {
    HDC dc = hDC();
    if (!dc) return;
    const int cx = ToPixelsX(x), cy = ToPixelsY(y), r = ToPixelsX(radius);
    unique_pen own;
    if (color) own.reset(CreatePen(PS_SOLID, drawWidth_, ResolveColor(*color)));
    {
        SelectObjectScope pen(dc, own ? static_cast<HGDIOBJ>(own.get()) : pen_.get());
        Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
    }
    currentX_ = x;
    currentY_ = y;
    Changed();
}

void DrawingSurface::PSet(double x, double y, std::optional<OleColor> color) {
    HDC dc = hDC();
    if (!dc) return;
    SetPoint(dc, ToPixelsX(x), ToPixelsY(y), ResolveColor(color.value_or(foreColor_)));
    currentX_ = x;
    currentY_ = y;
    Changed();
}

void DrawingSurface::SetPixels(const PixelColours& pixels, double lastX, double lastY) {
    HDC dc = hDC();
    for (const auto& [pixel, value] : pixels) SetPoint(dc, pixel.first, pixel.second, ResolveColor(value));
    currentX_ = lastX;
    currentY_ = lastY;
    Changed();
}

// A point as the pen draws it: one pixel at width 1, else a square as wide as the pen and
// centred as the pen centres a line (width 2: the pixel and those left of and above it).
// Mirrored, the point's x counts from the right edge of the client area.
void DrawingSurface::SetPoint(HDC dc, int x, int y, COLORREF rgb) const {
    if (mirrored_ && window_) {
        RECT client{};
        GetClientRect(window_, &client);
        x = client.right - 1 - x;
    }
    if (drawWidth_ <= 1) {
        SetPixel(dc, x, y, rgb);
        return;
    }
    const int from = drawWidth_ / 2;
    const RECT square{x - from, y - from, x - from + drawWidth_, y - from + drawWidth_};
    const unique_brush brush(CreateSolidBrush(rgb));
    FillRect(dc, &square, brush.get());
}

OleColor DrawingSurface::Point(double x, double y) const {
    HDC dc = hDC();
    if (!dc) return 0xFFFFFFFFu;
    return GetPixel(dc, ToPixelsX(x), ToPixelsY(y));
}

void DrawingSurface::Cls() {
    FillBack(hDC());
    currentX_ = 0;
    currentY_ = 0;
    Changed();
}

}  // namespace host
