#include "app/version/latest_version.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include "app/texts/texts.h"
#include "app/transfer/transfer.h"
#include "app/version/version_line.h"
#include "host/boundary.h"
#include "host/handles.h"

namespace latestversion {

VersionBounds QueryBounds;

std::string GetLatestVersion() { return LatestVersionFrom(texts::VersionUrl.Decode()); }

std::string LatestVersionFrom(const std::string& url, modI::Waiting waiting) {
    std::string fileName;
    const bool neverCancelled = false;
    const std::string body = modI::FetchUrl({.address = url, .waiting = waiting}, fileName, neverCancelled);
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

// What the window's thread and the query's thread share, each by a shared pointer: the last of
// the two to let go of it deletes it. The text is written before `ready` is set and read only
// after it.
struct VersionQuery::Shared {
    std::string url;
    std::string text;
    host::unique_event ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};  // manual reset

    void Run() {
        // Nothing may leave a thread's entry; a query that failed this way failed.
        // The thread has no window to keep running: its calls simply block.
        host::CatchAtBoundary([this] { text = LatestVersionFrom(url, modI::Waiting::Blocking); },
                              [this] { text = texts::VersionError.Decode(); });
        SetEvent(ready.get());
    }
    // The thread's entry; `parameter` is the thread's own shared pointer, let go of at its end.
    static DWORD WINAPI Work(void* parameter) {
        const std::unique_ptr<std::shared_ptr<Shared>> owner(static_cast<std::shared_ptr<Shared>*>(parameter));
        (*owner)->Run();
        return 0;
    }
};

VersionQuery::VersionQuery(std::string url) : shared_(std::make_shared<Shared>()) {
    shared_->url = std::move(url);
    if (shared_->ready) {
        auto threadOwner = std::make_unique<std::shared_ptr<Shared>>(shared_);
        // Nothing waits for the thread: its handle is closed at once, and it ends on its own.
        const host::unique_thread thread(CreateThread(nullptr, 0, &Shared::Work, threadOwner.get(), 0, nullptr));
        if (thread) {
            threadOwner.release();  // the thread lets go of it when it ends
            return;
        }
    }
    // Without a thread of its own the query runs here, as it did before it had one.
    shared_->Run();
}

VersionQuery::~VersionQuery() = default;

HANDLE VersionQuery::Ready() const { return shared_->ready.get(); }

std::string VersionQuery::Text() const {
    return WaitForSingleObject(shared_->ready.get(), 0) == WAIT_OBJECT_0 ? shared_->text : std::string();
}

}  // namespace latestversion
