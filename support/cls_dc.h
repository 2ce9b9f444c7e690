// clsDC: an off-screen drawing surface, a memory DC with a display-compatible bitmap that
// only grows. Controls compose into hdc() and copy rectangles out with Draw.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/handles.h"
#include "host/picture.h"

class clsDC {
public:
    clsDC() = default;
    clsDC(const clsDC&) = delete;
    clsDC& operator=(const clsDC&) = delete;
    ~clsDC() { DestroySurface(); }

    std::int32_t Width() const { return width_; }
    // Only growth counts: a larger value rebuilds the surface (empty) at the new width and
    // the current height; an equal or smaller one is ignored.
    void SetWidth(std::int32_t value);
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t value);
    HDC hdc() const { return dc_.get(); }

    // Copies from the surface at (xSrc, ySrc) to the target at (xDst, yDst); a width or
    // height of 0 or less means the surface's own.
    void Draw(HDC target, std::int32_t xSrc = 0, std::int32_t ySrc = 0, std::int32_t WidthSrc = 0,
              std::int32_t HeightSrc = 0, std::int32_t xDst = 0, std::int32_t yDst = 0) const;
    // Grows the surface to the picture's bitmap and copies the bitmap to its origin. A
    // picture without a bitmap (an icon) leaves the surface as it is.
    void CreateFromPicture(const host::Picture& sPic);

private:
    void CreateSurface(std::int32_t width, std::int32_t height);
    void DestroySurface();

    host::unique_dc dc_;
    host::unique_bitmap bitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};
