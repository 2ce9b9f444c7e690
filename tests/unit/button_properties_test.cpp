// The stored properties of the button: the reading and writing tables agree.
#include "controls/button/button_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {

using cmdorb::kReadOrder;
using cmdorb::kWriteOrder;
using cmdorb::PropertyId;
using cmdorb::PropertyType;
using cmdorb::Stored;
using cmdorb::StoredProperty;

TEST(ButtonProperties, WritingOrderHoldsEveryReadKeyOnce) {
    std::set<PropertyId> written(kWriteOrder.begin(), kWriteOrder.end());
    EXPECT_EQ(written.size(), kWriteOrder.size()) << "a key is written twice";
    for (const StoredProperty& p : kReadOrder) {
        EXPECT_TRUE(written.contains(p.id)) << p.key << " is read but never written";
    }
}

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

// Whether a number fits the type a key is written as.
bool Fits(PropertyType type, std::int32_t number) {
    switch (type) {
        case PropertyType::UI1: return number >= 0 && number <= 255;
        case PropertyType::I2: return number >= -32768 && number <= 32767;
        case PropertyType::I4: return true;
        case PropertyType::Bool: return number == cmdorb::kTrue || number == cmdorb::kFalse;
        default: return number == 0;
    }
}

bool IsNumber(PropertyType type) {
    return type == PropertyType::I4 || type == PropertyType::I2 || type == PropertyType::UI1;
}

TEST(ButtonProperties, EachDefaultSuitsTheTypeItsKeyIsWrittenAs) {
    // A default read back as a different kind, or too wide for its field, would make a saved
    // instance load differently from the one that was saved.
    for (PropertyId id : kWriteOrder) {
        const StoredProperty& p = Stored(id);
        EXPECT_EQ(IsNumber(p.defaultType), IsNumber(p.type)) << p.key;
        if (!IsNumber(p.type)) {
            EXPECT_EQ(p.defaultType, p.type) << p.key;
        }
        EXPECT_TRUE(Fits(p.type, p.number)) << p.key;
        if (p.type != PropertyType::Str) {
            EXPECT_TRUE(p.text.empty()) << p.key;
        }
    }
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
