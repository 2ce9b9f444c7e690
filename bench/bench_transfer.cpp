// Download benchmark: FetchUrl with its progress bar and event processing, the body written as
// the install writes it (the program's own installer file: a hidden file beside the final name,
// its SHA-256 kept as it goes), against a bare WinINet read loop of 32000-byte reads that also
// writes each piece to a file, on the same address. Both write into FOLDER.
//   bench_transfer.exe fetch URL FOLDER   one FetchUrl download into a visible progress bar
//   bench_transfer.exe bare URL FOLDER    the bare loop
// Prints one line: "<mode> bytes=<n> seconds=<s> base_bytes=<working set before the download>
// peak_bytes=<peak working set>". The seconds are the download's; for fetch the peak also
// covers the installer file's last step (rename, then the held file read back and compared).
// The working set before the download is what the process holds without any body: the
// system's own share under Wine, and the window's. What was written is deleted again.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/transfer/body_sink.h"
#include "app/installer/files.h"
#include "app/transfer/transfer.h"
#include "app/window/progress_watcher.h"
#include "host/app.h"
#include "host/form.h"
#include "host/standard_controls.h"
#include "host/wide_text.h"

namespace {

// The bare loop's file: each piece written as it arrives; what it holds counted.
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

struct Download {
    std::size_t bytes = 0;
    double seconds = 0;
    std::size_t baseBytes = 0;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Download BareDownload(const std::string& url, const std::string& folder) {
    Download done;
    done.baseBytes = WorkingSet();
    const auto start = std::chrono::steady_clock::now();
    const std::string path = folder + "\\bare.bin";
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
    done.seconds = SecondsSince(start);
    done.bytes = file.held;
    DeleteFileA(path.c_str());
    return done;
}

Download FetchWithProgress(const std::string& url, const std::string& folder) {
    host::Form form("frmBench");
    form.Move(0, 0, 6000, 1500);
    form.Show();
    auto& bar = form.Add<host::PictureBox>("picPB");
    bar.Move(150, 150, 4500, 450);
    bar.SetAutoRedraw(true);
    host::App::DoEvents();
    Download done;
    done.baseBytes = WorkingSet();
    const auto start = std::chrono::steady_clock::now();
    std::string name;
    // Not started afterwards: the installer file deletes what it wrote as it goes away.
    modMain::InstallerFile installer(
        [&folder](std::wstring& where) {
            where = host::Widen(folder, CP_ACP);
            return true;
        },
        name);
    const bool cancel = false;
    modI::ProgressWatcher progress(bar);
    modI::FetchUrl({.address = url, .wantFile = true, .minSize = 20000, .readLength = true}, name, cancel, &progress,
                   &installer);
    done.seconds = SecondsSince(start);
    // A failed download leaves no name; a file that cannot be renamed or read back is no install.
    if (!name.empty() && installer.Finish()) done.bytes = installer.Size();
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s fetch|bare URL FOLDER\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const Download done = mode == "bare" ? BareDownload(argv[2], argv[3]) : FetchWithProgress(argv[2], argv[3]);
    std::printf("%s bytes=%zu seconds=%.4f base_bytes=%zu peak_bytes=%zu\n", mode.c_str(), done.bytes, done.seconds,
                done.baseBytes, PeakWorkingSet());
    return done.bytes > 0 ? 0 : 1;
}
