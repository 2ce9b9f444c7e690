// The decisions of resuming a broken download that need no platform: the request for the
// rest of the body, what the answer to it means, and how many tries a download may make.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace modI {

// The validator a resumed request names in If-Range, so that a server whose entity has
// changed sends the new one whole rather than a part of it: the ETag, or the Last-Modified
// date when there is no ETag. A weak ETag ("W/...") cannot name a part of an entity and is
// passed over. Empty when neither can be used (absent, or holding a line break): no resume.
std::string ResumeValidator(std::string_view etag, std::string_view lastModified);

// The request headers that ask for the entity from byte `from` on, as long as it is still
// the one `validator` names.
std::string ResumeHeaders(std::int64_t from, std::string_view validator);

// The part of the entity a 206 answer carries: "bytes FIRST-LAST/COMPLETE".
struct ContentRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t complete = 0;
};
// No result when the header is not of that form (an unknown length "*" included).
std::optional<ContentRange> ParseContentRange(std::string_view header);

// What the answer to a resumed request asks of the download.
enum class ResumeAnswer {
    Continue,  // 206 with the rest of the same entity: append it
    Restart,   // 200: the whole entity (the server ignored the range, or the entity changed)
    Fail,      // anything else, a 206 of another part or length included
};
// `status`, `contentRange` and `announced` (its content length) of the answer; `held` bytes
// of an entity `complete` bytes long are held.
ResumeAnswer MeaningOfResumeAnswer(int status, std::string_view contentRange, std::int64_t announced,
                                   std::int64_t held, std::int64_t complete);

// Tries in a row that bring the download no further before it counts as failed.
inline constexpr int kMostFruitlessTries = 3;

// Counts the tries of one download that brought it no further than it had been.
class ResumeTries {
public:
    // The line broke with `held` bytes of the body held. True when another try may follow:
    // something has ever arrived, and fewer than kMostFruitlessTries tries in a row ended no
    // further than the furthest point reached (so a server that restarts the body each time
    // and breaks at the same place cannot keep the download going for ever).
    bool MayTryAgain(std::int64_t held);
    // Tries in a row that brought nothing, up to now.
    int Fruitless() const { return fruitless_; }
    // How long to wait before the next try, `firstWaitMs` being the wait after the first
    // fruitless try: none after a break that brought the download further (the server was
    // sending until the line broke, so asking again at once costs it nothing), then doubling
    // with each fruitless try in a row.
    std::uint32_t WaitBeforeNextTryMs(std::uint32_t firstWaitMs) const;

private:
    std::int64_t furthest_ = 0;
    int fruitless_ = 0;
};

}  // namespace modI
