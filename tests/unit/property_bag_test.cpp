// The property store: case-insensitive keys, defaults, conversions to the field's width with
// loud failures, defaults not written, and every value type kept.
#include "host/property_bag.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using host::I2;
using host::I4;
using host::PropertyBag;
using host::PropertyError;
using host::PropertyValue;
using host::UI1;

TEST(PropertyBag, KeysMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
    PropertyBag bag;
    bag.Set("caption", std::string("Or"));
    EXPECT_EQ(bag.ReadProperty<std::string>("Caption", "chkOrb"), "Or");
    EXPECT_EQ(bag.ReadProperty<std::string>("CAPTION", "chkOrb"), "Or");
    bag.Set("CAPTION", std::string("And"));
    ASSERT_EQ(bag.Entries().size(), 1u);
    EXPECT_EQ(bag.Entries()[0].key, "caption");
    EXPECT_EQ(bag.ReadProperty<std::string>("caption", ""), "And");
}

TEST(PropertyBag, AbsentKeyGivesTheDefault) {
    const PropertyBag bag;
    EXPECT_EQ(bag.ReadProperty<I2>("ButtonClickHeight", 30), 30);
    EXPECT_EQ(bag.ReadProperty<I4>("ForeColor", static_cast<I4>(0x80000012)),
              static_cast<I4>(0x80000012));
    EXPECT_EQ(bag.ReadProperty<bool>("UnderlineChecked", true), true);
    EXPECT_EQ(bag.ReadProperty<std::string>("Caption", "Command"), "Command");
    EXPECT_EQ(bag.ReadProperty<host::Font>("Font", host::Font("Arial", 9.75)).Name(), "Arial");
    EXPECT_TRUE(std::holds_alternative<host::NoObject>(bag.ReadValue("Icon", host::NoObject{})));
}

struct Conversion {
    const char* name;
    PropertyValue stored;
    PropertyValue like;  // the default, whose type the value is read as
    PropertyValue expected;
};

TEST(PropertyBag, StoredValuesConvertToTheFieldsWidth) {
    const Conversion cases[] = {
        {"I2 into I4", I2{-5}, I4{0}, I4{-5}},
        {"I4 into I2 in range", I4{-32768}, I2{0}, I2{-32768}},
        {"I4 into UI1 in range", I4{255}, UI1{0}, UI1{255}},
        {"UI1 into I2", UI1{200}, I2{0}, I2{200}},
        {"Bool true into I2", true, I2{0}, I2{-1}},
        {"I2 zero into Bool", I2{0}, false, false},
        {"I4 non-zero into Bool", I4{7}, false, true},
        {"text number into I4", std::string(" 42 "), I4{0}, I4{42}},
        {"text hex into I4", std::string("&H80000012&"), I4{0}, static_cast<I4>(0x80000012)},
        {"text fraction rounds half to even", std::string("2.5"), I2{0}, I2{2}},
        {"text true into Bool", std::string("True"), false, true},
        {"number into Str", I4{-7}, std::string(), std::string("-7")},
        {"Bool into Str", false, std::string(), std::string("False")},
        {"picture for a default of nothing", host::PictureSource{host::PictureSource::Kind::Icon, "#1", {}},
         host::NoObject{}, host::PictureSource{host::PictureSource::Kind::Icon, "#1", {}}},
        {"nothing for a font default", host::NoObject{}, host::Font(), host::NoObject{}},
    };
    for (const auto& c : cases) {
        PropertyBag bag;
        bag.Set("Key", c.stored);
        EXPECT_EQ(bag.ReadValue("key", c.like), c.expected) << c.name;
    }
}

struct Failure {
    const char* name;
    PropertyValue stored;
    PropertyValue like;
    PropertyError::Kind kind;
};

