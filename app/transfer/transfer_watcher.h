// What a transfer tells whoever watches it: each answer, the body's start, its progress, a
// break and the try at the rest, and how it ended, with the facts of the whole road. The
// window draws its progress bar and taskbar button from it; a log or a test records it. Every
// event has an empty body, so that a watcher implements only what it wants, and a new event
// reaches no watcher that does not ask for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/transfer/resume_rules.h"

namespace modI {

// How a transfer ended.
enum class TransferEnd {
    Complete,   // the answer was read as the request asked (a body, a short reply, or nothing below the smallest size)
    Failed,     // no body: the network, the server or the sink failed
    Cancelled,  // the cancel flag turned true; whatever arrived is discarded
};

// The facts of one transfer, as it ended.
struct TransferOutcome {
    TransferEnd end = TransferEnd::Failed;
    int status = 0;              // HTTP status of the last answer; 0 when none came
    unsigned long error = 0;     // the system's error of the call that failed (WinINet's, or a time-out); 0 if none
    std::int64_t bytes = 0;      // bytes of the body that arrived in the loop, across all its tries
    int resumes = 0;             // requests for the rest of a broken body
    std::uint32_t elapsedMs = 0; // from the first request to the end
};

class TransferWatcher {
public:
    virtual ~TransferWatcher() = default;

    // An answer came from `address`: the first request's, each redirect's and each resume's.
    virtual void OnAnswer(const std::string& /*address*/, int /*status*/) {}
    // The body is read in the loop from now on; `announced` bytes long, 0 when not announced.
    virtual void OnBodyStarted(std::int64_t /*announced*/) {}
    // `held` bytes of the body have arrived, of `announced` (0: not announced). Also right
    // after the body starts again (held 0).
    virtual void OnProgress(std::int64_t /*held*/, std::int64_t /*announced*/) {}
    // The line broke with `held` bytes held; the transfer waits before it asks for the rest.
    virtual void OnPaused(std::int64_t /*held*/) {}
    // The wait is over: the rest is asked for from byte `from` on.
    virtual void OnResuming(std::int64_t /*from*/) {}
    // The answer to that request: its status, its Content-Range header and what it means.
    virtual void OnResumeAnswer(int /*status*/, std::string_view /*contentRange*/, ResumeAnswer /*meaning*/) {}
    // The server sent the whole entity again, `announced` bytes: the body starts from its
    // first byte (OnProgress follows with 0 held).
    virtual void OnRestarted(std::int64_t /*announced*/) {}
    // The transfer is over; nothing more is reported.
    virtual void OnEnded(const TransferOutcome& /*outcome*/) {}
};

}  // namespace modI
