// Decisions of the HTTP transfer: URL decoding, content length, file name, progress.
#include "app/transfer/transfer_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using modI::MayFollowRedirect;
using modI::MeaningOfStatus;
using modI::StatusMeaning;
using modI::FileNameFromDisposition;
using modI::ParseContentLength;
using modI::ProgressFillRight;
using modI::ProgressPercent;
using modI::ProgressText;
using modI::UrlDecode;

struct DecodeCase {
    const char* in;
    std::optional<std::string> out;
};

TEST(UrlDecode, Cases) {
    const DecodeCase cases[] = {
        {"%41", "A"},
        {"a+b", "a b"},
        {"setup%20pro.exe", "setup pro.exe"},
        {"%2e%2E", ".."},
        {"abc%4", "abc%4"},   // "%" among the last two characters stays
        {"abc%", "abc%"},
        {"%", "%"},
        {"%41%", "A%"},
        {"%zz", std::nullopt},  // malformed escape
        {"%4g.exe", std::nullopt},
        {"", ""},
        {"%00", std::string(1, '\0')},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
}

TEST(ParseContentLength, Cases) {
    const struct {
        const char* header;
        std::optional<std::int64_t> length;
    } cases[] = {
        {"30000", 30000},
        {"  42", 42},
        {"12abc", 12},
        {"", 0},
        {"abc", 0},
        {"-5", 0},
        // Installers past 2 GiB and 4 GiB: the length is not cut to 32 bits.
        {"2147483647", 2147483647},
        {"2147483648", 2147483648},
        {"4294967295", 4294967295},
        {"4294967296", 4294967296},
        {"4294967297", 4294967297},
        {"5000000000", 5000000000},
        {"9223372036854775807", std::nullopt},  // beyond what a file can hold: not a garbage length
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseContentLength(c.header), c.length) << c.header;
}

TEST(FileNameFromDisposition, Cases) {
    const DecodeCase cases[] = {
        {"attachment; filename=\"OrbVorex2009ProTrial.exe\"", "OrbVorex2009ProTrial.exe"},
        {"attachment; filename=setup.exe", ""},  // no double quote: no name
        {"attachment; filename=\"Orb%20Vorex.exe\"", "Orb Vorex.exe"},
        {"attachment; filename=\"a+b.exe\"", "a b.exe"},
        {"attachment; filename=\"", ""},
        {"attachment; filename=\"x.exe", "x.ex"},  // the last character is taken as the quote
        {"attachment; filename=\"%zz.exe\"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNameFromDisposition(c.in), c.out) << c.in;
}

TEST(MeaningOfStatus, BodyRedirectOrFailure) {
    const struct {
        int status;
        StatusMeaning meaning;
    } cases[] = {
        {200, StatusMeaning::Body},     {206, StatusMeaning::Body},     {299, StatusMeaning::Body},
        {301, StatusMeaning::Redirect}, {302, StatusMeaning::Redirect}, {303, StatusMeaning::Redirect},
        {307, StatusMeaning::Redirect}, {308, StatusMeaning::Redirect}, {300, StatusMeaning::Failure},
        {304, StatusMeaning::Failure},  {403, StatusMeaning::Failure},  {404, StatusMeaning::Failure},
        {500, StatusMeaning::Failure},  {0, StatusMeaning::Failure},    {199, StatusMeaning::Failure},
    };
    for (const auto& c : cases) EXPECT_EQ(MeaningOfStatus(c.status), c.meaning) << c.status;
}

TEST(MayFollowRedirect, OnlyToTheWebAndNeverDownFromHttps) {
    const struct {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"http://a/dl", "http://a/files/x.exe", true},
        {"http://a/dl", "https://b/x.exe", true},
        {"https://a/dl", "HTTPS://b/x.exe", true},
        {"https://a/dl", "http://b/x.exe", false},
        {"HTTPS://a/dl", "http://b/x.exe", false},
        {"http://a/dl", "ftp://b/x.exe", false},
        {"http://a/dl", "file:///c:/x.exe", false},
        {"http://a/dl", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MayFollowRedirect(c.from, c.to), c.allowed) << c.from << " -> " << c.to;
}

TEST(ProgressPercent, RoundsHalfToEven) {
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(125, 1000), 12);   // 12.5 -> 12
    EXPECT_EQ(ProgressPercent(135, 1000), 14);   // 13.5 -> 14
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(2560, 1000), 256);  // more than announced: above a byte
    EXPECT_EQ(ProgressPercent(10, 0), 0);
}

TEST(ProgressPercent, HoldsPastTwoAndFourGibibytes) {
    constexpr std::int64_t k2GiB = std::int64_t{1} << 31, k4GiB = std::int64_t{1} << 32;
    const struct {
        std::int64_t received, length, percent;
    } rows[] = {
        {k2GiB, k2GiB, 100},         {k2GiB - 1, k2GiB + 1, 100},  {k2GiB, k4GiB, 50},
        {k4GiB, k4GiB, 100},         {k4GiB + 1, k4GiB + 1, 100},  {k4GiB / 4, k4GiB + 1, 25},
        {1, k4GiB + 1, 0},           {k4GiB, 5000000000, 86},       {5000000000, 5000000000, 100},
        {k2GiB + 1, 5000000000, 43}, {k4GiB + 1, k2GiB, 200},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ProgressPercent(row.received, row.length), row.percent) << row.received << " of " << row.length;
    }
}

TEST(ProgressText, PrefixChangesAtOneHundred) {
    EXPECT_EQ(ProgressText(0), "Downloading... 0%");
    EXPECT_EQ(ProgressText(99), "Downloading... 99%");
    EXPECT_EQ(ProgressText(100), "Finishing... 100%");
}

TEST(ProgressFillRight, ScalesTheBarWidthInsideItsBorder) {
    // A bar 3030 twips wide at 15 twips per pixel: (3030 - 30) / 100 / 15 = 2 pixels a percent.
    EXPECT_EQ(ProgressFillRight(0, 3030, 15), 0);
    EXPECT_EQ(ProgressFillRight(50, 3030, 15), 100);
    EXPECT_EQ(ProgressFillRight(100, 3030, 15), 200);
    // 1530 twips: 1.0 pixel a percent; 2280: 1.5, so 25 % gives 37.5 -> 38 and 15 % 22.5 -> 22.
    EXPECT_EQ(ProgressFillRight(25, 2280, 15), 38);
    EXPECT_EQ(ProgressFillRight(15, 2280, 15), 22);
}

}  // namespace
