// The button's stored properties as one table: for every key its property name, its types
// and default, the field that holds it, what a set does, and its value before any load; in
// the order they are read, with the order they are written.
//
// ReadProperties, WriteProperties, InitProperties and the setters all loop over or look up
// these rows, so reader, writer and setters agree on the keys, their defaults and their
// effects. Both the reader and the writer enable `Ico` before the first key and disable it
// again right after `kIcoDisabledAfter`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <variant>

#include "controls/button/button_colour.h"

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

// IconSize 3: IconWidth and IconHeight are kept as they are set.
inline constexpr std::int16_t kCustomIconSize = 3;

// The stored properties the button keeps in fields of its own, each as wide as the table's
// `type` says. The caption, font, tool tip, pictures, ForeColor, Enabled, RightToLeft and the
// pointer live in the control and its constituents instead. Everything starts at 0 or false;
// `TakeDefaults` gives the values a new instance starts with.
struct StoredFields {
    bool HighlightOnHover = false, DontSwitchRTLSmooth = false, HasMenu = false,
         UnderlineChecked = false, Gradient = false;
    Colour CheckedColor = 0, HighColor1 = 0, HighColor2 = 0, BackColor1 = 0, BackColor2 = 0,
           HighTextColor = 0;
    std::int16_t GradientStyle = 0, SmoothCurvature = 0, TextAlign = 0, IconAlign = 0,
                 IconSize = 0;
    std::uint8_t TopMarkPercent = 0;
    std::int32_t StraightSideMask = 0, BevelWidth = 0, BorderStyle3D = 0, IcoDistFromEdge = 0,
                 IcoDistFromTop = 0, IconWidth = 0, IconHeight = 0, ButtonClickHeight = 0;
};

// The field behind a key, or none for a key the control or a constituent holds.
using FieldOf = std::variant<std::monostate, bool StoredFields::*, std::int16_t StoredFields::*,
                             std::uint8_t StoredFields::*, std::int32_t StoredFields::*,
                             Colour StoredFields::*>;

// What a set does once the value is stored. The property is announced after the effects
// marked "then announce" and before the others.
enum class OnSet : std::uint8_t {
    AnnounceOnly,
    Repaint,          // DrawFace(BackColor1), then announce
    ClearAndRepaint,  // clear the face, DrawFace(BackColor1), then announce
    RepaintOrClear,   // DrawFace(BackColor1) if the value is true, else clear the face;
                      // then announce
    FitCaption,       // fit the caption label to its text, then announce
    RelayoutCaption,  // LayoutCaption, then announce
    RelayoutIcon,     // LayoutIcon (which may announce the icon sizes), then announce
    Reshape,          // announce, then ShowControl: region, face and rest position
    Restate,          // announce, then ApplyState: the face and caption colour of the hover state
};

constexpr bool AnnouncedFirst(OnSet effect) {
    return effect == OnSet::Reshape || effect == OnSet::Restate;
}

// A field's value before any load: 0 or false; the default once a new instance is
// initialised; or the default from creation on (and again at a new instance's init).
enum class FreshValue : std::uint8_t { Zero, DefaultAtInit, DefaultAlways };

struct StoredProperty {
    PropertyId id;
    std::string_view key;      // matched without regard to case
    PropertyType defaultType;  // the type the stored format gives the default (16 bits for
                               // some 32-bit fields); a read converts to `type` instead
    PropertyType type;         // the type the value is written and read as: its field's width
    std::int32_t number;       // the default of a number or Boolean key
    std::string_view text;     // the default of a string key
    ObjectDefault object;      // the default of an object key
    FieldOf field;             // where the value lives, when the button keeps it in a field
    OnSet onSet;
    FreshValue fresh;
    std::string_view name;     // the property's name, announced when it is set
    std::array<std::string_view, 2> alsoAnnounced;  // announced after it, in this order

    constexpr bool HoldsField() const { return !std::holds_alternative<std::monostate>(field); }
    constexpr StoredProperty AnnouncedAs(std::string_view property) const {
        StoredProperty row = *this;
        row.name = property;
        return row;
    }
    constexpr StoredProperty AlsoAnnouncing(std::string_view first,
                                            std::string_view second = {}) const {
        StoredProperty row = *this;
        row.alsoAnnounced = {first, second};
        return row;
    }
};

