// The program's one network routine: a blocking HTTP GET over WinINet that keeps the window
// responsive, with a cancel flag, a watcher that hears how it goes, and a sink for the body.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/transfer/body_sink.h"
#include "app/transfer/connection.h"
#include "app/transfer/transfer_watcher.h"

namespace modI {

// Connect, send and receive time-out of every transfer, milliseconds: long enough for a
// slow line, short enough that a stalled server cannot hang the program for ever.
// Tests shorten it.
extern DWORD NetworkTimeoutMs;

// The wait before a broken download is asked for the rest after a try that brought nothing,
// milliseconds; each further fruitless try in a row waits twice as long. A break after progress
// is asked again at once. Tests shorten it.
extern DWORD ResumeWaitMs;

// Size of one read.
inline constexpr DWORD kReadSize = 32000;

// What one transfer asks for, filled by name.
struct TransferRequest {
    std::string address;
    // Request headers of the caller's own, lines ending in CRLF as WinINet takes them; empty: none.
    std::string headers;
    // The caller expects a file: the name comes from the content-disposition header, and a
    // reply without a content length is read with one read.
    bool wantFile = false;
    // Smallest content length whose body is read.
    std::int32_t minSize = 0;
    // Whether the announced length takes part in the decisions (the smallest size, the file
    // name, the one read); when not, the body is read as if none were announced. It is read
    // in any case, to tell a complete body from a cut one.
    bool readLength = false;
    // Connect, send and receive time-out, and the bound of each wait, milliseconds.
    DWORD timeoutMs = NetworkTimeoutMs;
    // How the calls wait (Connection): on the window's thread with its events running, or
    // blocked on a thread of the caller's own.
    Waiting waiting = Waiting::WithEvents;
};

// Gets `request.address` and returns the body; empty on failure or cancel (then `fileName` is
// empty too).
//  cancel   read after every read; once true the transfer ends and nothing is returned
//  watcher  told of the transfer's road and its end (TransferWatcher); null: nobody
//  sink     where a body read in the loop goes as it arrives (the result then holds only a
//           short reply read with one read); null: into the result. `fileName` is set
//           before the first piece reaches it; a failed transfer restarts it (it holds
//           nothing then)
// A body that runs past its announced length is a failure; one that ends before it (the line
// broke, or stalled past the time-out) is a failure too unless the download can be resumed: a
// file whose answer named an ETag or a Last-Modified date is asked again for the rest, at
// the address that answered with it, with the progress left where it was (see ResumeTries
// for how often). A truncated body is never handed on.
std::string FetchUrl(const TransferRequest& request, std::string& fileName, const bool& cancel,
                     TransferWatcher* watcher = nullptr, BodySink* sink = nullptr);

}  // namespace modI
