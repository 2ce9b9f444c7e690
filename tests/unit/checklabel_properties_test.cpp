// The persisted-property table of the label / check box / option control.
#include "controls/checklabel/check_label_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

using namespace checklabel;

std::string Lower(std::string_view key) {
    std::string lower(key);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

TEST(CheckLabelProperties, LoadAndSaveOrders) {
    const std::vector<std::string_view> load = {
        "BoxStyle", "Checked", "CheckColor", "Caption", "Align", "BackColor", "ForeColor",
        "Font", "MouseIcon", "MousePointer", "ShowFocusRect", "RightToLeft", "IsLabel",
        "TransparentBackground", "IsOption", "AutoSize", "WordWrap", "BoxColor", "Enabled",
        "BorderColor", "CheckDrawWidth", "CheckStyle", "HotTracking", "TrackingColor",
        "DisabledForeColor", "FocusRectColor", "Picture", "StyleEx"};
    const std::vector<std::string_view> save = {
        "BoxStyle", "Checked", "CheckColor", "Caption", "BackColor", "ForeColor", "Align",
        "Font", "MouseIcon", "MousePointer", "ShowFocusRect", "RightToLeft", "IsLabel",
        "TransparentBackground", "IsOption", "AutoSize", "WordWrap", "BoxColor", "Enabled",
        "BorderColor", "CheckDrawWidth", "CheckStyle", "HotTracking", "TrackingColor",
        "DisabledForeColor", "FocusRectColor", "Picture", "StyleEx"};
    std::vector<std::string_view> loaded, saved;
    for (const auto& row : PersistedProperties) loaded.push_back(row.key);
    for (PropertyId id : SaveOrder) saved.push_back(PropertyRow(id).key);
    EXPECT_EQ(loaded, load);
    EXPECT_EQ(saved, save);
    EXPECT_EQ(PropertyRow(RightToLeftAppliedAfter).key, "WordWrap")
        << "the surface's flag is set between WordWrap and BoxColor";
}

TEST(CheckLabelProperties, KeysDifferInAnyLetterCase) {
    // The store matches keys without regard to case, so two keys differing only in case
    // would read each other's value.
    std::set<std::string> lowered;
    for (const auto& row : PersistedProperties) {
        EXPECT_TRUE(lowered.insert(Lower(row.key)).second) << row.key;
    }
}

TEST(CheckLabelProperties, DefaultAndFreshDifferOnlyWhereTheyShould) {
    // A stored instance without "BoxColor" is white while a new one is black; a new
    // instance takes BackColor and ForeColor from its surface.
    const std::set<PropertyId> differing = {PropertyId::BackColor, PropertyId::ForeColor,
                                            PropertyId::BoxColor};
    for (const auto& row : PersistedProperties) {
        const bool same = row.defaultValue.source == row.fresh.source &&
                          row.defaultValue.number == row.fresh.number &&
                          row.defaultValue.text == row.fresh.text;
        EXPECT_EQ(same, !differing.contains(row.id)) << row.key;
    }
}

// The field behind each row has the row's type and starts at the row's fresh value.
TEST(CheckLabelProperties, FieldsMatchTheTableInTypeAndFreshValue) {
    CheckLabelFields fresh;
    for (const auto& row : PersistedProperties) {
        const bool isField = VisitField(fresh, row.id, [&](auto& field) {
            using F = std::remove_cvref_t<decltype(field)>;
            const PropertyValue& v = row.fresh;
            if constexpr (std::is_same_v<F, std::wstring>) {
                EXPECT_EQ(row.type, ValueType::String) << row.key;
                EXPECT_TRUE(field == v.text) << row.key;
            } else if constexpr (std::is_same_v<F, bool>) {
                EXPECT_EQ(row.type, ValueType::Boolean) << row.key;
                EXPECT_EQ(field ? -1 : 0, v.number) << row.key;
            } else if constexpr (std::is_same_v<F, Colour>) {
                EXPECT_EQ(row.type, ValueType::Colour) << row.key;
                if (v.source == ValueSource::Given) {
                    EXPECT_EQ(static_cast<std::int32_t>(field), v.number) << row.key;
                }
            } else if constexpr (std::is_same_v<F, std::int16_t>) {
                EXPECT_EQ(row.type, ValueType::Int16) << row.key;
                EXPECT_EQ(field, v.number) << row.key;
            } else {
                static_assert(std::is_same_v<F, std::int32_t>);
                EXPECT_EQ(row.type, ValueType::Int32) << row.key;
                EXPECT_EQ(field, v.number) << row.key;
            }
        });
        EXPECT_EQ(isField, row.holder == Holder::Field) << row.key;
    }
}

}  // namespace
