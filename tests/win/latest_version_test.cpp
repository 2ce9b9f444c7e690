// The version query against the local download service on the program's own address.
#include "app/version/latest_version.h"

#include <gtest/gtest.h>

#include "service_control.h"

#include "app/transfer/transfer.h"

namespace {

using wintest::ControlService;

TEST(GetLatestVersion, ShowsTheServicesVersionLine) {
    ControlService("reset=1&version=20120623;2009.4.2");
    EXPECT_EQ(latestversion::GetLatestVersion(), "2009.4.2, June 23, 2012");
    ControlService("reset=1");
}

TEST(GetLatestVersion, ErrorTextWhenNoServiceAnswers) {
    // A port nobody listens on is what a stopped service looks like to the program.
    EXPECT_EQ(latestversion::LatestVersionFrom("http://127.0.0.1:1/latest/version.txt"),
              "Unable to get version information now");
}

}  // namespace
