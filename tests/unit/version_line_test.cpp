// The latest-version line shown under "Latest version:".
#include "app/version/version_line.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kError = "Unable to get version information now";

TEST(FormatLatestVersion, Cases) {
    const struct {
        const char* name;
        const char* body;
        const char* shown;
    } cases[] = {
        {"date and version", "20120623;3.1.4", "3.1.4, June 23, 2012"},
        {"leading zero of the day dropped", "20120605;3.1.4", "3.1.4, June 5, 2012"},
        {"only the first line", "20120623;3.1.4\r\nnotes\r\n20990101;9", "3.1.4, June 23, 2012"},
        {"no separator: whole line as version", "20120623", "20120623, June 23, 2012"},
        {"characters after the date ignored", "20120623 rc;3.1", "3.1, June 23, 2012"},
        {"month 13: empty name, no error", "20121323;3", "3,  23, 2012"},
        {"day not a number: 0", "201206xx;3", "3, June 0, 2012"},
        {"month not a number", "2012xx23;3", kError},
        {"line shorter than six characters", "20120", kError},
        {"empty body", "", kError},
        {"lone line feed is not a line end", "20120623;3\nx", "3\nx, June 23, 2012"},
    };
    for (const auto& c : cases) EXPECT_EQ(modMain::FormatLatestVersion(c.body), c.shown) << c.name;
}

TEST(GetMonthName, NamesOneToTwelveOnly) {
    EXPECT_EQ(modMain::GetMonthName(1), "January");
    EXPECT_EQ(modMain::GetMonthName(12), "December");
    EXPECT_EQ(modMain::GetMonthName(0), "");
    EXPECT_EQ(modMain::GetMonthName(13), "");
}

}  // namespace
