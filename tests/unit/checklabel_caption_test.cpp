// Caption text of the label / check box / option control: the access key, the two-line wrap,
// the Hebrew-layout key letter and the auto-size width, measured with a width table.
#include "controls/checklabel/caption_text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace checklabel;
using Kind = CaptionPlan::Kind;

// Every character is 100 twips wide, except "W" (300) and "i" (50).
double TableWidth(std::wstring_view text) {
    static const std::map<wchar_t, double> widths = {{L'W', 300}, {L'i', 50}};
    double width = 0;
    for (wchar_t c : text) {
        const auto it = widths.find(c);
        width += it == widths.end() ? 100 : it->second;
    }
    return width;
}

TEST(CheckLabelAccessKeyLetter, EveryKeyOfTheHebrewLayout) {
    // The three letter rows of the keyboard, left to right, and the Hebrew letter on each key.
    const std::wstring keys = L"ERTYUIOPASDFGHJKL;ZXCVBNM,.";
    const std::wstring hebrew = L"קראטוןםפשדגכעיחלךףזסבהנמצתץ";
    ASSERT_EQ(keys.size(), hebrew.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const wchar_t key = keys[i];
        EXPECT_EQ(AccessKeyLetter(hebrew[i]), key) << "U+" << std::hex << int(hebrew[i]);
        EXPECT_EQ(AccessKeyLetter(key), key) << char(key);
        if (key >= L'A' && key <= L'Z') {
            EXPECT_EQ(AccessKeyLetter(static_cast<wchar_t>(key - L'A' + L'a')), key) << char(key);
        }
    }
}

TEST(CheckLabelAccessKeyLetter, OtherCharactersComeBackUnchanged) {
    for (wchar_t c : std::wstring(L"QqWw1&é ") + L'\u05F0' + L'\u05BC') {
        EXPECT_EQ(AccessKeyLetter(c), c) << "U+" << std::hex << int(c);
    }
}

TEST(CheckLabelPrintCaption, AccessKeyAndWrapPlans) {
    struct Row {
        const wchar_t* caption;
        bool wordWrap;
        double innerWidth;
        Kind kind;
        std::wstring first;
        std::wstring second;
        std::size_t underlineIndex = 0;  // the last four only for an access key
        double underlineOffset = 0;
        wchar_t underlined = L' ';
        wchar_t accessKey = L' ';
    };
    const Row rows[] = {
        {L"", true, 1000, Kind::Nothing, L"", L"", 0, 0, L' ', L' '},
        {L"&Save", false, 1000, Kind::AccessKey, L"Save", L"", 0, 0, L'S', L'S'},
        // The underline goes after "Op" (200 twips); "e" is the E key.
        {L"Op&en", false, 1000, Kind::AccessKey, L"Open", L"", 2, 200, L'e', L'E'},
        // A last "&" underlines a blank after the text.
        {L"Save&", false, 1000, Kind::AccessKey, L"Save", L"", 4, 400, L' ', L' '},
        // Only the first "&" counts; every "&" is removed.
        {L"a&b&c", false, 1000, Kind::AccessKey, L"abc", L"", 1, 100, L'b', L'B'},
        {L"&\u05E7x", false, 1000, Kind::AccessKey, L"\u05E7x", L"", 0, 0, L'\u05E7', L'E'},
        // With "&" the caption never wraps, twice as wide as the control or not.
        {L"&ABCDEFGHIJKLMNOPQRST", true, 1000, Kind::AccessKey, L"ABCDEFGHIJKLMNOPQRST", L"",
         0, 0, L'A', L'A'},
        // Twice as wide: 2000 twips in 1000 cut into exactly two lines of ten.
        {L"ABCDEFGHIJKLMNOPQRST", true, 1000, Kind::TwoLines, L"ABCDEFGHIJ", L"KLMNOPQRST"},
        {L"ABCDEFGHIJKLMNOPQRST", false, 1000, Kind::OneLine, L"ABCDEFGHIJKLMNOPQRST", L""},
        // Exactly as wide as the control still fits.
        {L"ABCDEFGHIJ", true, 1000, Kind::OneLine, L"ABCDEFGHIJ", L""},
        {L"ABCDEFGHIJK", true, 1000, Kind::TwoLines, L"ABCDEFGHIJ", L"K"},
        // The cut falls between characters by their own widths, mid-word: 300 fits, 600 not.
        {L"WWiii", true, 500, Kind::TwoLines, L"W", L"Wiii"},
        // A first character wider than the control leaves the first line empty.
        {L"WA", true, 200, Kind::TwoLines, L"", L"WA"},
    };
    for (const Row& row : rows) {
        const CaptionPlan plan = PlanCaption(row.caption, row.wordWrap, row.innerWidth, TableWidth);
        const std::string where = "caption #" + std::to_string(&row - rows);
        EXPECT_EQ(plan.kind, row.kind) << where;
        EXPECT_EQ(plan.FirstLine, row.first) << where;
        EXPECT_EQ(plan.SecondLine, row.second) << where;
        if (row.kind == Kind::AccessKey) {
            EXPECT_EQ(plan.UnderlineIndex, row.underlineIndex) << where;
            EXPECT_EQ(plan.UnderlineOffset, row.underlineOffset) << where;
            EXPECT_EQ(plan.Underlined, row.underlined) << where;
            EXPECT_EQ(plan.AccessKey, row.accessKey) << where;
        }
    }
}

TEST(CheckLabelAutoSize, WidthIsNinePixelsBoxRoomAndRoundedText) {
    struct Row {
        const wchar_t* caption;
        double perCharacter;
        bool isLabel;
        std::int32_t width;
    };
    const Row rows[] = {
        {L"&", 100, false, 375},    // 9 * 15 + 240 + 0
        {L"&&&", 100, false, 375},
        {L"&", 100, true, 135},     // a label has no box room
        {L"S&ave", 100, false, 775},  // 135 + 240 + 400: the "&" is not measured
        {L"Save", 100, true, 535},
        {L"Save", 250.125, true, 1135},   // 1000.5: 2001 halved truncates to 1000
        {L"Save", 250.1875, true, 1136},  // 1000.75: 2001.5 rounds to 2002, halved 1001
    };
    for (const Row& row : rows) {
        const auto widthOf = [&](std::wstring_view text) {
            return row.perCharacter * static_cast<double>(text.size());
        };
        EXPECT_EQ(AutoSizeWidth(row.caption, widthOf, row.isLabel, 240, 15), row.width)
            << "caption #" << (&row - rows);
    }
}

}  // namespace
