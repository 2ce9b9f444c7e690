// The local download service of the test run (started by the ctest fixture on the address
// the program is built with, ORB_SERVICE_ADDRESS): /_control changes what it serves.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/transfer/transfer.h"

namespace wintest {

inline void ControlService(const std::string& query) {
    std::string name;
    const bool no = false;
    ASSERT_EQ(modI::FetchUrl({.address = ORB_SERVICE_ADDRESS "/_control?" + query}, name, no), "ok");
}

}  // namespace wintest
