// The latest-version query of the main window: asks the download service for its version
// file and gives the text the version label shows.
#pragma once

#include <string>

namespace frmMainQueries {

// Version, month name, day and year of the service's version file, or the query's error
// text when it cannot be had. Blocks while the transfer runs (events are processed).
std::string GetLatestVersion();

// The same for the version file at `url`.
std::string LatestVersionFrom(const std::string& url);

}  // namespace frmMainQueries
