#include "app/latest_version.h"

#include "app/texts.h"
#include "app/transfer.h"
#include "app/version_line.h"

namespace frmMainQueries {

std::string GetLatestVersion() { return LatestVersionFrom(texts::VersionUrl.Decode()); }

std::string LatestVersionFrom(const std::string& url) {
    std::string fileName;
    const bool neverCancelled = false;
    const std::string body = modI::FetchUrl(url, "", false, fileName, nullptr, neverCancelled, nullptr, 0);
    return modMain::FormatLatestVersion(body);
}

}  // namespace frmMainQueries
