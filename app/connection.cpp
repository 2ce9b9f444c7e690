#include "app/connection.h"

#include <algorithm>
#include <utility>

#include "host/app.h"

namespace modI {

namespace {

// How long the window's thread sleeps at most between two looks at the cancel flag while no
// event arrives.
constexpr DWORD kWaitSliceMs = 50;

enum class Job { None, Open, Read, Quit };

// A wait for data shorter than this means the data was already there.
constexpr double kWaitedMs = 2.0;
// A piece at least this large, already there when asked for, starts the streaming: Wine holds
// 8 KiB of what has arrived; a server that trickles never hands over that much at once.
constexpr DWORD kStreamingPiece = 8192;
// A whole read that takes longer than this had to wait for the network.
constexpr double kStreamingReadMs = 50.0;

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

void SetTimeouts(HINTERNET handle, DWORD timeoutMs) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &timeoutMs, sizeof timeoutMs);
    }
}

}  // namespace

// Everything both threads touch. It lives until the last of the two lets go of it: the
// window's thread may give up on a call and leave while the call is still running.
struct Connection::Shared {
    CRITICAL_SECTION lock;
    HANDLE wake = nullptr;  // a job was handed over (auto-reset)
    HANDLE done = nullptr;  // the job is finished (auto-reset)
    LONG owners = 2;
    bool busy = false;       // a job runs; under lock
    bool givenUp = false;    // the window's thread is gone; under lock

    // The job, written by the window's thread while the worker waits.
    Job job = Job::None;
    std::string url, headers;
    DWORD flags = 0;
    DWORD timeoutMs = 0;
    DWORD most = 0;
    bool onlyAvailable = false;
    bool streaming = false;  // data was waiting at the last read: read whole buffers

    // Owned by the worker thread's side from the start: it closes them when it ends.
    HINTERNET session = nullptr;
    HINTERNET request = nullptr;

    // The job's results.
    bool ok = false;
    std::string buffer;
    DWORD got = 0;

    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() {
        if (request) InternetCloseHandle(request);
        if (session) InternetCloseHandle(session);
        if (wake) CloseHandle(wake);
        if (done) CloseHandle(done);
        DeleteCriticalSection(&lock);
    }
    void Release() {
        if (InterlockedDecrement(&owners) == 0) delete this;
    }

    void RunJob() {
        switch (job) {
            case Job::Open: {
                if (request) InternetCloseHandle(request);
                streaming = false;
                request = InternetOpenUrlA(session, url.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                           headers.empty() ? 0 : static_cast<DWORD>(-1), flags, 0);
                ok = request != nullptr;
                if (ok) SetTimeouts(request, timeoutMs);  // the body's reads wait on the request's own
                break;
            }
            case Job::Read:
                ok = onlyAvailable ? ReadWhatArrives() : ReadUpTo(most);
                break;
            case Job::None:
            case Job::Quit:
                break;
        }
    }

    bool ReadUpTo(DWORD wanted) {
        buffer.resize(most);
        got = 0;
        return InternetReadFile(request, buffer.data(), wanted, &got);
    }

    // Waits for data and takes what has arrived; while the data comes faster than it is read,
    // whole reads instead, which cost a fraction of the calls (Wine hands over at most 8 KiB
    // that has arrived at a time). A whole read that has to wait ends the streaming. (A line
    // that drops to a trickle during a whole read delivers it late: the read waits for the
    // whole buffer, within the transfer's time-out.)
    bool ReadWhatArrives() {
        const double start = NowMs();
        if (streaming) {
            const bool read = ReadUpTo(most);
            streaming = read && got == most && NowMs() - start < kStreamingReadMs;
            return read;
        }
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) return false;
        const bool waited = NowMs() - start >= kWaitedMs;
        if (!ReadUpTo(available > 0 ? std::min(available, most) : most)) return false;
        streaming = !waited && got >= kStreamingPiece;
        return true;
    }

    static DWORD WINAPI Work(void* parameter) {
        auto* self = static_cast<Shared*>(parameter);
        for (;;) {
            WaitForSingleObject(self->wake, INFINITE);
            if (self->job == Job::Quit) break;
            self->RunJob();
            EnterCriticalSection(&self->lock);
            self->busy = false;
            const bool givenUp = self->givenUp;
            LeaveCriticalSection(&self->lock);
            if (givenUp) break;
            SetEvent(self->done);
        }
        self->Release();  // the last owner closes the handles
        return 0;
    }
};

Connection::Connection(const std::string& agent, DWORD timeoutMs) : shared_(new Shared), timeoutMs_(timeoutMs) {
    shared_->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    shared_->done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!shared_->wake || !shared_->done) return;
    shared_->timeoutMs = timeoutMs;
    shared_->session =
        InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE);
    if (!shared_->session) return;
    SetTimeouts(shared_->session, timeoutMs);
    thread_ = CreateThread(nullptr, 0, &Shared::Work, shared_, 0, nullptr);
}

Connection::~Connection() {
    if (!shared_) return;  // given up: the worker lets go of the shared part
    if (!thread_) {
        delete shared_;  // never had a worker
        return;
    }
    GiveUp();
}

bool Connection::Ok() const { return shared_ && thread_; }

HINTERNET Connection::Request() const { return shared_ ? shared_->request : nullptr; }

bool Connection::Open(const std::string& url, const std::string& headers, DWORD flags, const bool& cancel) {
    if (!Ok() || readingAhead_) return false;
    shared_->job = Job::Open;
    shared_->url = url;
    shared_->headers = headers;
    shared_->flags = flags;
    Start();
    return Wait(cancel) && shared_->ok;
}

bool Connection::Read(DWORD most, bool onlyAvailable, const bool& cancel, std::string_view& data) {
    data = {};
    if (!Ok() || !Request()) return false;
    if (!readingAhead_) {
        shared_->job = Job::Read;
        shared_->most = most;
        shared_->onlyAvailable = onlyAvailable;
        Start();
    }
    readingAhead_ = false;
    if (!Wait(cancel) || !shared_->ok) return false;
    current_.swap(shared_->buffer);  // the worker reads into the other buffer meanwhile
    current_.resize(shared_->got);
    data = current_;
    if (onlyAvailable && !data.empty()) {
        // The next piece is read while the caller handles this one.
        Start();
        readingAhead_ = true;
    }
    return true;
}

void Connection::Start() {
    EnterCriticalSection(&shared_->lock);
    shared_->busy = true;
    LeaveCriticalSection(&shared_->lock);
    SetEvent(shared_->wake);
}

// Waits for the job with the window's events running.
bool Connection::Wait(const bool& cancel) {
    const DWORD timeoutMs = timeoutMs_;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the tick wrap
        const DWORD slice = elapsed >= timeoutMs ? 0 : std::min(kWaitSliceMs, timeoutMs - elapsed);
        const DWORD woke = MsgWaitForMultipleObjects(1, &shared_->done, FALSE, slice, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        host::App::DoEvents();
        if (cancel || GetTickCount() - start >= timeoutMs) {
            GiveUp();
            return false;
        }
    }
}

// Ends the worker. An idle one ends at once, and is waited for, so that the handles are closed
// when this returns; one still inside a call ends, and closes them, when that call comes back.
void Connection::GiveUp() {
    EnterCriticalSection(&shared_->lock);
    shared_->givenUp = true;
    const bool idle = !shared_->busy;
    LeaveCriticalSection(&shared_->lock);
    if (idle) {
        shared_->job = Job::Quit;
        SetEvent(shared_->wake);
        WaitForSingleObject(thread_, INFINITE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    std::exchange(shared_, nullptr)->Release();
}

}  // namespace modI
