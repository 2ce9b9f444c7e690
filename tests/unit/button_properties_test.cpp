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