namespace detail {
using enum PropertyId;
using enum PropertyType;
using enum OnSet;
using enum FreshValue;
using F = StoredFields;

// The type a field's value is written and read as.
template <typename Field>
constexpr PropertyType TypeOfField() {
    if constexpr (std::is_same_v<Field, bool>) return Bool;
    else if constexpr (std::is_same_v<Field, std::int16_t>) return I2;
    else if constexpr (std::is_same_v<Field, std::uint8_t>) return UI1;
    else return I4;  // 32-bit numbers and colours
}

template <typename Field>
constexpr StoredProperty Held(PropertyId id, std::string_view key, PropertyType defaultType,
                              std::int32_t number, Field F::*field, OnSet onSet,
                              FreshValue fresh = Zero) {
    return {id, key, defaultType, TypeOfField<Field>(), number, {}, ObjectDefault::None,
            field, onSet, fresh, key, {}};
}
constexpr StoredProperty Own(PropertyId id, std::string_view key, PropertyType type,
                             std::int32_t number, OnSet onSet) {
    return {id, key, type, type, number, {}, ObjectDefault::None, {}, onSet, Zero, key, {}};
}
constexpr StoredProperty Text(PropertyId id, std::string_view key, std::string_view text,
                              OnSet onSet) {
    return {id, key, Str, Str, 0, text, ObjectDefault::None, {}, onSet, Zero, key, {}};
}
constexpr StoredProperty Object(PropertyId id, std::string_view key, ObjectDefault object,
                                OnSet onSet) {
    return {id, key, Obj, Obj, 0, {}, object, {}, onSet, Zero, key, {}};
}
}  // namespace detail

// Reading order. Colours are written as 32-bit numbers, so a system colour's default
// (0x80000012, button text) is negative as an I4. BorderStyle, BackStyle and BevelWidth
// have no setter of the button's own.
inline constexpr std::array<StoredProperty, 37> kReadOrder = [] {
    using namespace detail;
    constexpr auto kButtonText = static_cast<std::int32_t>(0x80000012u);
    return std::array<StoredProperty, 37>{{
        Own(ForeColor, "ForeColor", I4, kButtonText, AnnounceOnly),
        Held(ButtonClickHeight, "ButtonClickHeight", I2, 30, &F::ButtonClickHeight, AnnounceOnly),
        Held(StraightSideMask, "StraightSideMask", I4, 0, &F::StraightSideMask, Reshape),
        // A set reshapes only a loaded instance, and only when the value changes.
        Own(RightToLeft, "RightToLeft", Bool, kFalse, Reshape),
        Held(UnderlineChecked, "UnderlineChecked", Bool, kTrue, &F::UnderlineChecked, AnnounceOnly),
        Held(SmoothCurvature, "SmoothCurvature", I2, 25, &F::SmoothCurvature, Reshape),
        Held(TopMarkPercent, "TopMarkPercent", I2, 0, &F::TopMarkPercent, Reshape),
        Own(Enabled, "Enabled", Bool, kTrue, Repaint),
        Object(Font, "Font", ObjectDefault::AmbientFont, FitCaption),
        Own(BorderStyle, "BorderStyle", I2, 0, AnnounceOnly),
        Own(BackStyle, "BackStyle", I2, 0, AnnounceOnly),
        Text(ToolTipText, "ToolTipText", "", AnnounceOnly),
        Held(HighColor1, "HighColor1", I4, 0xFFC0C0, &F::HighColor1, AnnounceOnly, DefaultAlways),
        Held(CheckedColor, "CheckedColor", I4, 0x00FF00, &F::CheckedColor, AnnounceOnly,
             DefaultAlways),
        Held(HighlightOnHover, "HighlightOnHover", Bool, kTrue, &F::HighlightOnHover,
             AnnounceOnly, DefaultAlways),
        Held(DontSwitchRTLSmooth, "DontSwitchRTLSmooth", Bool, kFalse, &F::DontSwitchRTLSmooth,
             AnnounceOnly, DefaultAlways),
        Held(HasMenu, "HasMenu", Bool, kFalse, &F::HasMenu, AnnounceOnly, DefaultAlways),
        Held(HighlightStyle, "HighlightStyle", I2, 2, &F::GradientStyle, Repaint, DefaultAlways)
            .AnnouncedAs("GradientStyle"),
        Held(HighColor2, "HighColor2", I4, 0xFF8080, &F::HighColor2, AnnounceOnly, DefaultAlways),
        Text(Caption, "Caption", "Command", RelayoutCaption),
        Object(MouseIcon, "MouseIcon", ObjectDefault::None, AnnounceOnly),
        Own(MousePointer, "MousePointer", I2, 0, AnnounceOnly),
        Held(BevelWidth, "BevelWidth", I2, 1, &F::BevelWidth, AnnounceOnly),
        Held(HighTextColor, "HighTextColor", I4, 0xFFFFFF, &F::HighTextColor, AnnounceOnly,
             DefaultAlways),
        Held(BackColor1, "BackColor1", I4, 0xE0E0E0, &F::BackColor1, ClearAndRepaint,
             DefaultAlways),
        Held(BackColor2, "BackColor2", I4, 0x808080, &F::BackColor2, ClearAndRepaint,
             DefaultAlways),
        Held(Gradient, "Gradient", Bool, kTrue, &F::Gradient, RepaintOrClear, DefaultAtInit),
        Object(Icon, "Icon", ObjectDefault::None, RelayoutIcon),
        Object(CheckedIcon, "CheckedIcon", ObjectDefault::None, RelayoutIcon),
        Held(IconSize, "IconSize", I2, 2, &F::IconSize, RelayoutIcon, DefaultAtInit)
            .AlsoAnnouncing("IconHeight", "IconWidth"),
        Held(IconAlign, "IconAlign", I2, 0, &F::IconAlign, RelayoutIcon, DefaultAtInit),
        // A set of either size makes IconSize custom.
        Held(IconWidth, "IconWidth", I2, 32, &F::IconWidth, RelayoutIcon, DefaultAtInit)
            .AlsoAnnouncing("IconSize"),
        Held(IconHeight, "IconHeight", I2, 32, &F::IconHeight, RelayoutIcon, DefaultAtInit)
            .AlsoAnnouncing("IconSize"),
        Held(TextAlign, "TextAlign", I2, 0, &F::TextAlign, RelayoutCaption, DefaultAtInit),
        Held(IcoDistFromEdge, "IcoDistFromEdge", I2, 5, &F::IcoDistFromEdge, RelayoutIcon,
             DefaultAtInit),
        Held(IcoDistFromTop, "IcoDistFromTop", I2, 0, &F::IcoDistFromTop, RelayoutIcon,
             DefaultAtInit),
        Held(BorderStyle3D, "BorderStyle3D", I2, 0, &F::BorderStyle3D, Restate, DefaultAtInit),
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
        // Only a field can take its default before a load.
        if (kReadOrder[i].fresh != FreshValue::Zero && !kReadOrder[i].HoldsField()) return false;
    }
    return true;
}(), "kReadOrder must list the keys in the order of PropertyId");

