#include "support/cls_dc.h"

#include <cstdlib>
#include <utility>

void clsDC::SetWidth(std::int32_t value) {
    if (value <= width_) return;
    width_ = value;
    CreateSurface(value, height_);
}

void clsDC::SetHeight(std::int32_t value) {
    if (value <= height_) return;
    height_ = value;
    CreateSurface(width_, value);
}

void clsDC::CreateSurface(std::int32_t width, std::int32_t height) {
    DestroySurface();
    // The screen's own DC: what the surface must match. A new display DC would match it as
    // well, but opening one costs ten times as much.
    const host::WindowDc display(nullptr);
    if (!display) return;
    dc_.reset(CreateCompatibleDC(display.get()));
    if (dc_) bitmap_.reset(CreateCompatibleBitmap(display.get(), width, height));
    if (bitmap_) previousBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    if (!previousBitmap_) {
        DestroySurface();  // no surface: hdc 0, Width and Height 0
        return;
    }
    width_ = width;
    height_ = height;
}

void clsDC::DestroySurface() {
    if (previousBitmap_) SelectObject(dc_.get(), std::exchange(previousBitmap_, nullptr));
    bitmap_.reset();
    dc_.reset();
    width_ = 0;
    height_ = 0;
}

void clsDC::Draw(HDC target, std::int32_t xSrc, std::int32_t ySrc, std::int32_t WidthSrc,
                 std::int32_t HeightSrc, std::int32_t xDst, std::int32_t yDst) const {
    BitBlt(target, xDst, yDst, WidthSrc > 0 ? WidthSrc : width_, HeightSrc > 0 ? HeightSrc : height_,
           dc_.get(), xSrc, ySrc, SRCCOPY);
}

void clsDC::CreateFromPicture(const host::Picture& sPic) {
    BITMAP header{};
    if (!sPic.Bitmap() || !GetObjectA(sPic.Bitmap(), sizeof header, &header)) return;
    SetWidth(header.bmWidth);
    SetHeight(std::abs(header.bmHeight));
    const host::WindowDc display(nullptr);
    const host::unique_dc source(CreateCompatibleDC(display.get()));
    host::SelectObjectScope selected(source.get(), sPic.Bitmap());
    BitBlt(dc_.get(), 0, 0, header.bmWidth, std::abs(header.bmHeight), source.get(), 0, 0, SRCCOPY);
}
