#include "app/transfer/transfer.h"

#include <wininet.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "app/texts/texts.h"
#include "app/transfer/connection.h"
#include "app/transfer/resume_rules.h"
#include "app/transfer/transfer_rules.h"
#include "host/app.h"

namespace modI {

DWORD NetworkTimeoutMs = 30000;
DWORD ResumeWaitMs = 1000;

namespace {

constexpr DWORD kHeaderBufferSize = 1024;
// While pieces of the body keep arriving, the window's events run at least this often.
constexpr DWORD kEventsEveryMs = 10;

// Every path out of a transfer that fails gives this: no body and no file name.
struct Failed {};

// A response header's value as the call reports it; empty when it is absent.
std::string QueryHeader(HINTERNET request, DWORD infoLevel) {
    char buffer[kHeaderBufferSize] = {};
    DWORD length = sizeof buffer;
    DWORD index = 0;
    if (!HttpQueryInfoA(request, infoLevel, buffer, &length, &index)) return {};
    return std::string(buffer, std::min<DWORD>(length, sizeof buffer));
}

int StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD length = sizeof status;
    DWORD index = 0;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, &index)) {
        return 0;
    }
    return static_cast<int>(status);
}

// `location` resolved against the address that answered with it; empty when it cannot be.
std::string ResolveLocation(const std::string& base, const std::string& location) {
    if (location.empty()) return {};
    char combined[INTERNET_MAX_URL_LENGTH] = {};
    DWORD length = sizeof combined;
    if (!InternetCombineUrlA(base.c_str(), location.c_str(), combined, &length, 0)) return {};
    return std::string(combined, length);
}

// Lets the window's events run, at most once every kEventsEveryMs: a fast transfer delivers
// a piece every few dozen microseconds, and looking at the message queue each time would cost
// a sixth of the throughput under Wine (measured), for nothing a user could see.
void LetEventsRun(DWORD& ranAt) {
    const DWORD now = GetTickCount();
    if (now - ranAt < kEventsEveryMs) return;
    ranAt = now;
    host::App::DoEvents();
}

// How one try at the body ended.
enum class BodyEnd { Complete, Broken, Cancelled };

// The validator that lets an answer's body be resumed; empty when it cannot be.
std::string ValidatorOf(HINTERNET request) {
    return ResumeValidator(QueryHeader(request, HTTP_QUERY_ETAG), QueryHeader(request, HTTP_QUERY_LAST_MODIFIED));
}

// Nobody watching.
TransferWatcher& Unwatched() {
    static TransferWatcher nobody;
    return nobody;
}

// One transfer across its tries: what was asked, who watches, and the body so far.
class Transfer {
public:
    Transfer(const TransferRequest& request, const bool& cancel, TransferWatcher& watcher)
        : request_(request), cancel_(cancel), watcher_(watcher) {}

    // The reply, as FetchUrl gives it; Failed when it fails.
    std::string Run(std::string& fileName, BodySink* sink);

    TransferOutcome& Outcome() { return outcome_; }

private:
    std::optional<std::string> OpenAnswer(Connection& connection, const std::string& url, const std::string& headers);
    std::string ReadReply(Connection& connection, std::string& fileName, BodySink* sink);
    bool ReadWholeBody(Connection& connection, BodySink& sink);
    BodyEnd ReadBody(Connection& connection, BodySink& sink);
    BodyEnd ResumeBody(BodySink& sink);
    bool WaitBeforeTrying(DWORD waitMs);
    // Fails the transfer with the connection's error, unless one was noted already.
    [[noreturn]] void Fail(const Connection& connection);

    const TransferRequest& request_;
    const bool& cancel_;
    TransferWatcher& watcher_;
    TransferOutcome outcome_;
    std::string address_;         // where the body came from, after the redirects: where the rest is asked
    std::int64_t held_ = 0;       // bytes the sink holds
    std::int64_t announced_ = 0;  // the whole entity's length; 0 when not announced
    std::string validator_;       // If-Range of a resumed request; empty: not resumed
};

void Transfer::Fail(const Connection& connection) {
    if (outcome_.error == 0) outcome_.error = connection.Error();
    throw Failed{};
}

