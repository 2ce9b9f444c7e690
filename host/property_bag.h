// The property store of the controls: named, typed values with defaults.
//
//   I2 h = bag.ReadProperty<I2>("SmoothCurvature", 25);   // 25 when the key is absent
//   bag.WriteProperty<I4>("StraightSideMask", mask, 0);   // not stored when mask == 0
//
// Keys are matched without regard to (ASCII) case; entries keep the spelling and the order
// in which they were first stored. Values are typed: I2, I4, UI1, Bool, Str, and the objects
// Font and Picture (a PictureSource) or nothing. Reading converts the stored value to the
// type of the default; when it does not fit (70000 into an I2, 300 into a UI1) or cannot be
// converted ("abc" into an I4, a font into a Bool), ReadProperty throws PropertyError, and
// the caller sees which key failed. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "host/font.h"
#include "host/picture_source.h"

namespace host {

using I2 = std::int16_t;
using I4 = std::int32_t;
using UI1 = std::uint8_t;

// The empty object ("Nothing"): a picture property without a picture.
struct NoObject {
    friend bool operator==(NoObject, NoObject) { return true; }
};

using PropertyValue = std::variant<NoObject, I2, I4, UI1, bool, std::string, Font, PictureSource>;

// "I2", "I4", "UI1", "Bool", "Str", "Font", "Picture" or "Nothing".
const char* PropertyTypeName(const PropertyValue& value);
bool IsObject(const PropertyValue& value);

class PropertyError : public std::runtime_error {
public:
    enum class Kind { Overflow, TypeMismatch };
    PropertyError(Kind kind, std::string key, const std::string& detail);
    Kind GetKind() const { return kind_; }
    const std::string& Key() const { return key_; }

private:
    Kind kind_;
    std::string key_;
};

// The stored value converted to the type of `like` (objects: any object fits an object
// default of "nothing"). Throws PropertyError for `key` when it does not fit.
PropertyValue ConvertProperty(const PropertyValue& stored, const PropertyValue& like,
                              std::string_view key);

bool KeysEqual(std::string_view a, std::string_view b);

class PropertyBag {
public:
    struct Entry {
        std::string key;
        PropertyValue value;
    };

    template <typename T>
    T ReadProperty(std::string_view key, const T& defaultValue) const {
        const PropertyValue* stored = Find(key);
        if (!stored) return defaultValue;
        PropertyValue converted = ConvertProperty(*stored, PropertyValue(defaultValue), key);
        if (auto* value = std::get_if<T>(&converted)) return std::move(*value);
        throw PropertyError(PropertyError::Kind::TypeMismatch, std::string(key),
                            std::string(PropertyTypeName(*stored)) + " is not a " +
                                PropertyTypeName(PropertyValue(defaultValue)));
    }

    // A value equal to its default is not stored (and an older one under the key goes).
    template <typename T>
    void WriteProperty(std::string_view key, const T& value, const T& defaultValue) {
        if (value == defaultValue) {
            Remove(key);
        } else {
            Set(key, PropertyValue(value));
        }
    }

    // Reading with a default of any type; the result has the default's type.
    PropertyValue ReadValue(std::string_view key, const PropertyValue& defaultValue) const;

    const PropertyValue* Find(std::string_view key) const;
    bool Contains(std::string_view key) const { return Find(key) != nullptr; }
    // Stores the value as it is, under the spelling of the first store.
    void Set(std::string_view key, PropertyValue value);
    bool Remove(std::string_view key);
    const std::vector<Entry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

    friend bool operator==(const PropertyBag&, const PropertyBag&);

private:
    std::vector<Entry> entries_;
};

}  // namespace host
