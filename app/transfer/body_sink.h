// Where the body of a transfer goes while it arrives: into memory, or (for an installer) into
// a file, so that a download of any size needs the same few buffers.
#pragma once

#include <string>
#include <string_view>

namespace modI {

class BodySink {
public:
    virtual ~BodySink() = default;
    // The body starts again from its first byte (a server that answered a resumed request with
    // the whole entity): whatever was appended before is dropped. False when it cannot be.
    virtual bool Restart() = 0;
    // Appends the next piece of the body. False when it cannot be kept: the transfer fails.
    virtual bool Append(std::string_view piece) = 0;
};

// The body kept in memory.
class MemorySink final : public BodySink {
public:
    bool Restart() override {
        body.clear();
        return true;
    }
    bool Append(std::string_view piece) override {
        body.append(piece);
        return true;
    }
    std::string body;
};

}  // namespace modI
