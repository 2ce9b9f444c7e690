// Encoded texts and the request token.
#include "app/texts/encoded_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "app/texts/texts.h"

namespace {

using modMain::CodeTableEntry;
using modMain::DecodeText;
using modMain::MakeRequestToken;
using modMain::ZeroPad;

std::string EncodeAtRunTime(const std::string& plain) {
    std::string digits;
    for (unsigned char c : plain) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", CodeTableEntry(c));
        digits += pair;
    }
    return digits;
}

TEST(DecodeText, EmptyTextDecodesToEmpty) { EXPECT_EQ(DecodeText(""), ""); }

TEST(DecodeText, EveryByteValueComesBackThroughTheTable) {
    // A table that is not a permutation maps two characters to one byte, and one of them
    // then decodes to the wrong character.
    for (int c = 0; c < 256; ++c) {
        const std::string plain(1, static_cast<char>(c));
        EXPECT_EQ(DecodeText(EncodeAtRunTime(plain)), plain) << "character code " << c;
    }
}

TEST(DecodeText, CompileTimeEncodingMatchesTheTable) {
    constexpr auto encoded = modMain::Encode("Orb Vorex");
    static_assert(encoded.view().size() == 18);
    EXPECT_EQ(std::string(encoded.view()), EncodeAtRunTime("Orb Vorex"));
    EXPECT_EQ(encoded.Decode(), "Orb Vorex");
}

TEST(DecodeText, LowerCaseDigitsDecodeLikeUpperCase) {
    std::string digits = EncodeAtRunTime("Exit");
    for (char& c : digits) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(DecodeText(digits), "Exit");
}

TEST(DecodeText, StoredTextsDecodeToTheirPlainText) {
#define ORB_CHECK_TEXT(name, plain, length) EXPECT_EQ(texts::name.Decode(), plain) << #name;
    ORB_TEXT_TABLE(ORB_CHECK_TEXT)
#undef ORB_CHECK_TEXT
}

TEST(ZeroPad, PadsOnlyWhenShorter) {
    EXPECT_EQ(ZeroPad("A", 2), "0A");
    EXPECT_EQ(ZeroPad("", 2), "00");
    EXPECT_EQ(ZeroPad("AB", 2), "AB");
    EXPECT_EQ(ZeroPad("ABC", 2), "ABC");
}

struct TokenCase {
    const char* name;
    std::string text;
    int number;
    std::string token;
};

// Worked out by hand from the cell algorithm (keys 0x5A, 0x3C, 0xA7):
// "a", 1: cells 5B 5D C6 1; 'a' ^ 0x5B = 3A                          -> 3A5DC61
// "ab", 4: cells 58 5D C5 4; 'a' ^ 0x58 = 39 -> 395DC54;
//          'b' ^ 0x95 (K2K3) = F7 -> 3F7DC54
// "abcdefg", 1: cells 5D 5D C0 1; a^5D=3C, b^C5=A7, c^7D=1E, d^EC=88, e^80=E5, f^51=37
//          (K6K7), then k wraps to 1: g^3A=5D                         -> 5D18E37
const TokenCase kTokenCases[] = {
    {"one character: first and last cell start from it", "a", 1, "3A5DC61"},
    {"short text keeps the number in K7", "ab", 4, "3F7DC54"},
    {"seven characters wrap k back to 1", "abcdefg", 1, "5D18E37"},
    {"empty text", "", 1, ""},
    {"longer than 255 characters", std::string(256, 'x'), 1, ""},
    {"number that is not one digit", "a@b.com", 10, ""},
};

TEST(MakeRequestToken, Cases) {
    for (const auto& c : kTokenCases) {
        EXPECT_EQ(MakeRequestToken(c.text, c.number), c.token) << c.name;
    }
}

TEST(MakeRequestToken, LengthLimitIsInclusive) {
    EXPECT_EQ(MakeRequestToken(std::string(255, 'x'), 4).size(), 7u);
}

TEST(MakeRequestToken, TextsShorterThanSixKeepTheNumberLast) {
    for (const char* text : {"a", "ab", "abc", "abcd", "abcde"}) {
        EXPECT_EQ(MakeRequestToken(text, 4).back(), '4') << text;
        EXPECT_EQ(MakeRequestToken(text, 1).back(), '1') << text;
    }
}

}  // namespace
