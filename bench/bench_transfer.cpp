// Download benchmark: FetchUrl with its progress bar and event processing, the body written to
// a file piece by piece, against a bare WinINet read loop of 32000-byte reads that also writes
// each piece to a file, on the same address.
//   bench_transfer.exe fetch URL FILE     one FetchUrl download into a visible progress bar
//   bench_transfer.exe bare URL FILE      the bare loop
// Prints one line: "<mode> bytes=<n> seconds=<s> base_bytes=<working set before the download>
// peak_bytes=<peak working set>". The working set before the download is what the process
// holds without any body: the system's own share under Wine, and the window's.
// The file sink is the bench's own: it writes each piece as it comes, as the install does.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/body_sink.h"
#include "app/transfer.h"
#include "host/app.h"
#include "host/form.h"
#include "host/standard_controls.h"

namespace {

// Each piece written to the file as it arrives; what it holds counted.
class FileSink final : public modI::BodySink {
public:
    explicit FileSink(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileSink() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    bool Restart() override {
        LARGE_INTEGER start{};
        held = 0;
        return SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
    }
    bool Append(std::string_view piece) override {
        DWORD written = 0;
        const bool ok = WriteFile(file_, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) &&
                        written == piece.size();
        held += written;
        return ok;
    }
    std::size_t held = 0;

private:
    HANDLE file_;
};

std::size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

std::size_t BareDownload(const std::string& url, const std::string& path, std::size_t& baseBytes) {
    baseBytes = WorkingSet();
    FileSink file(path);
    HINTERNET session = InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE);
    HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    static char chunk[32000];
    DWORD got = 0;
    while (request && InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) {
        if (!file.Append(std::string_view(chunk, got))) break;
    }
    if (request) InternetCloseHandle(request);
    InternetCloseHandle(session);
    return file.held;
}

std::size_t FetchWithProgress(const std::string& url, const std::string& path, std::size_t& baseBytes) {
    host::Form form("frmBench");
    form.Move(0, 0, 6000, 1500);
    form.Show();
    auto& bar = form.Add<host::PictureBox>("picPB");
    bar.Move(150, 150, 4500, 450);
    bar.SetAutoRedraw(true);
    host::App::DoEvents();
    baseBytes = WorkingSet();
    FileSink file(path);
    std::string name;
    const bool cancel = false;
    modI::FetchUrl(url, "", true, name, &bar, cancel, nullptr, 20000, modI::Waiting::WithEvents, &file);
    return name.empty() ? 0 : file.held;  // a failed download leaves no name
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s fetch|bare URL FILE\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const auto start = std::chrono::steady_clock::now();
    std::size_t baseBytes = 0;
    const std::size_t bytes = mode == "bare" ? BareDownload(argv[2], argv[3], baseBytes)
                                             : FetchWithProgress(argv[2], argv[3], baseBytes);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    DeleteFileA(argv[3]);
    std::printf("%s bytes=%zu seconds=%.4f base_bytes=%zu peak_bytes=%zu\n", mode.c_str(), bytes, seconds, baseBytes,
                PeakWorkingSet());
    return bytes > 0 ? 0 : 1;
}
