// Fonts and pictures in a property store, as the Windows side holds them: a font object
// shared by std::shared_ptr, a picture object loaded from its source.
//
//   SetFont(ReadFont(bag, "Font", Ambient().Font));
//   WriteFont(bag, "Font", GetFont(), Ambient().Font);
//
// A stored picture is its source (resource or file); a picture made in memory has none and
// is written as nothing. A stored picture that cannot be loaded reads as nullptr.
#pragma once

#include <memory>
#include <string_view>

#include "host/font.h"
#include "host/picture.h"
#include "host/property_bag.h"

namespace host {

// The stored font as a new object, or `defaultFont` itself when the key is absent.
std::shared_ptr<Font> ReadFont(const PropertyBag& bag, std::string_view key,
                               const std::shared_ptr<Font>& defaultFont);
// Not stored when it describes the same font as the default.
void WriteFont(PropertyBag& bag, std::string_view key, const std::shared_ptr<Font>& font,
               const std::shared_ptr<Font>& defaultFont);

// nullptr when the key is absent or holds nothing; the default is "no picture".
PicturePtr ReadPicture(const PropertyBag& bag, std::string_view key);
void WritePicture(PropertyBag& bag, std::string_view key, const PicturePtr& picture);

}  // namespace host
