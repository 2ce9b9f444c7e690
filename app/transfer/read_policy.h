// How the transfer's thread reads the body: what each read asks for, so that the transfer
// follows the data as it arrives whatever the system's read does with a buffer larger than
// what has arrived. Windows' synchronous InternetReadFile waits until its buffer is full or
// the data ends; so does Wine 8's, which also reports at most the 8 KiB it holds as available.
#pragma once

#include <cstdint>

namespace modI {

// The body as the read policy sees it: the request's WinINet calls in the program, a
// simulated line in the tests.
class BodySource {
public:
    virtual ~BodySource() = default;
    // Waits until data has arrived or the data has ended; `bytes` is how much a read can take
    // now without waiting, 0 at the end. False when it fails.
    virtual bool DataAvailable(std::uint32_t& bytes) = 0;
    // Reads up to `wanted` bytes into `into`; `got` is how many came, 0 at the end. False
    // when it fails.
    virtual bool Read(char* into, std::uint32_t wanted, std::uint32_t& got) = 0;
};

// Reads one body, piece by piece, in reads of up to `most` bytes, each asking for no more
// than has arrived: a synchronous read waits until its buffer is full or the data ends, so a
// larger one would wait for data that may come slowly, with nothing handed on meanwhile.
class ReadPolicy {
public:
    explicit ReadPolicy(std::uint32_t most) : most_(most) {}

    // Waits for data and reads what has arrived into `into` (room for `most` bytes); `got` is
    // 0 at the end of the data. False when a call fails.
    bool ReadWhatArrives(BodySource& source, char* into, std::uint32_t& got);

private:
    std::uint32_t most_;
};

}  // namespace modI
