// Starts a program and times it from outside, as a user sees it.
//   bench_launch.exe visible IDLE_SECONDS PROGRAM [ARGS...]
//       time from CreateProcess to the first visible top-level window of the process (polled
//       every millisecond), then the processor time the process uses over IDLE_SECONDS of
//       idleness (0: none), then closes that window with WM_CLOSE
//   bench_launch.exe exit PROGRAM [ARGS...]
//       time from CreateProcess to the end of the process
// Prints one line: "launch visible_seconds=<s> cpu_seconds=<s> idle_seconds=<s> exit_code=<n>"
// or "launch exit_seconds=<s> exit_code=<n>". The exit code is 1 when the program did not do
// what was timed (no window, did not end, did not close).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kStartLimitMs = 30000;  // a window later than this is a failure
constexpr DWORD kCloseLimitMs = 10000;
constexpr DWORD kSettleMs = 500;  // the window's first paints after it shows

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

std::string CommandLine(int first, int argc, char** argv) {
    std::string line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty()) line += ' ';
        line += '"';
        line += argv[i];
        line += '"';
    }
    return line;
}

bool Start(const std::string& commandLine, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string writable = commandLine;
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return false;
    }
    return true;
}

BOOL CALLBACK CheckWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The first visible top-level window of the process's first thread, the thread that makes a
// program's main window. Asking for that thread's windows rather than for all the desktop's
// keeps the look cheap: it runs every millisecond while the program starts, and each question
// about another process's window is a request to the Wine server the program itself is busy
// with (enumerating the whole desktop made about 14 such requests a millisecond).
HWND VisibleWindowOf(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, CheckWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;  // 100 ns units
}

// Kernel plus user time the thread has used so far. Wine answers this for a thread of
// another process (from the system's own accounting); for a whole process it gives zero.
double ProcessorSeconds(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return -1;
    return Seconds(kernel) + Seconds(user);
}

int TimeWindow(double idleSeconds, const std::string& commandLine) {
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!Start(commandLine, process)) return 1;
    HWND window = nullptr;
    while (!(window = VisibleWindowOf(process.dwThreadId))) {
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 || Now() - start > kStartLimitMs / 1000.0) {
            std::fprintf(stderr, "no visible window from %s\n", commandLine.c_str());
            TerminateProcess(process.hProcess, 1);
            return 1;
        }
    }
    const double visible = Now() - start;

    double cpu = 0, idle = 0;
    if (idleSeconds > 0) {
        Sleep(kSettleMs);
        const double cpuBefore = ProcessorSeconds(process.hThread);
        const double idleStart = Now();
        Sleep(static_cast<DWORD>(idleSeconds * 1000));
        cpu = ProcessorSeconds(process.hThread) - cpuBefore;
        idle = Now() - idleStart;
    }

    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool closed = WaitForSingleObject(process.hProcess, kCloseLimitMs) == WAIT_OBJECT_0;
    if (!closed) {
        std::fprintf(stderr, "%s did not end on WM_CLOSE\n", commandLine.c_str());
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("launch visible_seconds=%.4f cpu_seconds=%.4f idle_seconds=%.4f exit_code=%d\n", visible, cpu,
                idle, closed ? 0 : 1);
    return closed ? 0 : 1;
}

int TimeExit(const std::string& commandLine) {
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!Start(commandLine, process)) return 1;
    const bool ended = WaitForSingleObject(process.hProcess, kStartLimitMs) == WAIT_OBJECT_0;
    const double seconds = Now() - start;
    DWORD code = 1;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
    } else {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("launch exit_seconds=%.4f exit_code=%lu\n", seconds, code);
    return ended && code == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The desktop exists before any timing starts, as it does on Windows: under Wine the
    // first program of a session that needs it would otherwise pay for starting it.
    GetDesktopWindow();
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "visible" && argc > 3) return TimeWindow(std::atof(argv[2]), CommandLine(3, argc, argv));
    if (mode == "exit" && argc > 2) return TimeExit(CommandLine(2, argc, argv));
    std::fprintf(stderr, "usage: %s visible IDLE_SECONDS PROGRAM [ARGS...] | exit PROGRAM [ARGS...]\n", argv[0]);
    return 2;
}
