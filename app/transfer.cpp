#include "app/transfer.h"

#include <wininet.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

#include "app/connection.h"
#include "app/mod_main.h"
#include "app/texts.h"
#include "app/transfer_rules.h"
#include "host/app.h"
#include "host/standard_controls.h"

namespace modI {

DWORD NetworkTimeoutMs = 30000;

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

// Opens `url` and follows its redirects to the answer that carries the body. WinINet's own
// following is switched off because it knows no end: a server that redirects to itself
// would keep the transfer going for ever. An error status is a failure, whatever its body.
void OpenAnswer(Connection& connection, const std::string& url, const std::string& headers, const bool& cancel) {
    std::string address = url;
    for (int redirects = 0;; ++redirects) {
        // Reloaded from the server, and kept out of the cache: the session's "no cache writes"
        // does not reach the requests it opens.
        const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (!connection.Open(address, headers, flags, cancel)) {
            throw Failed{};
        }
        const HINTERNET request = connection.Request();
        switch (MeaningOfStatus(StatusCode(request))) {
            case StatusMeaning::Body:
                return;
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

// Reads the body to its end into `sink`, drawing progress and letting the window run after
// each piece. The connection reads ahead on its own thread and hands over what has arrived,
// so that a slow server still moves the progress and a fast one is read while the window
// draws. False when cancelled: whatever arrived is then to be discarded.
bool ReadBody(Connection& connection, std::int32_t contentLength, std::int32_t announced,
              host::PictureBox* progress, const bool& cancel, BodySink& sink) {
    std::int64_t total = 0;
    int drawnPercent = -1;  // a bar redrawn at the same percentage would look the same
    DWORD eventsRanAt = GetTickCount();
    while (!cancel) {
        std::string_view chunk;
        if (!connection.ReadBody(kReadSize, cancel, chunk)) throw Failed{};
        if (chunk.empty()) {
            // The end of the data, or a connection that dropped before the announced length.
            if (announced > 0 && total != announced) throw Failed{};
            return true;
        }
        if (!sink.Append(chunk)) throw Failed{};
        total += static_cast<std::int64_t>(chunk.size());
        if (announced > 0 && total > announced) throw Failed{};
        if (progress) {
            const auto percent = ProgressPercent(total, contentLength);
            if (percent > 255) throw Failed{};
            if (percent != drawnPercent) {
                DrawProgress(*progress, static_cast<std::uint8_t>(percent));
                drawnPercent = static_cast<int>(percent);
            }
        }
        LetEventsRun(eventsRanAt);
    }
    return false;
}

// The reply's body: short replies in the result; a body read in the loop goes to `sink`, or
// into the result when there is none.
std::string ReadReply(Connection& connection, bool wantFile, std::string& fileName, host::PictureBox* progress,
                      const bool& cancel, host::Timer* activity, std::int32_t minSize, BodySink* sink) {
    const HINTERNET request = connection.Request();
    // The announced length is always read, to tell a complete body from a cut one; it takes
    // part in the decisions below only when there is a progress bar to draw.
    const auto announced = ParseContentLength(QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!announced) throw Failed{};
    const std::int32_t contentLength = progress ? *announced : 0;
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
    if (sink) {
        ReadBody(connection, contentLength, *announced, progress, cancel, *sink);
        return {};
    }
    MemorySink memory;
    if (contentLength > 0) memory.body.reserve(static_cast<std::size_t>(contentLength));
    if (!ReadBody(connection, contentLength, *announced, progress, cancel, memory)) return {};
    return std::move(memory.body);
}

}  // namespace

std::string FetchUrl(const std::string& url, const std::string& headers, bool wantFile,
                     std::string& fileName, host::PictureBox* progress, const bool& cancel,
                     host::Timer* activity, std::int32_t minSize, Waiting waiting, BodySink* sink) {
    fileName.clear();
    std::string result;
    {
        Connection connection(texts::AgentName.Decode(), NetworkTimeoutMs, waiting);
        try {
            if (!connection.Ok()) throw Failed{};
            OpenAnswer(connection, url, headers, cancel);
            result = ReadReply(connection, wantFile, fileName, progress, cancel, activity, minSize, sink);
        } catch (const Failed&) {
            result.clear();
            fileName.clear();
        } catch (const std::bad_alloc&) {
            // A body larger than the program can hold (a 32-bit process reserving the
            // announced length of a reply near 2 GB): a failed transfer, not the end of it.
            result.clear();
            fileName.clear();
        }
    }  // both handles are closed here, unless a call that was given up still holds them
    if (cancel) {
        result.clear();
        fileName.clear();
    }
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
    progress.SetAccessibleValue(std::to_wstring(percent) + L"%");
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
