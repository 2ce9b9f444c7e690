// Decisions of resuming a broken download: the validator, the request, the answer, the tries.
#include "app/transfer/resume_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using modI::ResumeAnswer;

TEST(ResumeValidator, PrefersAStrongETagThenTheDate) {
    const struct {
        const char* etag;
        const char* date;
        const char* validator;
    } rows[] = {
        {"\"abc\"", "Tue, 01 Dec 2026 00:00:00 GMT", "\"abc\""},
        {" \"abc\" ", "", "\"abc\""},
        {"", "Tue, 01 Dec 2026 00:00:00 GMT", "Tue, 01 Dec 2026 00:00:00 GMT"},
        {"W/\"abc\"", "Tue, 01 Dec 2026 00:00:00 GMT", "Tue, 01 Dec 2026 00:00:00 GMT"},  // weak: the date
        {"W/\"abc\"", "", ""},
        {"\"a\r\nX-Evil: 1\"", "", ""},  // a line break would add a header of the server's choice
        {"", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(modI::ResumeValidator(row.etag, row.date), row.validator) << row.etag << " / " << row.date;
    }
}

TEST(ResumeHeaders, AskForTheRestOfTheSameEntity) {
    EXPECT_EQ(modI::ResumeHeaders(65536, "\"abc\""), "Range: bytes=65536-\r\nIf-Range: \"abc\"\r\n");
    EXPECT_EQ(modI::ResumeHeaders(3000000000, "d"), "Range: bytes=3000000000-\r\nIf-Range: d\r\n");
}

TEST(ParseContentRange, Forms) {
    const struct {
        const char* header;
        std::optional<modI::ContentRange> range;
    } rows[] = {
        {"bytes 100-999/1000", modI::ContentRange{100, 999, 1000}},
        {"  bytes  0-0/1 ", modI::ContentRange{0, 0, 1}},
        {"bytes 2147483648-4294967295/4294967296", modI::ContentRange{2147483648, 4294967295, 4294967296}},
        {"bytes 100-999/*", std::nullopt},
        {"bytes */1000", std::nullopt},
        {"bytes 100-1000/1000", std::nullopt},  // past the end
        {"bytes 200-100/1000", std::nullopt},
        {"bytes 100-999/1000x", std::nullopt},
        {"items 100-999/1000", std::nullopt},
        {"bytes -5-999/1000", std::nullopt},
        {"bytes 99999999999999999999-1/2", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto range = modI::ParseContentRange(row.header);
        ASSERT_EQ(range.has_value(), row.range.has_value()) << row.header;
        if (!range) continue;
        EXPECT_EQ(range->first, row.range->first) << row.header;
        EXPECT_EQ(range->last, row.range->last) << row.header;
        EXPECT_EQ(range->complete, row.range->complete) << row.header;
    }
}

TEST(MeaningOfResumeAnswer, OnlyTheExactRestContinues) {
    // 400 of 1000 bytes held.
    const struct {
        int status;
        const char* range;
        long long announced;
        ResumeAnswer meaning;
    } rows[] = {
        {206, "bytes 400-999/1000", 600, ResumeAnswer::Continue},
        {200, "", 1000, ResumeAnswer::Restart},
        {200, "", 1200, ResumeAnswer::Restart},  // another entity, whole
        {206, "bytes 300-999/1000", 700, ResumeAnswer::Fail},  // from another byte
        {206, "bytes 400-899/1000", 500, ResumeAnswer::Fail},  // not to the end
        {206, "bytes 400-1199/1200", 800, ResumeAnswer::Fail},  // another length
        {206, "bytes 400-999/1000", 500, ResumeAnswer::Fail},  // a length that does not fit
        {206, "", 600, ResumeAnswer::Fail},
        {416, "bytes */1000", 0, ResumeAnswer::Fail},
        {404, "", 9, ResumeAnswer::Fail},
        {204, "", 0, ResumeAnswer::Fail},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(modI::MeaningOfResumeAnswer(row.status, row.range, row.announced, 400, 1000), row.meaning)
            << row.status << " " << row.range;
    }
}

TEST(MeaningOfResumeAnswer, HoldsPastTwoAndFourGibibytes) {
    constexpr std::int64_t k2GiB = std::int64_t{1} << 31, k4GiB = std::int64_t{1} << 32;
    const struct {
        std::int64_t held, complete;
        const char* range;
        std::int64_t announced;
        ResumeAnswer meaning;
    } rows[] = {
        {k2GiB, k4GiB + 1, "bytes 2147483648-4294967296/4294967297", k2GiB + 1, ResumeAnswer::Continue},
        {k4GiB, k4GiB + 1, "bytes 4294967296-4294967296/4294967297", 1, ResumeAnswer::Continue},
        {k2GiB + 1, 5000000000, "bytes 2147483649-4999999999/5000000000", 5000000000 - k2GiB - 1,
         ResumeAnswer::Continue},
        // The same numbers cut to 32 bits are another range.
        {k4GiB, k4GiB + 1, "bytes 0-0/1", 1, ResumeAnswer::Fail},
        {k2GiB, k4GiB + 1, "bytes 2147483648-4294967296/4294967296", k2GiB + 1, ResumeAnswer::Fail},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(modI::MeaningOfResumeAnswer(206, row.range, row.announced, row.held, row.complete), row.meaning)
            << row.range;
    }
    EXPECT_EQ(modI::ResumeHeaders(k4GiB + 1, "\"v\""), "Range: bytes=4294967297-\r\nIf-Range: \"v\"\r\n");
}

TEST(ResumeTries, ThreeFruitlessTriesInARowEndTheDownload) {
    modI::ResumeTries nothingYet;
    EXPECT_FALSE(nothingYet.MayTryAgain(0)) << "a break before any byte is not resumed";

    modI::ResumeTries tries;
    EXPECT_TRUE(tries.MayTryAgain(1000));
    EXPECT_TRUE(tries.MayTryAgain(1000));
    EXPECT_TRUE(tries.MayTryAgain(1000));
    EXPECT_EQ(tries.Fruitless(), 2);
    EXPECT_TRUE(tries.MayTryAgain(1500)) << "progress starts the count again";
    EXPECT_EQ(tries.Fruitless(), 0);
    EXPECT_TRUE(tries.MayTryAgain(200)) << "a restarted body that broke earlier brought nothing";
    EXPECT_TRUE(tries.MayTryAgain(1500));
    EXPECT_FALSE(tries.MayTryAgain(1500));
}

// A break after progress is tried again at once; fruitless tries in a row wait longer each time.
TEST(ResumeTries, OnlyFruitlessTriesWait) {
    modI::ResumeTries tries;
    const struct {
        std::int64_t held;
        std::uint32_t waitMs;
    } breaks[] = {
        {1000, 0},     // the first break, after progress
        {2000, 0},     // further again
        {2000, 1000},  // nothing since the last break
        {2000, 2000},
        {2500, 0},  // progress starts the waits again
        {2500, 1000},
    };
    for (const auto& b : breaks) {
        ASSERT_TRUE(tries.MayTryAgain(b.held)) << b.held;
        EXPECT_EQ(tries.WaitBeforeNextTryMs(1000), b.waitMs) << "fruitless " << tries.Fruitless();
    }
}

}  // namespace
