#include "host/property_bag.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace host {

namespace {

using Kind = PropertyError::Kind;

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// A whole number from text: decimal (a fraction is rounded half to even) or &H hexadecimal
// (up to 32 bits, read as a signed 32-bit value, so &H80000012 is a system colour).
std::optional<long long> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return {};
    if (text.size() > 2 && text[0] == '&' && Lower(text[1]) == 'h') {
        std::string_view body = text.substr(2);
        if (body.back() == '&') body.remove_suffix(1);  // the long-number suffix
        const std::string digits(body);
        if (digits.empty() || digits.size() > 8) return {};
        char* end = nullptr;
        const unsigned long long value = std::strtoull(digits.c_str(), &end, 16);
        if (*end != '\0') return {};
        return static_cast<long long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    }
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str() || *end != '\0' || !std::isfinite(value)) return {};
    if (std::fabs(value) > 9.0e18) return {};
    return static_cast<long long>(std::nearbyint(value));  // the default rounding: half to even
}

struct WholeOf {
    std::optional<long long> operator()(I2 v) const { return v; }
    std::optional<long long> operator()(I4 v) const { return v; }
    std::optional<long long> operator()(UI1 v) const { return v; }
    std::optional<long long> operator()(bool v) const { return v ? -1 : 0; }
    std::optional<long long> operator()(const std::string& v) const { return ParseNumber(v); }
    template <typename Object>
    std::optional<long long> operator()(const Object&) const {
        return {};
    }
};

std::optional<long long> AsWhole(const PropertyValue& value) { return std::visit(WholeOf{}, value); }

template <typename T>
PropertyValue FitWhole(const PropertyValue& stored, std::string_view key) {
    const auto whole = AsWhole(stored);
    if (!whole) {
        throw PropertyError(Kind::TypeMismatch, std::string(key),
                            std::string(PropertyTypeName(stored)) + " is not a number");
    }
    if (*whole < std::numeric_limits<T>::min() || *whole > std::numeric_limits<T>::max()) {
        throw PropertyError(Kind::Overflow, std::string(key),
                            std::to_string(*whole) + " does not fit");
    }
    return PropertyValue(std::in_place_type<T>, static_cast<T>(*whole));
}

PropertyValue ToBool(const PropertyValue& stored, std::string_view key) {
    if (auto* text = std::get_if<std::string>(&stored)) {
        std::string lower;
        for (char c : Trim(*text)) lower += Lower(c);
        if (lower == "true") return true;
        if (lower == "false") return false;
    }
    const auto whole = AsWhole(stored);
    if (!whole) {
        throw PropertyError(Kind::TypeMismatch, std::string(key),
                            std::string(PropertyTypeName(stored)) + " is not a Boolean");
    }
    return *whole != 0;
}

PropertyValue ToStr(const PropertyValue& stored, std::string_view key) {
    if (auto* text = std::get_if<std::string>(&stored)) return *text;
    if (auto* flag = std::get_if<bool>(&stored)) return std::string(*flag ? "True" : "False");
    if (IsObject(stored)) {
        throw PropertyError(Kind::TypeMismatch, std::string(key),
                            std::string(PropertyTypeName(stored)) + " is not a string");
    }
    return std::to_string(*AsWhole(stored));
}

}  // namespace

PropertyError::PropertyError(Kind kind, std::string key, const std::string& detail)
    : std::runtime_error((kind == Kind::Overflow ? "Overflow in property \"" : "Type mismatch in property \"") +
                         key + "\": " + detail),
      kind_(kind), key_(std::move(key)) {}

const char* PropertyTypeName(const PropertyValue& value) {
    static constexpr const char* kNames[] = {"Nothing", "I2", "I4", "UI1", "Bool",
                                             "Str", "Font", "Picture"};
    return kNames[value.index()];
}

bool IsObject(const PropertyValue& value) {
    return std::holds_alternative<NoObject>(value) || std::holds_alternative<Font>(value) ||
           std::holds_alternative<PictureSource>(value);
}

PropertyValue ConvertProperty(const PropertyValue& stored, const PropertyValue& like,
                              std::string_view key) {
    switch (like.index()) {
    case 1: return FitWhole<I2>(stored, key);
    case 2: return FitWhole<I4>(stored, key);
    case 3: return FitWhole<UI1>(stored, key);
    case 4: return ToBool(stored, key);
    case 5: return ToStr(stored, key);
    default: break;
    }
    // Objects: the same kind, or any object for a default of nothing.
    const bool fits = stored.index() == like.index() ||
                      (IsObject(stored) && (std::holds_alternative<NoObject>(like) ||
                                            std::holds_alternative<NoObject>(stored)));
    if (!fits) {
        throw PropertyError(Kind::TypeMismatch, std::string(key),
                            std::string(PropertyTypeName(stored)) + " is not a " +
                                PropertyTypeName(like));
    }
    return stored;
}

bool KeysEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

PropertyValue PropertyBag::ReadValue(std::string_view key, const PropertyValue& defaultValue) const {
    const PropertyValue* stored = Find(key);
    return stored ? ConvertProperty(*stored, defaultValue, key) : defaultValue;
}

const PropertyValue* PropertyBag::Find(std::string_view key) const {
    for (const auto& entry : entries_) {
        if (KeysEqual(entry.key, key)) return &entry.value;
    }
    return nullptr;
}

void PropertyBag::Set(std::string_view key, PropertyValue value) {
    for (auto& entry : entries_) {
        if (KeysEqual(entry.key, key)) {
            entry.value = std::move(value);
            return;
        }
    }
    entries_.push_back({std::string(key), std::move(value)});
}

bool PropertyBag::Remove(std::string_view key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (KeysEqual(it->key, key)) {
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

bool operator==(const PropertyBag& a, const PropertyBag& b) {
    if (a.entries_.size() != b.entries_.size()) return false;
    for (std::size_t i = 0; i < a.entries_.size(); ++i) {
        if (a.entries_[i].key != b.entries_[i].key || a.entries_[i].value != b.entries_[i].value) {
            return false;
        }
    }
    return true;
}

}  // namespace host
