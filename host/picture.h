// The host's picture object: a bitmap or an icon handle with its size in pixels. It owns the
// handle; controls share it through std::shared_ptr.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "host/handles.h"
#include "host/picture_source.h"

namespace host {

class Picture {
public:
    enum class Type { Bitmap, Icon };

    // Take ownership of the handle; null handles give nullptr.
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap,
                                               std::optional<PictureSource> source = {});
    static std::shared_ptr<Picture> FromIcon(HICON icon, std::optional<PictureSource> source = {});

    Type GetType() const { return type_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }  // null for an icon
    HICON Icon() const { return icon_.get(); }        // null for a bitmap
    HANDLE Handle() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Where it was loaded from, when known; a form description saves this.
    const std::optional<PictureSource>& Source() const { return source_; }

    // Draws the picture at (x, y), stretched to width × height pixels (0: its own size).
    void Render(HDC dc, int x, int y, int width = 0, int height = 0) const;

private:
    Picture() = default;
    // An empty picture of `type`, for the factories to fill in.
    static std::shared_ptr<Picture> Make(Type type, std::optional<PictureSource> source);

    Type type_ = Type::Bitmap;
    unique_bitmap bitmap_;
    unique_icon icon_;
    int width_ = 0;
    int height_ = 0;
    std::optional<PictureSource> source_;
};

using PicturePtr = std::shared_ptr<Picture>;

}  // namespace host
