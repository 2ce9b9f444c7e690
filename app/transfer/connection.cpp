#include "app/transfer/connection.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/transfer/read_policy.h"
#include "host/app.h"
#include "host/boundary.h"
#include "host/handles.h"
#include "host/system_library.h"

namespace modI {

namespace {

// How long the window's thread sleeps at most between two looks at the cancel flag while no
// event arrives.
constexpr DWORD kWaitSliceMs = 50;

enum class Job { None, Open, Read, ReadBody, Quit };

// How many reads the body may run ahead of the window's thread.
constexpr std::size_t kReadsAhead = 8;

using host::LockScope;

void SetTimeouts(HINTERNET handle, DWORD timeoutMs) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &timeoutMs, sizeof timeoutMs);
    }
}

}  // namespace

// Everything both threads touch. Each holds it by a shared pointer, and it lives until the last
// of the two lets go: the window's thread may give up on a call and leave while the call is
// still running.
struct Connection::Shared {
    host::CriticalSection lock;
    host::unique_event wake{NewEvent()};       // a job was handed over
    host::unique_event done{NewEvent()};       // the job is finished, or body has arrived
    host::unique_event room{NewEvent()};       // the window's thread took what the body read ahead
    host::unique_event completed{NewEvent()};  // WinINet finished an asynchronous call
    bool busy = false;       // a job runs; under lock
    bool givenUp = false;    // the window's thread is gone; under lock

    // The job, written by the window's thread while the worker waits.
    Job job = Job::None;
    std::string url, headers;
    DWORD flags = 0;
    DWORD timeoutMs = 0;
    DWORD most = 0;

    // Closed with the shared part, by whichever side lets go of it last.
    host::unique_internet session;
    host::unique_internet request;

    // How the last asynchronous call finished, written by WinINet's thread before `completed`.
    DWORD_PTR completedResult = 0;
    DWORD completedError = ERROR_SUCCESS;
    bool pending = false;  // the last call finished late
    DWORD error = 0;       // why the last call that failed did; written before the job ends

    // The job's results.
    bool ok = false;
    std::string buffer;
    DWORD got = 0;

    // The body read ahead, under lock: what has arrived and not been taken, and how it ended.
    std::string arrived;
    bool bodyOver = false;
    bool bodyFailed = false;
    bool windowWaits = false;  // the window's thread waits for `done`
    bool workerWaits = false;  // the worker waits for `room`

    // Auto-reset: each wakes one wait.
    static HANDLE NewEvent() { return CreateEventA(nullptr, FALSE, FALSE, nullptr); }
    bool HasEvents() const { return wake && done && room && completed; }

    Shared() = default;
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;
    ~Shared() {
        // No call is under way when this runs; no report may come for a part that is gone.
        for (host::unique_internet* handle : {&request, &session}) {
            if (!*handle) continue;
            InternetSetStatusCallbackA(handle->get(), nullptr);
            handle->reset();
        }
    }

    void RunJob() {
        switch (job) {
            case Job::Open: {
                request.reset();
                request.reset(InternetOpenUrlA(session.get(), url.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                               headers.empty() ? 0 : static_cast<DWORD>(-1), flags, Context()));
                // Opened at once, or later on WinINet's thread with the handle as its result.
                if (!request && Finished(FALSE)) request.reset(reinterpret_cast<HINTERNET>(completedResult));
                ok = static_cast<bool>(request);
                if (ok) SetTimeouts(request.get(), timeoutMs);  // the body's reads wait on the request's own
                break;
            }
            case Job::Read:
                ok = ReadUpTo(most);
                break;
            case Job::ReadBody:
                ReadBodyAhead();
                break;
            case Job::None:
            case Job::Quit:
                break;
        }
    }

    bool ReadUpTo(DWORD wanted) {
        buffer.resize(most);
        got = 0;
        return Finished(InternetReadFile(request.get(), buffer.data(), wanted, &got));
    }

    DWORD_PTR Context() { return reinterpret_cast<DWORD_PTR>(this); }