// Opens `url` and follows its redirects to the answer that carries the body, and gives the
// address that answered. WinINet's own following is switched off because it knows no end: a
// server that redirects to itself would keep the transfer going for ever. An error status is a
// failure, whatever its body. No result when the connection could not open an address (the
// network failed, the time-out passed, or the transfer was cancelled).
std::optional<std::string> Transfer::OpenAnswer(Connection& connection, const std::string& url,
                                                const std::string& headers) {
    std::string address = url;
    for (int redirects = 0;; ++redirects) {
        // Reloaded from the server, and kept out of the cache: the session's "no cache writes"
        // does not reach the requests it opens.
        const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (!connection.Open(address, headers, flags, cancel_)) {
            outcome_.error = connection.Error();
            return std::nullopt;
        }
        const HINTERNET request = connection.Request();
        outcome_.status = StatusCode(request);
        watcher_.OnAnswer(address, outcome_.status);
        switch (MeaningOfStatus(outcome_.status)) {
            case StatusMeaning::Body:
                return address;
            case StatusMeaning::Failure:
                throw Failed{};
            case StatusMeaning::Redirect: {
                if (redirects == kMostRedirects) throw Failed{};
                std::string next = ResolveLocation(address, QueryHeader(request, HTTP_QUERY_LOCATION));
                if (next.empty() || !MayFollowRedirect(address, next)) throw Failed{};
                address = std::move(next);
                break;
            }
        }
    }
}

// Reads the body to its end into `sink`, telling the watcher after each piece and letting the
// window run. The connection reads ahead on its own thread and hands over what has arrived,
// so that a slow server still moves the progress and a fast one is read while the window
// draws. Broken when the line broke or stalled before the announced length; Cancelled:
// whatever arrived is then to be discarded.
BodyEnd Transfer::ReadBody(Connection& connection, BodySink& sink) {
    DWORD eventsRanAt = GetTickCount();
    while (!cancel_) {
        std::string_view chunk;
        if (!connection.ReadBody(kReadSize, cancel_, chunk)) {
            outcome_.error = connection.Error();
            return cancel_ ? BodyEnd::Cancelled : BodyEnd::Broken;
        }
        if (chunk.empty()) {
            // The end of the data, or a connection that dropped before the announced length.
            return announced_ > 0 && held_ != announced_ ? BodyEnd::Broken : BodyEnd::Complete;
        }
        if (!sink.Append(chunk)) throw Failed{};
        held_ += static_cast<std::int64_t>(chunk.size());
        outcome_.bytes += static_cast<std::int64_t>(chunk.size());
        if (announced_ > 0 && held_ > announced_) throw Failed{};
        watcher_.OnProgress(held_, announced_);
        LetEventsRun(eventsRanAt);
    }
    return BodyEnd::Cancelled;
}

// Waits before the next try, the window's events running; the watcher hears of the pause and
// of its end. False when cancelled.
bool Transfer::WaitBeforeTrying(DWORD waitMs) {
    watcher_.OnPaused(held_);
    const DWORD start = GetTickCount();
    host::App::DoEvents();
    for (;;) {
        if (cancel_) return false;
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the tick wrap
        if (elapsed >= waitMs) break;
        host::App::WaitForEvents(nullptr, waitMs - elapsed);
    }
    watcher_.OnResuming(held_);
    return true;
}

// One more try at the rest of the body, on a connection of its own: the address that answered
// with it is asked for the bytes from the first one missing on, as long as the entity is the
// same; an answer with the whole entity starts the body again.
BodyEnd Transfer::ResumeBody(BodySink& sink) {
    ++outcome_.resumes;
    Connection connection(texts::AgentName.Decode(), request_.timeoutMs, request_.waiting);
    if (!connection.Ok()) Fail(connection);
    const auto address = OpenAnswer(connection, address_, request_.headers + ResumeHeaders(held_, validator_));
    if (!address) return cancel_ ? BodyEnd::Cancelled : BodyEnd::Broken;
    const HINTERNET request = connection.Request();
    const auto announced = ParseContentLength(QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!announced) throw Failed{};
    const std::string contentRange = QueryHeader(request, HTTP_QUERY_CONTENT_RANGE);
    const ResumeAnswer meaning = MeaningOfResumeAnswer(outcome_.status, contentRange, *announced, held_, announced_);
    watcher_.OnResumeAnswer(outcome_.status, contentRange, meaning);
    switch (meaning) {
        case ResumeAnswer::Continue:
            break;
        case ResumeAnswer::Restart:
            // A length must be announced, or a later break could not be told from the end.
            if (*announced == 0 || !sink.Restart()) throw Failed{};
            held_ = 0;
            announced_ = *announced;
            validator_ = ValidatorOf(request);
            watcher_.OnRestarted(announced_);
            watcher_.OnProgress(held_, announced_);
            break;
        case ResumeAnswer::Fail:
            throw Failed{};
    }
    return ReadBody(connection, sink);
}

