// The latest-version line: the first line of the service's version file, shown as
// "version, month day, year".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modMain {

// The name of month 1 to 12; empty for any other value.
std::string GetMonthName(std::uint8_t month);

// The text the version label shows for a version file's body: version, month name, day and
// year; the query's error text when the body holds no month number.
std::string FormatLatestVersion(std::string_view body);

}  // namespace modMain
