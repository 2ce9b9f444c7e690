// The latest-version query of the main window: asks the download service for its version
// file and gives the text the version label shows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/transfer/connection.h"

namespace latestversion {

// Version, month name, day and year of the service's version file, or the query's error
// text when it cannot be had. Blocks while the transfer runs (events are processed).
std::string GetLatestVersion();

// The same for the version file at `url`; `waiting` as for TransferRequest.
std::string LatestVersionFrom(const std::string& url, modI::Waiting waiting = modI::Waiting::WithEvents);

// When the window shows at the latest, with or without the answer, and when the label gives
// up on the query and shows the error text; milliseconds from the program's start.
struct VersionBounds {
    DWORD showWithinMs = 1500;
    DWORD endWithinMs = 15000;
};
extern VersionBounds QueryBounds;

// Shortens the bounds from the environment (ORB_VERSION_SHOW_MS, ORB_VERSION_END_MS, whole
// milliseconds), so that tests need not wait for them; a longer or unreadable value is
// ignored.
void ReadBoundsFromEnvironment();

// The version query of `url` on a thread of its own, started by the constructor, so that the
// window can show and run while the service takes its time: Ready() is signalled when Text()
// holds the answer. The thread's calls block (modI::Waiting::Blocking): it has no window to
// keep running. Nothing waits for a query that is given up (by destroying it): its thread lets
// go of the transfer by itself when the transfer's calls end, by WinINet's own time-outs at the
// latest, and a process that ends meanwhile ends the thread with it.
class VersionQuery {
public:
    explicit VersionQuery(std::string url);
    ~VersionQuery();
    VersionQuery(const VersionQuery&) = delete;
    VersionQuery& operator=(const VersionQuery&) = delete;

    // Signalled, and stays so, once the text is in.
    HANDLE Ready() const;
    // The text to show; empty until Ready() is signalled.
    std::string Text() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace latestversion
