// The stored properties of the button: keys, types and defaults in reading order, and the
// writing order.
#include "controls/button/button_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using cmdorb::kReadOrder;
using cmdorb::kWriteOrder;
using cmdorb::PropertyId;
using cmdorb::PropertyType;
using cmdorb::Stored;
using cmdorb::StoredProperty;

TEST(ButtonProperties, KeysDifferWithoutRegardToCase) {
    // The store matches keys without regard to case: two keys that differ only in case
    // would read each other's value.
    std::set<std::string> folded;
    for (const StoredProperty& p : kReadOrder) {
        std::string key(p.key);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_TRUE(folded.insert(key).second) << p.key;
    }
}

// The stored format: every key in reading order with the type of its default, the default
// and the type it is written as.
struct Row {
    std::string_view key;
    PropertyType defaultType;
    std::int32_t number;      // numbers and Booleans
    std::string_view text;    // strings
    PropertyType written;
};

constexpr auto I4 = PropertyType::I4, I2 = PropertyType::I2, UI1 = PropertyType::UI1,
               Bool = PropertyType::Bool, Str = PropertyType::Str, Obj = PropertyType::Obj;

const Row kFormat[] = {
    {"ForeColor", I4, static_cast<std::int32_t>(0x80000012u), "", I4},
    {"ButtonClickHeight", I2, 30, "", I4},
    {"StraightSideMask", I4, 0, "", I4},
    {"RightToLeft", Bool, 0, "", Bool},
    {"UnderlineChecked", Bool, -1, "", Bool},
    {"SmoothCurvature", I2, 25, "", I2},
    {"TopMarkPercent", I2, 0, "", UI1},
    {"Enabled", Bool, -1, "", Bool},
    {"Font", Obj, 0, "", Obj},
    {"BorderStyle", I2, 0, "", I2},
    {"BackStyle", I2, 0, "", I2},
    {"ToolTipText", Str, 0, "", Str},
    {"HighColor1", I4, 0xFFC0C0, "", I4},
    {"CheckedColor", I4, 0x00FF00, "", I4},
    {"HighlightOnHover", Bool, -1, "", Bool},
    {"DontSwitchRTLSmooth", Bool, 0, "", Bool},
    {"HasMenu", Bool, 0, "", Bool},
    {"HighlightStyle", I2, 2, "", I2},
    {"HighColor2", I4, 0xFF8080, "", I4},
    {"Caption", Str, 0, "Command", Str},
    {"MouseIcon", Obj, 0, "", Obj},
    {"MousePointer", I2, 0, "", I2},
    {"BevelWidth", I2, 1, "", I4},
    {"HighTextColor", I4, 0xFFFFFF, "", I4},
    {"BackColor1", I4, 0xE0E0E0, "", I4},
    {"BackColor2", I4, 0x808080, "", I4},
    {"Gradient", Bool, -1, "", Bool},
    {"Icon", Obj, 0, "", Obj},
    {"CheckedIcon", Obj, 0, "", Obj},
    {"IconSize", I2, 2, "", I2},
    {"IconAlign", I2, 0, "", I2},
    {"IconWidth", I2, 32, "", I4},
    {"IconHeight", I2, 32, "", I4},
    {"TextAlign", I2, 0, "", I2},
    {"IcoDistFromEdge", I2, 5, "", I4},
    {"IcoDistFromTop", I2, 0, "", I4},
    {"BorderStyle3D", I2, 0, "", I4},
};

TEST(ButtonProperties, ReadingOrderKeysTypesAndDefaults) {
    ASSERT_EQ(kReadOrder.size(), std::size(kFormat));
    for (std::size_t i = 0; i < kReadOrder.size(); ++i) {
        const StoredProperty& p = kReadOrder[i];
        const Row& row = kFormat[i];
        SCOPED_TRACE(testing::Message() << "key " << i + 1 << ", " << row.key);
        EXPECT_EQ(p.key, row.key);
        EXPECT_EQ(p.defaultType, row.defaultType);
        EXPECT_EQ(p.type, row.written);
        EXPECT_EQ(p.number, row.number);
        EXPECT_EQ(p.text, row.text);
    }
    EXPECT_EQ(Stored(PropertyId::Font).object, cmdorb::ObjectDefault::AmbientFont);
    for (PropertyId id : {PropertyId::MouseIcon, PropertyId::Icon, PropertyId::CheckedIcon}) {
        EXPECT_EQ(Stored(id).object, cmdorb::ObjectDefault::None) << Stored(id).key;
    }
}