// Reads the body into `sink`, and asks for the rest as long as the line breaks and the
// download may go on. False when cancelled.
bool Transfer::ReadWholeBody(Connection& connection, BodySink& sink) {
    BodyEnd end = ReadBody(connection, sink);
    ResumeTries tries;
    while (end == BodyEnd::Broken) {
        if (validator_.empty() || !tries.MayTryAgain(held_)) throw Failed{};
        if (!WaitBeforeTrying(tries.WaitBeforeNextTryMs(ResumeWaitMs))) return false;
        end = ResumeBody(sink);
    }
    return end == BodyEnd::Complete;
}

// The reply's body: short replies in the result; a body read in the loop goes to `sink`, or
// into the result when there is none.
std::string Transfer::ReadReply(Connection& connection, std::string& fileName, BodySink* sink) {
    const HINTERNET request = connection.Request();
    // The announced length is always read, to tell a complete body from a cut one; it takes
    // part in the decisions below only when the request says so.
    const auto announced = ParseContentLength(QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!announced) throw Failed{};
    const std::int64_t contentLength = request_.readLength ? *announced : 0;
    if (contentLength >= request_.minSize && request_.wantFile) {
        const auto name = FileNameFromDisposition(QueryHeader(request, HTTP_QUERY_CONTENT_DISPOSITION));
        if (!name) throw Failed{};
        fileName = *name;
    } else if (request_.wantFile && contentLength == 0) {
        // A short reply without length, such as a busy notice: one read.
        std::string_view reply;
        if (!connection.ReadOnce(kReadSize, cancel_, reply)) Fail(connection);
        return std::string(reply);
    }
    if (contentLength < request_.minSize) return {};
    announced_ = *announced;
    watcher_.OnBodyStarted(announced_);
    // Only a file of announced length is resumed: a short text reply is asked again whole by
    // its caller, and without a length a break cannot be told from the end.
    if (request_.wantFile && announced_ > 0) validator_ = ValidatorOf(request);
    if (sink) {
        ReadWholeBody(connection, *sink);
        return {};
    }
    MemorySink memory;
    // Room for what was announced, as far as a reply kept in memory may need it: a length
    // past what this process can hold is not reserved (the reply is read as it comes).
    constexpr std::int64_t kLargestReserve = std::int64_t{1} << 24;
    if (contentLength > 0) memory.body.reserve(static_cast<std::size_t>(std::min(contentLength, kLargestReserve)));
    if (!ReadWholeBody(connection, memory)) return {};
    return std::move(memory.body);
}

std::string Transfer::Run(std::string& fileName, BodySink* sink) {
    Connection connection(texts::AgentName.Decode(), request_.timeoutMs, request_.waiting);
    if (!connection.Ok()) Fail(connection);
    const auto address = OpenAnswer(connection, request_.address, request_.headers);
    if (!address) throw Failed{};
    address_ = *address;
    return ReadReply(connection, fileName, sink);
}  // both handles are closed here, unless a call that was given up still holds them

}  // namespace

std::string FetchUrl(const TransferRequest& request, std::string& fileName, const bool& cancel,
                     TransferWatcher* watcher, BodySink* sink) {
    fileName.clear();
    std::string result;
    bool failed = false;
    const DWORD start = GetTickCount();
    Transfer transfer(request, cancel, watcher ? *watcher : Unwatched());
    try {
        result = transfer.Run(fileName, sink);
    } catch (const Failed&) {
        failed = true;
    } catch (const std::bad_alloc&) {
        // A body larger than the program can hold (a 32-bit process reserving the
        // announced length of a reply near 2 GB): a failed transfer, not the end of it.
        failed = true;
    }
    if (failed || cancel) {
        result.clear();
        fileName.clear();
    }
    if (failed && sink) sink->Restart();  // a cut body is dropped from the sink as well
    TransferOutcome& outcome = transfer.Outcome();
    outcome.end = cancel ? TransferEnd::Cancelled : failed ? TransferEnd::Failed : TransferEnd::Complete;
    if (outcome.end != TransferEnd::Failed) outcome.error = 0;
    outcome.elapsedMs = GetTickCount() - start;
    if (watcher) watcher->OnEnded(outcome);
    return result;
}

}  // namespace modI
