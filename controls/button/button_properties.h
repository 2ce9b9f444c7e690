// The button's stored properties: every key with its types and default, in the order they
// are read, and the order they are written.
//
// ReadProperties and WriteProperties loop over these tables, so reader and writer always
// agree on the keys and their defaults. Both enable `Ico` before the first key and disable
// it again right after `kIcoDisabledAfter`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cmdorb {

enum class PropertyType { I4, I2, UI1, Bool, Str, Obj };

// The defaults of object keys: the host's ambient font, or no object.
enum class ObjectDefault { None, AmbientFont };

// One per stored key, in reading order.
enum class PropertyId : std::uint8_t {
    ForeColor, ButtonClickHeight, StraightSideMask, RightToLeft, UnderlineChecked,
    SmoothCurvature, TopMarkPercent, Enabled, Font, BorderStyle, BackStyle, ToolTipText,
    HighColor1, CheckedColor, HighlightOnHover, DontSwitchRTLSmooth, HasMenu, HighlightStyle,
    HighColor2, Caption, MouseIcon, MousePointer, BevelWidth, HighTextColor, BackColor1,
    BackColor2, Gradient, Icon, CheckedIcon, IconSize, IconAlign, IconWidth, IconHeight,
    TextAlign, IcoDistFromEdge, IcoDistFromTop, BorderStyle3D,
};

inline constexpr std::int32_t kTrue = -1;  // 16-bit Boolean true: all bits set
inline constexpr std::int32_t kFalse = 0;

struct StoredProperty {
    PropertyId id;
    std::string_view key;      // matched without regard to case
    PropertyType defaultType;  // the type the stored format gives the default (16 bits for
                               // some 32-bit fields); a read converts to `type` instead
    PropertyType type;         // the type the value is written and read as: its field's width
    std::int32_t number;       // the default of a number or Boolean key
    std::string_view text;     // the default of a string key
    ObjectDefault object;      // the default of an object key
};

namespace detail {
using enum PropertyId;
using enum PropertyType;
constexpr StoredProperty Num(PropertyId id, std::string_view key, PropertyType defaultType,
                             PropertyType type, std::int32_t number) {
    return {id, key, defaultType, type, number, {}, ObjectDefault::None};
}
constexpr StoredProperty Flag(PropertyId id, std::string_view key, std::int32_t number) {
    return {id, key, Bool, Bool, number, {}, ObjectDefault::None};
}
constexpr StoredProperty Text(PropertyId id, std::string_view key, std::string_view text) {
    return {id, key, Str, Str, 0, text, ObjectDefault::None};
}
constexpr StoredProperty Object(PropertyId id, std::string_view key, ObjectDefault object) {
    return {id, key, Obj, Obj, 0, {}, object};
}
}  // namespace detail

// Reading order. Colours are written as 32-bit numbers, so a system colour's default
// (0x80000012, button text) is negative as an I4.
inline constexpr std::array<StoredProperty, 37> kReadOrder = [] {
    using namespace detail;
    return std::array<StoredProperty, 37>{{
        Num(ForeColor, "ForeColor", I4, I4, static_cast<std::int32_t>(0x80000012u)),
        Num(ButtonClickHeight, "ButtonClickHeight", I2, I4, 30),
        Num(StraightSideMask, "StraightSideMask", I4, I4, 0),
        Flag(RightToLeft, "RightToLeft", kFalse),
        Flag(UnderlineChecked, "UnderlineChecked", kTrue),
        Num(SmoothCurvature, "SmoothCurvature", I2, I2, 25),
        Num(TopMarkPercent, "TopMarkPercent", I2, UI1, 0),
        Flag(Enabled, "Enabled", kTrue),
        Object(Font, "Font", ObjectDefault::AmbientFont),
        Num(BorderStyle, "BorderStyle", I2, I2, 0),
        Num(BackStyle, "BackStyle", I2, I2, 0),
        Text(ToolTipText, "ToolTipText", ""),
        Num(HighColor1, "HighColor1", I4, I4, 0xFFC0C0),
        Num(CheckedColor, "CheckedColor", I4, I4, 0x00FF00),
        Flag(HighlightOnHover, "HighlightOnHover", kTrue),
        Flag(DontSwitchRTLSmooth, "DontSwitchRTLSmooth", kFalse),
        Flag(HasMenu, "HasMenu", kFalse),
        Num(HighlightStyle, "HighlightStyle", I2, I2, 2),  // the GradientStyle field
        Num(HighColor2, "HighColor2", I4, I4, 0xFF8080),
        Text(Caption, "Caption", "Command"),
        Object(MouseIcon, "MouseIcon", ObjectDefault::None),
        Num(MousePointer, "MousePointer", I2, I2, 0),
        Num(BevelWidth, "BevelWidth", I2, I4, 1),
        Num(HighTextColor, "HighTextColor", I4, I4, 0xFFFFFF),
        Num(BackColor1, "BackColor1", I4, I4, 0xE0E0E0),
        Num(BackColor2, "BackColor2", I4, I4, 0x808080),
        Flag(Gradient, "Gradient", kTrue),
        Object(Icon, "Icon", ObjectDefault::None),
        Object(CheckedIcon, "CheckedIcon", ObjectDefault::None),
        Num(IconSize, "IconSize", I2, I2, 2),
        Num(IconAlign, "IconAlign", I2, I2, 0),
        Num(IconWidth, "IconWidth", I2, I4, 32),
        Num(IconHeight, "IconHeight", I2, I4, 32),
        Num(TextAlign, "TextAlign", I2, I2, 0),
        Num(IcoDistFromEdge, "IcoDistFromEdge", I2, I4, 5),
        Num(IcoDistFromTop, "IcoDistFromTop", I2, I4, 0),
        Num(BorderStyle3D, "BorderStyle3D", I2, I4, 0),
    }};
}();

// Writing order: the same keys, the first six moved ahead of "ForeColor".
inline constexpr std::array<PropertyId, 37> kWriteOrder = [] {
    using enum PropertyId;
    return std::array<PropertyId, 37>{
        ButtonClickHeight, StraightSideMask, RightToLeft, UnderlineChecked, SmoothCurvature,
        TopMarkPercent, ForeColor, Enabled, Font, BorderStyle, BackStyle, ToolTipText,
        HighColor1, CheckedColor, HighlightOnHover, DontSwitchRTLSmooth, HasMenu,
        HighlightStyle, HighColor2, Caption, MouseIcon, MousePointer, BevelWidth,
        HighTextColor, BackColor1, BackColor2, Gradient, Icon, CheckedIcon, IconSize,
        IconAlign, IconWidth, IconHeight, TextAlign, IcoDistFromEdge, IcoDistFromTop,
        BorderStyle3D,
    };
}();

inline constexpr PropertyId kIcoDisabledAfter = PropertyId::IconAlign;

// The entry of a key: the reading table is indexed by the key's id.
constexpr const StoredProperty& Stored(PropertyId id) {
    return kReadOrder[static_cast<std::size_t>(id)];
}

static_assert([] {
    for (std::size_t i = 0; i < kReadOrder.size(); ++i) {
        if (static_cast<std::size_t>(kReadOrder[i].id) != i) return false;
    }
    return true;
}(), "kReadOrder must list the keys in the order of PropertyId");

// The `TopMarkPercent` setter keeps the low 8 bits: 300 becomes 44, 256 becomes 0 (no band).
constexpr std::uint8_t TopMarkPercentByte(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace cmdorb
