// The version query against the local download service on the program's own address.
#include "app/latest_version.h"

#include <gtest/gtest.h>

#include "app/transfer.h"

namespace {

// The service is started for this test run by the ctest fixture, on the address the program
// is built with; /_control changes what it serves.
void ControlService(const std::string& query) {
    std::string name;
    const bool no = false;
    ASSERT_EQ(modI::FetchUrl("http://127.0.0.1:8765/_control?" + query, "", false, name, nullptr, no,
                             nullptr, 0),
              "ok");
}

TEST(GetLatestVersion, ShowsTheServicesVersionLine) {
    ControlService("reset=1&version=20120623;2009.4.2");
    EXPECT_EQ(frmMainQueries::GetLatestVersion(), "2009.4.2, June 23, 2012");
    ControlService("reset=1");
}

TEST(GetLatestVersion, ErrorTextWhenNoServiceAnswers) {
    // A port nobody listens on is what a stopped service looks like to the program.
    EXPECT_EQ(frmMainQueries::LatestVersionFrom("http://127.0.0.1:1/latest/version.txt"),
              "Unable to get version information now");
}

}  // namespace
