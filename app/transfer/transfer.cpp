#include "app/transfer/transfer.h"

#include <wininet.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "app/transfer/connection.h"
#include "app/program/mod_main.h"
#include "app/transfer/resume_rules.h"
#include "app/window/taskbar.h"
#include "app/texts/texts.h"
#include "app/transfer/transfer_rules.h"
#include "host/app.h"
#include "host/standard_controls.h"

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

// Opens `url` and follows its redirects to the answer that carries the body, and gives the
// address that answered. WinINet's own following is switched off because it knows no end: a
// server that redirects to itself would keep the transfer going for ever. An error status is a
// failure, whatever its body. No result when the connection could not open an address (the
// network failed, the time-out passed, or the transfer was cancelled).
std::optional<std::string> OpenAnswer(Connection& connection, const std::string& url, const std::string& headers,
                                      const bool& cancel) {
    std::string address = url;
    for (int redirects = 0;; ++redirects) {
        // Reloaded from the server, and kept out of the cache: the session's "no cache writes"
        // does not reach the requests it opens.
        const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (!connection.Open(address, headers, flags, cancel)) return std::nullopt;
        const HINTERNET request = connection.Request();
        switch (MeaningOfStatus(StatusCode(request))) {
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

// Lets the window's events run, at most once every kEventsEveryMs: a fast transfer delivers
// a piece every few dozen microseconds, and looking at the message queue each time would cost
// a sixth of the throughput under Wine (measured), for nothing a user could see.
void LetEventsRun(DWORD& ranAt) {
    const DWORD now = GetTickCount();
    if (now - ranAt < kEventsEveryMs) return;
    ranAt = now;
    host::App::DoEvents();
}

// The body of one download across its tries.
struct Body {
    std::string address;        // where it came from, after the redirects: where the rest is asked
    std::int64_t held = 0;      // bytes the sink holds
    std::int64_t announced = 0; // the whole entity's length; 0 when not announced
    std::string validator;      // If-Range of a resumed request; empty: not resumed
    int drawnPercent = -1;      // a bar redrawn at the same percentage would look the same
    HWND window = nullptr;      // the window of the progress bar, whose taskbar button shows it too
};

// How one try at the body ended.
enum class BodyEnd { Complete, Broken, Cancelled };

// The taskbar button of the window the progress bar is in, when there is a bar. Known by its
// handle, which stays safe to ask about when the window has been unloaded meanwhile.
void ShowProgressOnTaskbar(const Body& body, TaskbarState state, int percent = -1) {
    if (body.window && IsWindow(body.window)) ShowOnTaskbar(body.window, state, percent);
}

void DrawBodyProgress(Body& body, host::PictureBox* progress) {
    if (!progress) return;
    const auto percent = ProgressPercent(body.held, body.announced);
    if (percent > 255) throw Failed{};
    if (percent == body.drawnPercent) return;
    DrawProgress(*progress, static_cast<std::uint8_t>(percent));
    ShowProgressOnTaskbar(body, TaskbarState::Normal, static_cast<int>(std::min<std::int64_t>(percent, 100)));
    body.drawnPercent = static_cast<int>(percent);
}

// Reads the body to its end into `sink`, drawing progress and letting the window run after
// each piece. The connection reads ahead on its own thread and hands over what has arrived,
// so that a slow server still moves the progress and a fast one is read while the window
// draws. Broken when the line broke or stalled before the announced length; Cancelled:
// whatever arrived is then to be discarded.
BodyEnd ReadBody(Connection& connection, Body& body, host::PictureBox* progress, const bool& cancel,
                 BodySink& sink) {
    DWORD eventsRanAt = GetTickCount();
    while (!cancel) {
        std::string_view chunk;
        if (!connection.ReadBody(kReadSize, cancel, chunk)) return cancel ? BodyEnd::Cancelled : BodyEnd::Broken;
        if (chunk.empty()) {
            // The end of the data, or a connection that dropped before the announced length.
            return body.announced > 0 && body.held != body.announced ? BodyEnd::Broken : BodyEnd::Complete;
        }
        if (!sink.Append(chunk)) throw Failed{};
        body.held += static_cast<std::int64_t>(chunk.size());
        if (body.announced > 0 && body.held > body.announced) throw Failed{};
        DrawBodyProgress(body, progress);
        LetEventsRun(eventsRanAt);
    }
    return BodyEnd::Cancelled;
}

// Waits before the next try, the window's events running; the taskbar shows the download
// paused meanwhile. False when cancelled.
bool WaitBeforeTrying(DWORD waitMs, const Body& body, const bool& cancel) {
    ShowProgressOnTaskbar(body, TaskbarState::Paused);
    const DWORD start = GetTickCount();
    for (;;) {
        host::App::DoEvents();
        if (cancel) return false;
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the tick wrap
        if (elapsed >= waitMs) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(waitMs - elapsed, 50), QS_ALLINPUT);
    }
    ShowProgressOnTaskbar(body, TaskbarState::Normal);
    return true;
}

// The validator that lets an answer's body be resumed; empty when it cannot be.
std::string ValidatorOf(HINTERNET request) {
    return ResumeValidator(QueryHeader(request, HTTP_QUERY_ETAG), QueryHeader(request, HTTP_QUERY_LAST_MODIFIED));
}

// One more try at the rest of the body, on a connection of its own: the address that answered
// with it is asked for the bytes from the first one missing on, as long as the entity is the
// same; an answer with the whole entity starts the body again.
BodyEnd ResumeBody(Body& body, const std::string& headers, host::PictureBox* progress, const bool& cancel,
                   Waiting waiting, BodySink& sink) {
    Connection connection(texts::AgentName.Decode(), NetworkTimeoutMs, waiting);
    if (!connection.Ok()) throw Failed{};
    const auto address = OpenAnswer(connection, body.address, headers + ResumeHeaders(body.held, body.validator), cancel);
    if (!address) return cancel ? BodyEnd::Cancelled : BodyEnd::Broken;
    const HINTERNET request = connection.Request();
    const auto announced = ParseContentLength(QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!announced) throw Failed{};
    switch (MeaningOfResumeAnswer(StatusCode(request), QueryHeader(request, HTTP_QUERY_CONTENT_RANGE), *announced,
                                  body.held, body.announced)) {
        case ResumeAnswer::Continue:
            break;
        case ResumeAnswer::Restart:
            // A length must be announced, or a later break could not be told from the end.
            if (*announced == 0 || !sink.Restart()) throw Failed{};
            body.held = 0;
            body.announced = *announced;
            body.validator = ValidatorOf(request);
            body.drawnPercent = -1;
            DrawBodyProgress(body, progress);
            break;
        case ResumeAnswer::Fail:
            throw Failed{};
    }
    return ReadBody(connection, body, progress, cancel, sink);
}

// Reads the body into `sink`, and asks for the rest as long as the line breaks and the
// download may go on. False when cancelled.
bool ReadWholeBody(Connection& connection, Body& body, const std::string& headers, host::PictureBox* progress,
                   const bool& cancel, Waiting waiting, BodySink& sink) {
    BodyEnd end = ReadBody(connection, body, progress, cancel, sink);
    ResumeTries tries;
    while (end == BodyEnd::Broken) {
        if (body.validator.empty() || !tries.MayTryAgain(body.held)) throw Failed{};
        if (!WaitBeforeTrying(tries.WaitBeforeNextTryMs(ResumeWaitMs), body, cancel)) return false;
        end = ResumeBody(body, headers, progress, cancel, waiting, sink);
    }
    return end == BodyEnd::Complete;
}

// The reply's body: short replies in the result; a body read in the loop goes to `sink`, or
// into the result when there is none.
std::string ReadReply(Connection& connection, Body& body, const std::string& headers, bool wantFile,
                      std::string& fileName, host::PictureBox* progress, const bool& cancel, host::Timer* activity,
                      std::int32_t minSize, Waiting waiting, BodySink* sink) {
    const HINTERNET request = connection.Request();
    // The announced length is always read, to tell a complete body from a cut one; it takes
    // part in the decisions below only when there is a progress bar to draw.
    const auto announced = ParseContentLength(QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!announced) throw Failed{};
    const std::int64_t contentLength = progress ? *announced : 0;
    if (contentLength >= minSize && wantFile) {
        const auto name = FileNameFromDisposition(QueryHeader(request, HTTP_QUERY_CONTENT_DISPOSITION));
        if (!name) throw Failed{};
        fileName = *name;
    } else if (wantFile && contentLength == 0) {
        // A short reply without length, such as a busy notice: one read.
        std::string_view reply;
        if (!connection.ReadOnce(kReadSize, cancel, reply)) throw Failed{};
        return std::string(reply);
    }
    if (contentLength < minSize) return {};
    if (activity) activity->SetEnabled(true);
    body.announced = *announced;
    // Only a file of announced length is resumed: a short text reply is asked again whole by
    // its caller, and without a length a break cannot be told from the end.
    if (wantFile && body.announced > 0) body.validator = ValidatorOf(request);
    if (sink) {
        ReadWholeBody(connection, body, headers, progress, cancel, waiting, *sink);
        return {};
    }
    MemorySink memory;
    // Room for what was announced, as far as a reply kept in memory may need it: a length
    // past what this process can hold is not reserved (the reply is read as it comes).
    constexpr std::int64_t kLargestReserve = std::int64_t{1} << 24;
    if (contentLength > 0) memory.body.reserve(static_cast<std::size_t>(std::min(contentLength, kLargestReserve)));
    if (!ReadWholeBody(connection, body, headers, progress, cancel, waiting, memory)) return {};
    return std::move(memory.body);
}

}  // namespace

std::string FetchUrl(const std::string& url, const std::string& headers, bool wantFile,
                     std::string& fileName, host::PictureBox* progress, const bool& cancel,
                     host::Timer* activity, std::int32_t minSize, Waiting waiting, BodySink* sink) {
    fileName.clear();
    std::string result;
    bool failed = false;
    Body body;
    if (progress) body.window = GetAncestor(progress->hWnd(), GA_ROOT);
    {
        Connection connection(texts::AgentName.Decode(), NetworkTimeoutMs, waiting);
        try {
            if (!connection.Ok()) throw Failed{};
            const auto address = OpenAnswer(connection, url, headers, cancel);
            if (!address) throw Failed{};
            body.address = *address;
            result = ReadReply(connection, body, headers, wantFile, fileName, progress, cancel, activity, minSize,
                               waiting, sink);
        } catch (const Failed&) {
            failed = true;
        } catch (const std::bad_alloc&) {
            // A body larger than the program can hold (a 32-bit process reserving the
            // announced length of a reply near 2 GB): a failed transfer, not the end of it.
            failed = true;
        }
    }  // both handles are closed here, unless a call that was given up still holds them
    if (failed || cancel) {
        result.clear();
        fileName.clear();
    }
    if (failed && sink) sink->Restart();  // a cut body is dropped from the sink as well
    // Not the progress bar: a window unloaded during the download has taken its controls along.
    ShowProgressOnTaskbar(body, failed && !cancel ? TaskbarState::Error : TaskbarState::None);
    return result;
}

void DrawProgress(host::PictureBox& progress, std::uint8_t percent) {
    const HWND window = progress.hWnd();
    if (!IsWindow(window)) return;  // the window has gone; nothing to draw into
    if (percent == 0) {
        progress.SetVisible(true);
        progress.Cls();
    }
    const std::string text = ProgressText(percent);
    const std::string digits = std::to_string(percent);  // to_wstring would print through the C library
    progress.SetAccessibleValue(std::wstring(digits.begin(), digits.end()) + L"%");
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    progress.Cls();
    const HDC dc = progress.hDC();
    SetBkMode(dc, TRANSPARENT);  // the text lies over both the filled and the empty part
    const int tpx = modMain::TwipsPerPixelX;
    const int tpy = modMain::TwipsPerPixelY;
    Rectangle(dc, 0, 0, ProgressFillRight(percent, progress.Width(), tpx), 20);
    RECT area{0, 1, progress.Width() / tpx - 2, progress.Height() / tpy};
    DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER);
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace modI