    // Whether an asynchronous call worked: at once, or after it finished on WinINet's own
    // thread (`pending` then true: it wrote its results meanwhile, except a no-wait read,
    // which is made again to take them).
    bool Finished(BOOL done) {
        pending = false;
        if (done) return true;
        if (const DWORD failed = GetLastError(); failed != ERROR_IO_PENDING) {
            error = failed;
            return false;
        }
        WaitForSingleObject(completed.get(), INFINITE);  // WinINet's own time-outs end the call
        pending = true;
        if (completedError != ERROR_SUCCESS) error = completedError;
        return completedError == ERROR_SUCCESS;
    }

    // WinINet's report that an asynchronous call finished.
    static void CALLBACK StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* information, DWORD) {
        if (status != INTERNET_STATUS_REQUEST_COMPLETE || !context) return;
        auto* self = reinterpret_cast<Shared*>(context);
        const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
        self->completedResult = result->dwResult;
        // A failed call's result is 0 (FALSE or no handle), whatever its error says.
        self->completedError = result->dwResult                   ? ERROR_SUCCESS
                               : result->dwError != ERROR_SUCCESS ? result->dwError
                                                                  : ERROR_INTERNET_INTERNAL_ERROR;
        SetEvent(self->completed.get());
    }

    // The request as the read policy sees it. The session is asynchronous so that a read can
    // be told not to wait (IRF_NO_WAIT): it takes what has arrived, up to its size, in one call.
    // A synchronous read waits until its buffer is full, and what WinINet reports available
    // may be far less than has arrived (Wine reports at most its 8 KiB buffer), so reads sized
    // by it cost many more calls. What the no-wait read took is kept here until the policy reads it.
    struct RequestSource : BodySource {
        Shared& shared;
        std::string taken;
        std::size_t from = 0;
        explicit RequestSource(Shared& owner) : shared(owner) {}
        bool DataAvailable(std::uint32_t& bytes) override {
            if (from == taken.size() && !TakeArrived()) return false;
            bytes = static_cast<std::uint32_t>(taken.size() - from);
            return true;
        }
        bool Read(char* into, std::uint32_t wanted, std::uint32_t& got) override {
            got = static_cast<std::uint32_t>(std::min<std::size_t>(wanted, taken.size() - from));
            std::copy_n(taken.data() + from, got, into);
            from += got;
            return true;
        }
        // Waits until data has arrived and takes it, or finds the end (nothing taken).
        bool TakeArrived() {
            taken.resize(shared.most);
            from = 0;
            for (;;) {
                INTERNET_BUFFERSA read{};
                read.dwStructSize = sizeof read;
                read.lpvBuffer = taken.data();
                read.dwBufferLength = static_cast<DWORD>(taken.size());
                if (!shared.Finished(InternetReadFileExA(shared.request.get(), &read, IRF_NO_WAIT, shared.Context())))
                    return false;
                if (shared.pending) continue;  // data has arrived since: take it now
                if (read.dwBufferLength > 0) {
                    taken.resize(read.dwBufferLength);
                    return true;
                }
                // Nothing taken: the end, or nothing there yet. Asking what is available
                // waits for either and tells them apart.
                DWORD available = 0;
                if (!shared.Finished(InternetQueryDataAvailable(shared.request.get(), &available, 0, 0)))
                    return false;
                if (!shared.pending && available == 0) {
                    taken.clear();
                    return true;
                }
            }
        }
    };

    // Reads the body to its end on its own; stops while kReadsAhead reads wait to be taken,
    // and as soon as the window's thread has given up. A waiting window is woken when a
    // whole read's worth has gathered or the body has ended; smaller pieces it takes when it
    // next looks (at least once a wait slice): waking it for each small piece of a fast line
    // would cost more than the reads.
    void ReadBodyAhead() {
        RequestSource source(*this);
        ReadPolicy policy(most);
        buffer.resize(most);
        for (;;) {
            std::uint32_t delivered = 0;
            const bool read = policy.ReadWhatArrives(source, buffer.data(), delivered);
            got = delivered;
            bool over = false, wakeWindow = false;
            {
                // Scoped: an append that fails (out of memory) must not leave the lock held,
                // or the window's thread would wait for it for ever.
                const LockScope locked(lock);
                if (!read) bodyFailed = true;
                if (read && got == 0) bodyOver = true;
                if (read && got > 0) arrived.append(buffer.data(), got);
                over = bodyFailed || bodyOver || givenUp;
                wakeWindow = windowWaits && (over || arrived.size() >= most);
                if (wakeWindow) windowWaits = false;
            }
            if (wakeWindow) SetEvent(done.get());
            if (over || !WaitForRoom()) return;
        }
    }

    // False when the window's thread has given up meanwhile.
    bool WaitForRoom() {
        for (;;) {
            bool full = false, gone = false;
            {
                const LockScope locked(lock);
                full = arrived.size() >= kReadsAhead * most;
                gone = givenUp;
                workerWaits = full && !gone;
            }
            if (gone) return false;
            if (!full) return true;
            WaitForSingleObject(room.get(), INFINITE);
        }
    }

    void JobFailed() {
        ok = false;
        got = 0;
        const LockScope locked(lock);
        bodyFailed = true;
    }

    // Marks the job finished; tells whether the window's thread has given up meanwhile.
    bool JobEnded() {
        const LockScope locked(lock);
        busy = false;
        return givenUp;
    }

    // The worker's entry. `parameter` is the worker's own shared pointer, made for it by the
    // window's thread: letting go of it when the loop ends closes the handles if the window's
    // side is gone already.
    static DWORD WINAPI Work(void* parameter) {
        const std::unique_ptr<std::shared_ptr<Shared>> owner(static_cast<std::shared_ptr<Shared>*>(parameter));
        Shared* self = owner->get();
        for (;;) {
            WaitForSingleObject(self->wake.get(), INFINITE);
            if (self->job == Job::Quit) break;
            // A job that throws (out of memory) fails: the window's thread sees a failed transfer.
            host::CatchAtBoundary([self] { self->RunJob(); }, [self] { self->JobFailed(); });
            if (self->JobEnded()) break;
            SetEvent(self->done.get());
        }
        return 0;
    }
};

