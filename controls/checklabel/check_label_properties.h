// The persisted properties of the label / check box / option control, as one table.
//
// Rows are in the order in which stored properties are loaded; `SaveOrder` is the order in
// which they are saved. Each row gives the key (spelled exactly so; the property store
// matches keys in any letter case), the property's type, its default (taken when the key is
// absent, and compared against when saving: a value equal to it is not written), its value in
// a freshly created instance, where the value lives and what a set does.
//
// The Windows side loops over these rows to load, save and set, reaching the fields through
// `VisitField`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "controls/checklabel/check_label_fields.h"

namespace checklabel {

enum class PropertyId : std::uint8_t {
    BoxStyle, Checked, CheckColor, Caption, Align, BackColor, ForeColor, Font, MouseIcon,
    MousePointer, ShowFocusRect, RightToLeft, IsLabel, TransparentBackground, IsOption, AutoSize,
    WordWrap, BoxColor, Enabled, BorderColor, CheckDrawWidth, CheckStyle, HotTracking,
    TrackingColor, DisabledForeColor, FocusRectColor, Picture, StyleEx,
};

inline constexpr std::size_t PropertyCount = 28;

// Types of property values in the property store. A 16-bit stored default is widened to the
// field's width when read.
enum class ValueType : std::uint8_t { Int16, Int32, Boolean, Colour, String, Font, Picture };

// Where a default or fresh value comes from.
enum class ValueSource : std::uint8_t {
    Given,        // `number` or `text` below
    AmbientFont,  // the host's ambient font at that moment
    NoPicture,    // no picture
    SurfaceOwn,   // the surface's own colour (its background, or its foreground copied)
};

struct PropertyValue {
    ValueSource source = ValueSource::Given;
    std::int32_t number = 0;  // Booleans: true is -1, false 0; colours as their 32 bits
    std::wstring_view text;
};

// Who holds the value: a member of `CheckLabelFields`, the control's surface, or `PicTmp`.
enum class Holder : std::uint8_t { Field, Surface, PicTmp };

enum class AutoSizeOnSet : std::uint8_t { Never, WhenAutoSize, Always };

// What a property set does after storing the value, in this order: the host's change
// notification by key, the repaint, then `AutoSizeControl`. `Checked` then also does its
// option handling and raises `CheckClick`; `RightToLeft` also sets the surface's flag.
struct SetEffects {
    bool notify = true;
    bool repaint = true;
    AutoSizeOnSet autoSize = AutoSizeOnSet::Never;
};

struct PersistedProperty {
    PropertyId id;
    std::string_view key;
    ValueType type;
    ValueType defaultType;  // the type of the default as it is handed to the store
    PropertyValue defaultValue;
    PropertyValue fresh;
    Holder holder;
    SetEffects onSet;
};

namespace property_values {

constexpr PropertyValue Number(std::int32_t n) { return {ValueSource::Given, n, {}}; }
constexpr PropertyValue ColourValue(Colour c) { return Number(static_cast<std::int32_t>(c)); }
constexpr PropertyValue Bool(bool b) { return Number(b ? -1 : 0); }
constexpr PropertyValue Text(std::wstring_view t) { return {ValueSource::Given, 0, t}; }
inline constexpr PropertyValue Ambient{ValueSource::AmbientFont, 0, {}};
inline constexpr PropertyValue NoPicture{ValueSource::NoPicture, 0, {}};
inline constexpr PropertyValue SurfaceOwn{ValueSource::SurfaceOwn, 0, {}};

inline constexpr SetEffects Repaints{true, true, AutoSizeOnSet::Never};
inline constexpr SetEffects NotifiesOnly{true, false, AutoSizeOnSet::Never};
inline constexpr SetEffects RepaintsThenFits{true, true, AutoSizeOnSet::WhenAutoSize};

}  // namespace property_values

// Load order, one row per `PropertyId` in the same order.
inline constexpr std::array<PersistedProperty, PropertyCount> PersistedProperties = [] {
    using namespace property_values;
    using enum PropertyId;
    using T = ValueType;
    return std::array<PersistedProperty, PropertyCount>{{
        {BoxStyle, "BoxStyle", T::Int32, T::Int16, Number(0), Number(0), Holder::Field, Repaints},
        {Checked, "Checked", T::Boolean, T::Boolean, Bool(false), Bool(false), Holder::Field,
         Repaints},
        {CheckColor, "CheckColor", T::Colour, T::Int16, Number(0), Number(0), Holder::Field,
         Repaints},
        {Caption, "Caption", T::String, T::String, Text(L"chkOrb"), Text(L"chkOrb"),
         Holder::Field, RepaintsThenFits},
        {Align, "Align", T::Int32, T::Int16, Number(0), Number(0), Holder::Field, Repaints},
        {BackColor, "BackColor", T::Colour, T::Int32, ColourValue(ButtonFace), SurfaceOwn,
         Holder::Surface, Repaints},
        {ForeColor, "ForeColor", T::Colour, T::Int32, Number(0), SurfaceOwn, Holder::Field,
         Repaints},
        {Font, "Font", T::Font, T::Font, Ambient, Ambient, Holder::Surface, Repaints},
        {MouseIcon, "MouseIcon", T::Picture, T::Picture, NoPicture, NoPicture, Holder::Surface,
         NotifiesOnly},
        {MousePointer, "MousePointer", T::Int32, T::Int16, Number(0), Number(0),
         Holder::Surface, NotifiesOnly},
        {ShowFocusRect, "ShowFocusRect", T::Boolean, T::Boolean, Bool(false), Bool(false),
         Holder::Field, NotifiesOnly},
        {RightToLeft, "RightToLeft", T::Boolean, T::Boolean, Bool(false), Bool(false),
         Holder::Field, Repaints},
        {IsLabel, "IsLabel", T::Boolean, T::Boolean, Bool(false), Bool(false), Holder::Field,
         RepaintsThenFits},
        {TransparentBackground, "TransparentBackground", T::Boolean, T::Boolean, Bool(false),
         Bool(false), Holder::Field, RepaintsThenFits},
        {IsOption, "IsOption", T::Boolean, T::Boolean, Bool(false), Bool(false), Holder::Field,
         Repaints},
        // Setting AutoSize fits the control once whatever the new value.
        {AutoSize, "AutoSize", T::Boolean, T::Boolean, Bool(false), Bool(false), Holder::Field,
         {true, false, AutoSizeOnSet::Always}},
        {WordWrap, "WordWrap", T::Boolean, T::Boolean, Bool(false), Bool(false), Holder::Field,
         NotifiesOnly},
        // Loaded without a key the box is white; a new instance's box is black.
        {BoxColor, "BoxColor", T::Colour, T::Int32, ColourValue(White), ColourValue(Black),
         Holder::Field, Repaints},
        {Enabled, "Enabled", T::Boolean, T::Boolean, Bool(true), Bool(true), Holder::Field,
         Repaints},
        {BorderColor, "BorderColor", T::Colour, T::Int32, ColourValue(0xE5A165),
         ColourValue(0xE5A165), Holder::Field, Repaints},
        {CheckDrawWidth, "CheckDrawWidth", T::Int16, T::Int16, Number(1), Number(1),
         Holder::Field, Repaints},
        {CheckStyle, "CheckStyle", T::Int32, T::Int16, Number(0), Number(0), Holder::Field,
         Repaints},
        // Stored with an integer default; setting it marks nothing as changed.
        {HotTracking, "HotTracking", T::Boolean, T::Int16, Number(0), Bool(false),
         Holder::Field, {false, false, AutoSizeOnSet::Never}},
        {TrackingColor, "TrackingColor", T::Colour, T::Int32, ColourValue(0xFF0000),
         ColourValue(0xFF0000), Holder::Field, NotifiesOnly},
        {DisabledForeColor, "DisabledForeColor", T::Colour, T::Int32, ColourValue(0x99A8AC),
         ColourValue(0x99A8AC), Holder::Field, NotifiesOnly},
        {FocusRectColor, "FocusRectColor", T::Colour, T::Int32, ColourValue(White),
         ColourValue(White), Holder::Field, NotifiesOnly},
        {Picture, "Picture", T::Picture, T::Picture, NoPicture, NoPicture, Holder::PicTmp,
         Repaints},
        {StyleEx, "StyleEx", T::Int32, T::Int16, Number(0), Number(0), Holder::Field, Repaints},
    }};
}();

static_assert(
    [] {
        for (std::size_t i = 0; i < PropertyCount; ++i) {
            if (static_cast<std::size_t>(PersistedProperties[i].id) != i) return false;
        }
        return true;
    }(),
    "rows of PersistedProperties follow the order of PropertyId");

// Loading sets the surface's right-to-left flag from the value just read after this row.
inline constexpr PropertyId RightToLeftAppliedAfter = PropertyId::WordWrap;

// Saving differs from loading only in where "Align" goes.
inline constexpr std::array<PropertyId, PropertyCount> SaveOrder = [] {
    using enum PropertyId;
    return std::array<PropertyId, PropertyCount>{
        BoxStyle, Checked, CheckColor, Caption, BackColor, ForeColor, Align, Font, MouseIcon,
        MousePointer, ShowFocusRect, RightToLeft, IsLabel, TransparentBackground, IsOption,
        AutoSize, WordWrap, BoxColor, Enabled, BorderColor, CheckDrawWidth, CheckStyle,
        HotTracking, TrackingColor, DisabledForeColor, FocusRectColor, Picture, StyleEx};
}();

constexpr const PersistedProperty& PropertyRow(PropertyId id) {
    return PersistedProperties[static_cast<std::size_t>(id)];
}

// Calls visit with a reference to the field behind the property and answers true; answers
// false for the properties held by the surface or by `PicTmp`. The field is a Colour,
// std::int32_t, std::int16_t, bool or std::wstring.
template <typename Fields, typename Visit>
bool VisitField(Fields& f, PropertyId id, Visit&& visit) {
    switch (id) {
        case PropertyId::BoxStyle: visit(f.BoxStyle); return true;
        case PropertyId::Checked: visit(f.Checked); return true;
        case PropertyId::CheckColor: visit(f.CheckColor); return true;
        case PropertyId::Caption: visit(f.Caption); return true;
        case PropertyId::Align: visit(f.Align); return true;
        case PropertyId::ForeColor: visit(f.ForeColor); return true;
        case PropertyId::ShowFocusRect: visit(f.ShowFocusRect); return true;
        case PropertyId::RightToLeft: visit(f.RightToLeft); return true;
        case PropertyId::IsLabel: visit(f.IsLabel); return true;
        case PropertyId::TransparentBackground: visit(f.TransparentBackground); return true;
        case PropertyId::IsOption: visit(f.IsOption); return true;
        case PropertyId::AutoSize: visit(f.AutoSize); return true;
        case PropertyId::WordWrap: visit(f.WordWrap); return true;
        case PropertyId::BoxColor: visit(f.BoxColor); return true;
        case PropertyId::Enabled: visit(f.Enabled); return true;
        case PropertyId::BorderColor: visit(f.BorderColor); return true;
        case PropertyId::CheckDrawWidth: visit(f.CheckDrawWidth); return true;
        case PropertyId::CheckStyle: visit(f.CheckStyle); return true;
        case PropertyId::HotTracking: visit(f.HotTracking); return true;
        case PropertyId::TrackingColor: visit(f.TrackingColor); return true;
        case PropertyId::DisabledForeColor: visit(f.DisabledForeColor); return true;
        case PropertyId::FocusRectColor: visit(f.FocusRectColor); return true;
        case PropertyId::StyleEx: visit(f.StyleEx); return true;
        case PropertyId::BackColor:
        case PropertyId::Font:
        case PropertyId::MouseIcon:
        case PropertyId::MousePointer:
        case PropertyId::Picture:
            return false;
    }
    return false;
}

}  // namespace checklabel
