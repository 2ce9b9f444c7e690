#include "app/latest_version.h"

#include <cstdlib>
#include <utility>

#include "app/texts.h"
#include "app/transfer.h"
#include "app/version_line.h"
#include "host/boundary.h"

namespace frmMainQueries {

VersionBounds QueryBounds;

std::string GetLatestVersion() { return LatestVersionFrom(texts::VersionUrl.Decode()); }

std::string LatestVersionFrom(const std::string& url, modI::Waiting waiting) {
    std::string fileName;
    const bool neverCancelled = false;
    const std::string body = modI::FetchUrl(url, "", false, fileName, nullptr, neverCancelled, nullptr, 0, waiting);
    return modMain::FormatLatestVersion(body);
}

namespace {

void Shorten(const char* name, DWORD& bound) {
    char value[16] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    if (length == 0 || length >= sizeof value) return;
    char* end = nullptr;
    const unsigned long wanted = std::strtoul(value, &end, 10);
    if (end != value && *end == '\0' && wanted < bound) bound = static_cast<DWORD>(wanted);
}

}  // namespace

void ReadBoundsFromEnvironment() {
    Shorten("ORB_VERSION_SHOW_MS", QueryBounds.showWithinMs);
    Shorten("ORB_VERSION_END_MS", QueryBounds.endWithinMs);
}

// What the window's thread and the query's thread share; the last of the two to let go of it
// deletes it. The text is written before `ready` is set and read only after it.
struct VersionQuery::Shared {
    std::string url;
    std::string text;
    HANDLE ready = nullptr;  // manual reset
    LONG owners = 2;

    ~Shared() {
        if (ready) CloseHandle(ready);
    }
    void Release() {
        if (InterlockedDecrement(&owners) == 0) delete this;
    }
    void Run() {
        // Nothing may leave a thread's entry; a query that failed this way failed.
        // The thread has no window to keep running: its calls simply block.
        host::CatchAtBoundary([this] { text = LatestVersionFrom(url, modI::Waiting::Blocking); },
                              [this] { text = texts::VersionError.Decode(); });
        SetEvent(ready);
    }
    static DWORD WINAPI Work(void* parameter) {
        auto* self = static_cast<Shared*>(parameter);
        self->Run();
        self->Release();
        return 0;
    }
};

VersionQuery::VersionQuery(std::string url) : shared_(new Shared) {
    shared_->url = std::move(url);
    shared_->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = shared_->ready ? CreateThread(nullptr, 0, &Shared::Work, shared_, 0, nullptr) : nullptr;
    if (thread) {
        CloseHandle(thread);
        return;
    }
    // Without a thread of its own the query runs here, as it did before it had one.
    shared_->owners = 1;
    shared_->Run();
}

VersionQuery::~VersionQuery() { shared_->Release(); }

HANDLE VersionQuery::Ready() const { return shared_->ready; }

std::string VersionQuery::Text() const {
    return WaitForSingleObject(shared_->ready, 0) == WAIT_OBJECT_0 ? shared_->text : std::string();
}

}  // namespace frmMainQueries