// The `TopMarkPercent` setter keeps the low 8 bits: 300 becomes 44, 256 becomes 0 (no band).
constexpr std::uint8_t TopMarkPercentByte(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Puts a number into the row's field, as a load and a set both do: a Boolean is true when
// the number is not 0, a narrower field keeps the number's low bits. A row without a field
// is left alone.
constexpr void StoreNumber(StoredFields& fields, const StoredProperty& row, std::int32_t number) {
    std::visit([&](auto member) {
        if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
            using Field = std::remove_reference_t<decltype(fields.*member)>;
            if constexpr (std::is_same_v<Field, bool>) {
                fields.*member = number != 0;
            } else {
                fields.*member = static_cast<Field>(number);
            }
        }
    }, row.field);
}

// The number in the row's field (a Boolean as kTrue or kFalse); 0 for a row without one.
constexpr std::int32_t NumberOf(const StoredFields& fields, const StoredProperty& row) {
    return std::visit([&](auto member) -> std::int32_t {
        if constexpr (std::is_same_v<decltype(member), std::monostate>) {
            return 0;
        } else if constexpr (std::is_same_v<decltype(fields.*member), const bool&>) {
            return fields.*member ? kTrue : kFalse;
        } else {
            return static_cast<std::int32_t>(fields.*member);
        }
    }, row.field);
}

// Gives the fields the values they take before any load: at creation the `DefaultAlways`
// ones their defaults; at a new instance's init (`newInstance`) the `DefaultAtInit` ones too.
constexpr void TakeDefaults(StoredFields& fields, bool newInstance) {
    for (const StoredProperty& row : kReadOrder) {
        const bool takes = row.fresh == FreshValue::DefaultAlways ||
                           (newInstance && row.fresh == FreshValue::DefaultAtInit);
        if (takes) StoreNumber(fields, row, row.number);
    }
}

}  // namespace cmdorb