TEST(ButtonProperties, WritingOrder) {
    const std::string_view expected[] = {
        "ButtonClickHeight", "StraightSideMask", "RightToLeft", "UnderlineChecked",
        "SmoothCurvature", "TopMarkPercent", "ForeColor", "Enabled", "Font", "BorderStyle",
        "BackStyle", "ToolTipText", "HighColor1", "CheckedColor", "HighlightOnHover",
        "DontSwitchRTLSmooth", "HasMenu", "HighlightStyle", "HighColor2", "Caption",
        "MouseIcon", "MousePointer", "BevelWidth", "HighTextColor", "BackColor1", "BackColor2",
        "Gradient", "Icon", "CheckedIcon", "IconSize", "IconAlign", "IconWidth", "IconHeight",
        "TextAlign", "IcoDistFromEdge", "IcoDistFromTop", "BorderStyle3D",
    };
    std::vector<std::string_view> written;
    for (PropertyId id : kWriteOrder) written.push_back(Stored(id).key);
    EXPECT_EQ(written, std::vector<std::string_view>(std::begin(expected), std::end(expected)));
    EXPECT_EQ(Stored(cmdorb::kIcoDisabledAfter).key, "IconAlign");
}

TEST(ButtonProperties, TopMarkPercentKeepsTheLowEightBits) {
    struct Case {
        std::int32_t written;
        std::uint8_t kept;
    };
    const Case cases[] = {{0, 0}, {30, 30}, {255, 255}, {256, 0}, {300, 44}, {-1, 255}};
    for (const Case& c : cases) {
        EXPECT_EQ(cmdorb::TopMarkPercentByte(c.written), c.kept) << c.written;
    }
}

}  // namespace

namespace {

using cmdorb::StoredFields;

// The field values before any load: at creation of every instance, and after a new
// instance's init. A stored instance without a key takes the key's default instead, which
// for ButtonClickHeight, SmoothCurvature, UnderlineChecked and BevelWidth is not the new
// instance's value.
TEST(ButtonProperties, FieldsBeforeAnyLoad) {
    struct Case {
        PropertyId id;
        std::int32_t created;
        std::int32_t initialised;
    };
    using enum PropertyId;
    const Case cases[] = {
        {ButtonClickHeight, 0, 0},     {StraightSideMask, 0, 0},
        {UnderlineChecked, 0, 0},      {SmoothCurvature, 0, 0},
        {TopMarkPercent, 0, 0},        {HighColor1, 0xFFC0C0, 0xFFC0C0},
        {CheckedColor, 0x00FF00, 0x00FF00}, {HighlightOnHover, -1, -1},
        {DontSwitchRTLSmooth, 0, 0},   {HasMenu, 0, 0},
        {HighlightStyle, 2, 2},        {HighColor2, 0xFF8080, 0xFF8080},
        {BevelWidth, 0, 0},            {HighTextColor, 0xFFFFFF, 0xFFFFFF},
        {BackColor1, 0xE0E0E0, 0xE0E0E0}, {BackColor2, 0x808080, 0x808080},
        {Gradient, 0, -1},             {IconSize, 0, 2},
        {IconAlign, 0, 0},             {IconWidth, 0, 32},
        {IconHeight, 0, 32},           {TextAlign, 0, 0},
        {IcoDistFromEdge, 0, 5},       {IcoDistFromTop, 0, 0},
        {BorderStyle3D, 0, 0},
    };
    StoredFields created, initialised;
    cmdorb::TakeDefaults(created, false);
    cmdorb::TakeDefaults(initialised, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(Stored(c.id).key);
        ASSERT_TRUE(Stored(c.id).HoldsField());
        EXPECT_EQ(cmdorb::NumberOf(created, Stored(c.id)), c.created);
        EXPECT_EQ(cmdorb::NumberOf(initialised, Stored(c.id)), c.initialised);
    }
    const auto held = std::count_if(kReadOrder.begin(), kReadOrder.end(),
                                    [](const StoredProperty& p) { return p.HoldsField(); });
    EXPECT_EQ(held, std::ssize(cases)) << "every field is listed";
}

// A load and a set store a number alike: Booleans by being non-zero, narrower fields by
// their low bits; each key reaches its own field only.
TEST(ButtonProperties, StoringANumberKeepsWhatItsFieldHolds) {
    struct Case {
        PropertyId id;
        std::int32_t stored;
        std::int32_t kept;
    };
    const Case cases[] = {
        {PropertyId::TopMarkPercent, 300, 44},
        {PropertyId::HighlightStyle, 0x12345, 0x2345},
        {PropertyId::UnderlineChecked, 5, cmdorb::kTrue},
        {PropertyId::HasMenu, 0, cmdorb::kFalse},
        {PropertyId::ButtonClickHeight, 40000, 40000},
        {PropertyId::HighColor1, static_cast<std::int32_t>(0x80000012u),
         static_cast<std::int32_t>(0x80000012u)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Stored(c.id).key);
        StoredFields fields;
        cmdorb::StoreNumber(fields, Stored(c.id), c.stored);
        for (const StoredProperty& other : kReadOrder) {
            const std::int32_t expected = other.id == c.id ? c.kept : 0;
            EXPECT_EQ(cmdorb::NumberOf(fields, other), expected) << other.key;
        }
    }
}

}  // namespace
