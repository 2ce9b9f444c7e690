// The caption bar's stored images: one BITMAP resource each, listed in images/images.rc and
// drawn by images/make_images.py. Each image is named after the picture box that holds it;
// its resource name is that name in capitals, its file that name in small letters + ".bmp".
//
// The backgrounds have uniform rows, so any width stretches cleanly. Stretch them with
// SetStretchBltMode(dc, COLORONCOLOR) (or HALFTONE): the default BLACKONWHITE ANDs the rows it
// merges when shrinking 60 rows to a 46-pixel bar, and neighbouring rows such as 127 and 128
// then give 0, a dark line across the bar.
#pragma once

#include <array>
#include <cstddef>

namespace captionbar {

enum class StoredImage {
    Picminn, Picminf, Picminfp,                       // minimise: normal, hover, pressed
    picresn, picresf, picresp,                        // maximise, parent not maximised
    picresmax, PICRESMAXF, PICRESMAXP,                // restore, parent maximised
    picClosen, picClosef, picClosefp,                 // close
    picMSGTitle, picNormalTitlePic, picMainTitlePic,  // backgrounds, always stretched to the bar
};

struct ImageResource {
    const char* name;  // resource name for LoadImageA(module, name, IMAGE_BITMAP, ...)
    int width;         // pixels
    int height;
};

// In the order of StoredImage.
inline constexpr std::array<ImageResource, 15> kImageResources{{
    {"PICMINN", 25, 17},
    {"PICMINF", 25, 17},
    {"PICMINFP", 25, 17},
    {"PICRESN", 33, 17},
    {"PICRESF", 33, 17},
    {"PICRESP", 33, 17},
    {"PICRESMAX", 33, 17},
    {"PICRESMAXF", 33, 17},
    {"PICRESMAXP", 33, 17},
    {"PICCLOSEN", 42, 17},
    {"PICCLOSEF", 42, 17},
    {"PICCLOSEFP", 42, 17},
    {"PICMSGTITLE", 320, 30},
    {"PICNORMALTITLEPIC", 640, 60},
    {"PICMAINTITLEPIC", 640, 30},
}};

constexpr const ImageResource& ResourceOf(StoredImage image) {
    return kImageResources[static_cast<std::size_t>(image)];
}

}  // namespace captionbar
