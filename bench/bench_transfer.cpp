// Download benchmark: FetchUrl with its progress bar and event processing against a bare
// WinINet read loop of 32000-byte reads, on the same address.
//   bench_transfer.exe fetch URL     one FetchUrl download into a visible progress bar
//   bench_transfer.exe bare URL      the bare loop
// Prints one line: "<mode> bytes=<n> seconds=<s> base_bytes=<working set before the download>
// peak_bytes=<peak working set>". The working set before the download is what the process
// holds without any body: the system's own share under Wine, and the window's.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/transfer.h"
#include "host/app.h"
#include "host/form.h"
#include "host/standard_controls.h"

namespace {

std::size_t BareDownload(const std::string& url) {
    HINTERNET session = InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE);
    HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    std::string body;
    static char chunk[32000];
    DWORD got = 0;
    while (request && InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) body.append(chunk, got);
    if (request) InternetCloseHandle(request);
    InternetCloseHandle(session);
    return body.size();
}

std::size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

std::size_t BareDownload(const std::string& url, std::size_t& baseBytes) {
    baseBytes = WorkingSet();
    return BareDownload(url);
}

std::size_t FetchWithProgress(const std::string& url, std::size_t& baseBytes) {
    host::Form form("frmBench");
    form.Move(0, 0, 6000, 1500);
    form.Show();
    auto& bar = form.Add<host::PictureBox>("picPB");
    bar.Move(150, 150, 4500, 450);
    bar.SetAutoRedraw(true);
    host::App::DoEvents();
    baseBytes = WorkingSet();
    std::string name;
    const bool cancel = false;
    return modI::FetchUrl(url, "", true, name, &bar, cancel, nullptr, 20000).size();
}

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s fetch|bare URL\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const auto start = std::chrono::steady_clock::now();
    std::size_t baseBytes = 0;
    const std::size_t bytes = mode == "bare" ? BareDownload(argv[2], baseBytes) : FetchWithProgress(argv[2], baseBytes);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s bytes=%zu seconds=%.4f base_bytes=%zu peak_bytes=%zu\n", mode.c_str(), bytes, seconds, baseBytes,
                PeakWorkingSet());
    return bytes > 0 ? 0 : 1;
}
