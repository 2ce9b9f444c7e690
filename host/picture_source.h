// Where a picture comes from: a resource of the program or a file. Portable, so that a
// property store and a form description can hold pictures; App::LoadPicture makes the
// picture object from it.
#pragma once

#include <string>

namespace host {

struct PictureSource {
    enum class Kind { Bitmap, Icon };

    Kind kind = Kind::Bitmap;
    // A resource identifier of the program ("#1", "LOGO"); empty when the picture is a file.
    std::string resource;
    // A .bmp or .ico file path; empty when the picture is a resource.
    std::string file;

    friend bool operator==(const PictureSource&, const PictureSource&) = default;
};

}  // namespace host
