#include "host/design_values.h"

#include "host/app.h"

namespace host {

std::shared_ptr<Font> ReadFont(const PropertyBag& bag, std::string_view key,
                               const std::shared_ptr<Font>& defaultFont) {
    if (!bag.Contains(key)) return defaultFont;
    const PropertyValue value = bag.ReadValue(key, defaultFont ? PropertyValue(*defaultFont)
                                                               : PropertyValue(Font()));
    if (const auto* font = std::get_if<Font>(&value)) return std::make_shared<Font>(*font);
    return defaultFont;  // stored as nothing
}

void WriteFont(PropertyBag& bag, std::string_view key, const std::shared_ptr<Font>& font,
               const std::shared_ptr<Font>& defaultFont) {
    const Font value = font ? *font : Font();
    const Font def = defaultFont ? *defaultFont : Font();
    bag.WriteProperty<Font>(key, value, def);
}

PicturePtr ReadPicture(const PropertyBag& bag, std::string_view key) {
    const PropertyValue value = bag.ReadValue(key, NoObject{});
    if (const auto* source = std::get_if<PictureSource>(&value)) return App::LoadPicture(*source);
    if (std::holds_alternative<Font>(value)) {
        throw PropertyError(PropertyError::Kind::TypeMismatch, std::string(key), "Font is not a Picture");
    }
    return nullptr;
}

void WritePicture(PropertyBag& bag, std::string_view key, const PicturePtr& picture) {
    if (picture && picture->Source()) {
        bag.Set(key, *picture->Source());
    } else {
        bag.Remove(key);
    }
}

}  // namespace host
