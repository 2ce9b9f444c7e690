#include "app/transfer.h"

#include <wininet.h>

#include <algorithm>
#include <optional>

#include "app/mod_main.h"
#include "app/texts.h"
#include "app/transfer_rules.h"
#include "host/app.h"
#include "host/standard_controls.h"
#include "host/handles.h"

namespace modI {

DWORD NetworkTimeoutMs = 30000;

namespace {

constexpr DWORD kHeaderBufferSize = 1024;

// Every path out of a transfer that fails gives this: no body and no file name.
struct Failed {};

void SetTimeouts(HINTERNET session) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(session, option, &NetworkTimeoutMs, sizeof NetworkTimeoutMs);
    }
}

// A response header's value as the call reports it; empty when it is absent.
std::string QueryHeader(HINTERNET request, DWORD infoLevel) {
    char buffer[kHeaderBufferSize] = {};
    DWORD length = sizeof buffer;
    DWORD index = 0;
    if (!HttpQueryInfoA(request, infoLevel, buffer, &length, &index)) return {};
    return std::string(buffer, std::min<DWORD>(length, sizeof buffer));
}

// One read of at most kReadSize bytes; what it delivered, possibly nothing.
std::string ReadOnce(HINTERNET request) {
    std::string data(kReadSize, '\0');
    DWORD got = 0;
    if (!InternetReadFile(request, data.data(), kReadSize, &got)) throw Failed{};
    data.resize(got);
    return data;
}

// Reads the body to its end, drawing progress and letting the window run after each read.
// Each read takes only what has arrived, so that a slow server still lets events (the
// cancel button) through between small reads.
std::string ReadBody(HINTERNET request, std::int32_t contentLength, std::int32_t announced,
                     host::PictureBox* progress, const bool& cancel) {
    std::string body;
    if (contentLength > 0) body.reserve(static_cast<std::size_t>(contentLength));
    std::string chunk(kReadSize, '\0');
    std::int64_t total = 0;
    int drawnPercent = -1;  // a bar redrawn at the same percentage would look the same
    while (!cancel) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) throw Failed{};
        const DWORD wanted = available == 0 ? kReadSize : std::min(available, kReadSize);
        DWORD got = 0;
        if (!InternetReadFile(request, chunk.data(), wanted, &got)) throw Failed{};
        if (got == 0) {
            // The end of the data, or a connection that dropped before the announced length.
            if (announced > 0 && total != announced) throw Failed{};
            return body;
        }
        body.append(chunk.data(), got);
        total += got;
        if (announced > 0 && total > announced) throw Failed{};
        if (progress) {
            const auto percent = ProgressPercent(total, contentLength);
            if (percent > 255) throw Failed{};
            if (percent != drawnPercent) {
                DrawProgress(*progress, static_cast<std::uint8_t>(percent));
                drawnPercent = static_cast<int>(percent);
            }
        }
        host::App::DoEvents();
    }
    return {};  // cancelled: whatever arrived is discarded
}

std::string ReadReply(HINTERNET request, bool wantFile, std::string& fileName,
                      host::PictureBox* progress, const bool& cancel, host::Timer* activity,
                      std::int32_t minSize) {
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
        return ReadOnce(request);  // a short reply without length, such as a busy notice
    }
    if (contentLength < minSize) return {};
    if (activity) activity->SetEnabled(true);
    return ReadBody(request, contentLength, *announced, progress, cancel);
}

}  // namespace

std::string FetchUrl(const std::string& url, const std::string& headers, bool wantFile,
                     std::string& fileName, host::PictureBox* progress, const bool& cancel,
                     host::Timer* activity, std::int32_t minSize) {
    fileName.clear();
    std::string result;
    const std::string agent = texts::AgentName.Decode();
    host::unique_internet session(
        InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE));
    if (session) {
        SetTimeouts(session.get());
        host::unique_internet request(InternetOpenUrlA(
            session.get(), url.c_str(), headers.empty() ? nullptr : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1), INTERNET_FLAG_RELOAD, 0));
        if (request) {
            SetTimeouts(request.get());  // the body's reads wait on the request's own time-out
            try {
                result = ReadReply(request.get(), wantFile, fileName, progress, cancel, activity, minSize);
            } catch (const Failed&) {
                result.clear();
                fileName.clear();
            }
        }
    }
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
