#include "host/picture.h"

namespace host {

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap, std::optional<PictureSource> source) {
    if (!bitmap) return nullptr;
    const std::shared_ptr<Picture> picture = Make(Type::Bitmap, std::move(source));
    picture->bitmap_.reset(bitmap);
    BITMAP header{};
    GetObjectA(bitmap, sizeof header, &header);
    picture->width_ = header.bmWidth;
    picture->height_ = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
    return picture;
}

std::shared_ptr<Picture> Picture::FromIcon(HICON icon, std::optional<PictureSource> source) {
    if (!icon) return nullptr;
    const std::shared_ptr<Picture> picture = Make(Type::Icon, std::move(source));
    picture->icon_.reset(icon);
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
        unique_bitmap mask(info.hbmMask);
        unique_bitmap color(info.hbmColor);
        BITMAP header{};
        GetObjectA(color ? color.get() : mask.get(), sizeof header, &header);
        picture->width_ = header.bmWidth;
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        picture->height_ = color ? header.bmHeight : header.bmHeight / 2;
    }
    return picture;
}

std::shared_ptr<Picture> Picture::Make(Type type, std::optional<PictureSource> source) {
    std::shared_ptr<Picture> picture(new Picture());
    picture->type_ = type;
    picture->source_ = std::move(source);
    return picture;
}

HANDLE Picture::Handle() const {
    return type_ == Type::Icon ? static_cast<HANDLE>(icon_.get()) : static_cast<HANDLE>(bitmap_.get());
}

void Picture::Render(HDC dc, int x, int y, int width, int height) const {
    if (width <= 0) width = width_;
    if (height <= 0) height = height_;
    if (type_ == Type::Icon) {
        DrawIconEx(dc, x, y, icon_.get(), width, height, 0, nullptr, DI_NORMAL);
        return;
    }
    unique_dc source(CreateCompatibleDC(dc));
    if (!source) return;
    SelectObjectScope selected(source.get(), bitmap_.get());
    if (width == width_ && height == height_) {
        BitBlt(dc, x, y, width, height, source.get(), 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, width, height, source.get(), 0, 0, width_, height_, SRCCOPY);
    }
}

}  // namespace host