Connection::Connection(const std::string& agent, DWORD timeoutMs, Waiting waiting)
    : shared_(std::make_shared<Shared>()), waiting_(waiting) {
    // WinINet is delay-loaded at its first call, from the system folder: without it, no call.
    if (!shared_->HasEvents() || !host::SystemLibrary("wininet.dll")) return;
    shared_->timeoutMs = timeoutMs;
    const DWORD asynchronous = Blocking() ? 0 : INTERNET_FLAG_ASYNC;
    shared_->session.reset(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                         INTERNET_FLAG_NO_CACHE_WRITE | asynchronous));
    if (!shared_->session) return;
    SetTimeouts(shared_->session.get(), timeoutMs);
    if (Blocking()) return;
    InternetSetStatusCallbackA(shared_->session.get(), &Shared::StatusCallback);
    auto workerOwner = std::make_unique<std::shared_ptr<Shared>>(shared_);
    thread_.reset(CreateThread(nullptr, 0, &Shared::Work, workerOwner.get(), 0, nullptr));
    if (thread_) workerOwner.release();  // the worker lets go of it when it ends
}

Connection::~Connection() {
    // Given up, or never had a worker: the shared part goes with the last pointer to it.
    if (shared_ && thread_) GiveUp();
}

bool Connection::Ok() const { return shared_ && (Blocking() ? static_cast<bool>(shared_->session) : static_cast<bool>(thread_)); }

// Runs the job handed over and tells whether it worked: on the calling thread when blocking
// (as on the worker, a job that throws fails), else on the worker while the window's events run.
bool Connection::Run(const bool& cancel) {
    if (Blocking()) {
        host::CatchAtBoundary([this] { shared_->RunJob(); }, [this] { shared_->JobFailed(); });
        return shared_->ok;
    }
    Start();
    return Wait(cancel) && shared_->ok;
}

HINTERNET Connection::Request() const { return shared_ ? shared_->request.get() : nullptr; }

DWORD Connection::Error() const { return shared_ ? shared_->error : gaveUpError_; }