TEST(PropertyBag, ValuesThatDoNotFitFailLoudly) {
    const Failure cases[] = {
        {"I2 overflow", I4{32768}, I2{0}, PropertyError::Kind::Overflow},
        {"I2 underflow", I4{-32769}, I2{0}, PropertyError::Kind::Overflow},
        {"UI1 300", I4{300}, UI1{0}, PropertyError::Kind::Overflow},
        {"UI1 negative", I2{-1}, UI1{0}, PropertyError::Kind::Overflow},
        {"UI1 from true", true, UI1{0}, PropertyError::Kind::Overflow},
        {"text too big for I4", std::string("99999999999"), I4{0}, PropertyError::Kind::Overflow},
        {"text not a number", std::string("abc"), I4{0}, PropertyError::Kind::TypeMismatch},
        {"empty text into I2", std::string(), I2{0}, PropertyError::Kind::TypeMismatch},
        {"text not a Boolean", std::string("yes"), false, PropertyError::Kind::TypeMismatch},
        {"font into Bool", host::Font(), false, PropertyError::Kind::TypeMismatch},
        {"number into font", I4{1}, host::Font(), PropertyError::Kind::TypeMismatch},
        {"picture into font", host::PictureSource{}, host::Font(), PropertyError::Kind::TypeMismatch},
        {"font into Str", host::Font(), std::string(), PropertyError::Kind::TypeMismatch},
    };
    for (const auto& c : cases) {
        PropertyBag bag;
        bag.Set("TopMarkPercent", c.stored);
        try {
            bag.ReadValue("topmarkpercent", c.like);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const PropertyError& e) {
            EXPECT_EQ(e.GetKind(), c.kind) << c.name;
            EXPECT_EQ(e.Key(), "topmarkpercent") << c.name;
        }
    }
    PropertyBag bag;
    bag.Set("SmoothCurvature", I4{70000});
    EXPECT_THROW(bag.ReadProperty<I2>("SmoothCurvature", 25), PropertyError);
}

TEST(PropertyBag, ValueEqualToItsDefaultIsNotWritten) {
    PropertyBag bag;
    bag.WriteProperty<I2>("ButtonClickHeight", 30, 30);
    bag.WriteProperty<std::string>("Caption", "Command", "Command");
    bag.WriteProperty<host::Font>("Font", host::Font("Arial", 8.25), host::Font("Arial", 8.25));
    EXPECT_TRUE(bag.Empty());

    bag.WriteProperty<I2>("ButtonClickHeight", 45, 30);
    EXPECT_EQ(bag.ReadProperty<I2>("ButtonClickHeight", 30), 45);
    bag.WriteProperty<I2>("buttonclickheight", 30, 30);
    EXPECT_FALSE(bag.Contains("ButtonClickHeight")) << "back to the default: the key goes";
}

TEST(PropertyBag, EveryTypeRoundTrips) {
    host::Font font("Arial", 9.75, true, true, true);
    font.SetStrikethrough(true);
    const host::PictureSource icon{host::PictureSource::Kind::Icon, "#1", {}};
    const host::PictureSource file{host::PictureSource::Kind::Bitmap, {}, "C:\\pics\\a.bmp"};

    PropertyBag bag;
    bag.WriteProperty<I2>("SmoothCurvature", -12, 25);
    bag.WriteProperty<I4>("BackColor1", static_cast<I4>(0x8000000F), 0xE0E0E0);
    bag.WriteProperty<UI1>("TopMarkPercent", 255, 0);
    bag.WriteProperty<bool>("Gradient", false, true);
    bag.WriteProperty<std::string>("Caption", "Install", "Command");
    bag.WriteProperty<host::Font>("Font", font, host::Font());
    bag.WriteProperty<host::PictureSource>("Icon", icon, {});
    bag.WriteProperty<host::PictureSource>("CheckedIcon", file, {});

    EXPECT_EQ(bag.ReadProperty<I2>("SmoothCurvature", 25), -12);
    EXPECT_EQ(bag.ReadProperty<I4>("BackColor1", 0), static_cast<I4>(0x8000000F));
    EXPECT_EQ(bag.ReadProperty<UI1>("TopMarkPercent", 0), 255);
    EXPECT_EQ(bag.ReadProperty<bool>("Gradient", true), false);
    EXPECT_EQ(bag.ReadProperty<std::string>("Caption", "Command"), "Install");
    EXPECT_EQ(bag.ReadProperty<host::Font>("Font", host::Font()), font);
    EXPECT_EQ(bag.ReadProperty<host::PictureSource>("Icon", {}), icon);
    EXPECT_EQ(bag.ReadProperty<host::PictureSource>("CheckedIcon", {}), file);
}

}  // namespace
