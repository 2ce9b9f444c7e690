// The WinINet handles of one transfer, and a thread of their own for the calls that wait on
// the network. The window's thread asks for one call at a time and, while it waits, keeps
// its events running; it gives up when the cancel flag turns true or the call takes longer
// than the transfer's time-out. WinINet does not end every wait by its own time-outs (Wine
// ignores them while it opens an address), and a window that stops answering while a
// server stays silent is what this prevents.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <string_view>

namespace modI {

class Connection {
public:
    // Opens the session (agent name, the system's proxy settings, no cache writes, WinINet's
    // own connect, send and receive time-outs at `timeoutMs`) and starts the thread. Ok()
    // says whether both worked. `timeoutMs` also bounds each wait of Open and Read.
    Connection(const std::string& agent, DWORD timeoutMs);
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

    // One read of at most `most` bytes. With `onlyAvailable`, it first waits for data to
    // arrive and then takes no more than has arrived, so a slow server still hands over
    // small pieces, and the next such read starts at once, while the caller handles this
    // piece (the next call must ask for the same). Without it, one read of up to `most`
    // bytes. What the read delivered (empty at the end of the data) in `data`, valid until
    // the next call; false as for Open.
    bool Read(DWORD most, bool onlyAvailable, const bool& cancel, std::string_view& data);

    // The current request's handle, for calls that do not wait (its response headers).
    HINTERNET Request() const;

private:
    struct Shared;
    void Start();
    bool Wait(const bool& cancel);
    void GiveUp();
    Shared* shared_;          // null once given up
    DWORD timeoutMs_;
    std::string current_;        // what the last Read delivered
    bool readingAhead_ = false;  // the worker is already reading the next piece
    HANDLE thread_ = nullptr;  // the worker; null when it could not be started
};

}  // namespace modI
