// The WinINet handles of one transfer, and a thread of their own for the calls that wait on
// the network. The window's thread hands it one call at a time (or sets it reading the body
// on its own) and, while it waits, keeps its events running; it gives up when the cancel flag
// turns true or a wait takes longer than the transfer's time-out. WinINet does not end every
// wait by its own time-outs (Wine ignores them while it opens an address), and a window that
// stops answering while a server stays silent is what this prevents. A thread without a window
// (the version query's) has nothing to keep running: its calls block instead (Waiting::Blocking).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <string_view>

#include "host/handles.h"

namespace modI {

// How the calls of a transfer wait.
enum class Waiting {
    // On a thread of the connection's own, with the calling thread's window events running
    // meanwhile; the cancel flag or the time-out ends the wait. For the window's thread.
    WithEvents,
    // On the calling thread, blocked in WinINet until the call ends (WinINet's own time-outs):
    // no extra thread and no asynchronous machinery. For a thread of its own that has no window
    // to keep running and nothing to cancel, such as the version query's.
    Blocking,
};

class Connection {
public:
    // Opens the session (agent name, the system's proxy settings, no cache writes, WinINet's
    // own connect, send and receive time-outs at `timeoutMs`; asynchronous, so that the body
    // can be read without waiting for a full buffer; the thread waits for each call to finish)
    // and starts the thread. Ok()
    // says whether both worked. `timeoutMs` also bounds each wait of Open, ReadOnce and ReadBody.
    // With Waiting::Blocking the session is synchronous and no thread is started; the cancel
    // flag is not looked at, and each read of ReadBody waits for a whole read or the end.
    Connection(const std::string& agent, DWORD timeoutMs, Waiting waiting = Waiting::WithEvents);
    // An idle thread ends here and closes the handles before the destructor returns. A thread
    // still inside a call that was given up closes them itself when that call comes back:
    // a WinINet handle must not be closed under a call that is using it.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Ok() const;

    // Opens `url` as the new request (closing the previous one). False when it fails, is
    // cancelled or takes longer than the time-out; a connection that gave up cannot be used again.
    bool Open(const std::string& url, const std::string& headers, DWORD flags, const bool& cancel);

    // One read of up to `most` bytes: what it delivered (empty at the end of the data) in
    // `data`, valid until the next call. False as for Open.
    bool ReadOnce(DWORD most, const bool& cancel, std::string_view& data);

    // The body, piece by piece, in reads of up to `most` bytes: what has arrived since the
    // last call, at least one read's worth, empty at the end of the data; valid until the
    // next call, which must ask for the same `most`. The first call sets the thread reading
    // on its own, a few reads ahead of the caller at most, so that the network is read while
    // the caller handles a piece. Each read asks for no more than has arrived (ReadPolicy),
    // and a call that finds nothing waits at most the time-out, so a server that goes quiet
    // ends it and one that trickles never does; false as for Open.
    bool ReadBody(DWORD most, const bool& cancel, std::string_view& data);

    // The current request's handle, for calls that do not wait (its response headers).
    HINTERNET Request() const;

    // Why the last call that failed did: WinINet's error, ERROR_INTERNET_OPERATION_CANCELLED
    // or ERROR_INTERNET_TIMEOUT when the wait was given up; 0 when none has failed.
    DWORD Error() const;

private:
    struct Shared;
    bool Blocking() const { return waiting_ == Waiting::Blocking; }
    bool Run(const bool& cancel);
    void Start();
    enum class Waited { Done, Slice, GaveUp };
    bool Wait(const bool& cancel);
    Waited WaitSlice(const bool& cancel, DWORD start);
    bool TakeArrived(std::string_view& data, bool& over, bool& failed);
    void GiveUp();
    std::shared_ptr<Shared> shared_;  // null once given up
    std::string current_;      // what the last read delivered
    Waiting waiting_;
    bool reading_ = false;     // the worker reads the body on its own
    DWORD gaveUpError_ = 0;    // why the wait was given up
    host::unique_thread thread_;  // the worker; empty when it could not be started
};

}  // namespace modI