bool Connection::Open(const std::string& url, const std::string& headers, DWORD flags, const bool& cancel) {
    if (!Ok() || reading_) return false;
    shared_->job = Job::Open;
    shared_->url = url;
    shared_->headers = headers;
    shared_->flags = flags;
    return Run(cancel);
}

bool Connection::ReadOnce(DWORD most, const bool& cancel, std::string_view& data) {
    data = {};
    if (!Ok() || !Request() || reading_) return false;
    shared_->job = Job::Read;
    shared_->most = most;
    if (!Run(cancel)) return false;
    data = std::string_view(shared_->buffer.data(), shared_->got);
    return true;
}

bool Connection::ReadBody(DWORD most, const bool& cancel, std::string_view& data) {
    data = {};
    if (!Ok() || !Request()) return false;
    if (Blocking()) return ReadOnce(most, cancel, data);  // nobody to read ahead for
    if (!reading_) {
        shared_->job = Job::ReadBody;
        shared_->most = most;
        Start();
        reading_ = true;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        bool over = false, failed = false;
        if (TakeArrived(data, over, failed)) return true;
        if (failed) return false;
        if (over) return true;  // the end of the data: nothing more
        if (WaitSlice(cancel, start) == Waited::GaveUp) return false;
    }
}

// What the body has brought since the last look, if anything; otherwise how it ended, or,
// while it goes on, a note to the worker that the window's thread waits for it.
bool Connection::TakeArrived(std::string_view& data, bool& over, bool& failed) {
    bool any = false, wakeWorker = false;
    {
        const LockScope locked(shared_->lock);
        any = !shared_->arrived.empty();
        if (any) {
            current_.swap(shared_->arrived);
            shared_->arrived.clear();  // keeps the other buffer's room for the next pieces
            wakeWorker = std::exchange(shared_->workerWaits, false);
            shared_->windowWaits = false;
        } else {
            over = shared_->bodyOver;
            failed = shared_->bodyFailed;
            shared_->windowWaits = !over && !failed;
        }
    }
    if (wakeWorker) SetEvent(shared_->room.get());
    if (any) data = current_;
    return any;
}

void Connection::Start() {
    {
        const LockScope locked(shared_->lock);
        shared_->busy = true;
    }
    SetEvent(shared_->wake.get());
}

// Waits for the job with the window's events running.
bool Connection::Wait(const bool& cancel) {
    const DWORD start = GetTickCount();
    for (;;) {
        switch (WaitSlice(cancel, start)) {
            case Waited::Done: return true;
            case Waited::GaveUp: return false;
            case Waited::Slice: break;
        }
    }
}

// Waits for `done` at most one slice, then lets the window's events run; gives up when the
// cancel flag is set or the time-out has passed since `start`.
Connection::Waited Connection::WaitSlice(const bool& cancel, DWORD start) {
    const DWORD timeoutMs = shared_->timeoutMs;
    const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the tick wrap
    const DWORD slice = elapsed >= timeoutMs ? 0 : std::min(kWaitSliceMs, timeoutMs - elapsed);
    if (host::App::WaitForEvents(shared_->done.get(), slice)) return Waited::Done;
    if (cancel || GetTickCount() - start >= timeoutMs) {
        gaveUpError_ = cancel ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_TIMEOUT;
        GiveUp();
        return Waited::GaveUp;
    }
    return Waited::Slice;
}

// Ends the worker. An idle one ends at once, and is waited for, so that the handles are closed
// when this returns; one still inside a call ends, and closes them, when that call comes back.
void Connection::GiveUp() {
    bool idle = false;
    {
        const LockScope locked(shared_->lock);
        shared_->givenUp = true;
        // A body that has ended ends its job at once as well.
        idle = !shared_->busy || shared_->bodyOver || shared_->bodyFailed;
    }
    SetEvent(shared_->room.get());  // a worker waiting to read ahead sees at once that it may stop
    if (idle) {
        shared_->job = Job::Quit;
        SetEvent(shared_->wake.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    thread_.reset();
    shared_.reset();
}

}  // namespace modI
