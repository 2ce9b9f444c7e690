// The transfer's read policy against a simulated line, under the ways a system's read can
// treat a buffer larger than what has arrived: Windows' waits until the buffer is full or the
// data ends; a read that returns what has arrived; and Wine 8's, which waits like Windows'
// but reports at most the 8 KiB it holds as available. The window gives up when no piece
// comes within the time-out; the policy must never make it give up while data still arrives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "app/transfer/read_policy.h"

namespace {

constexpr std::uint32_t kMost = 32000;  // the transfer's read size
constexpr double kTimeoutMs = 1500;
constexpr double kNever = std::numeric_limits<double>::infinity();

char ByteAt(std::uint32_t i) { return static_cast<char>(i * 7 + i / 251); }

// A body arriving over time: after step i, `steps[i].total` bytes have arrived by `steps[i].atMs`.
// A line that ends has no more data after its last step; one that stops just goes quiet.
struct Line {
    struct Step {
        double atMs;
        std::uint32_t total;
    };
    std::vector<Step> steps;
    bool ends = true;

    // `bytes` in packets of `packet` bytes, one every `everyMs`.
    Line& Then(std::uint32_t bytes, std::uint32_t packet, double everyMs) {
        double at = steps.empty() ? 0 : steps.back().atMs;
        std::uint32_t total = steps.empty() ? 0 : steps.back().total;
        for (std::uint32_t sent = 0; sent < bytes; sent += packet) {
            at += everyMs;
            total += std::min(packet, bytes - sent);
            steps.push_back({at, total});
        }
        return *this;
    }
    std::uint32_t ArrivedBy(double ms) const {
        std::uint32_t total = 0;
        for (const Step& s : steps) {
            if (s.atMs <= ms) total = s.total;
        }
        return total;
    }
    double NextArrivalAfter(double ms) const {
        for (const Step& s : steps) {
            if (s.atMs > ms) return s.atMs;
        }
        return kNever;
    }
    bool EndedBy(double ms) const { return ends && ms >= steps.back().atMs; }
    std::uint32_t Total() const { return steps.back().total; }
};

// How the simulated WinINet reads.
struct System {
    const char* name;
    bool readWaitsForFullBuffer;
    std::uint32_t mostReportedAvailable;
};
constexpr std::uint32_t kAll = std::numeric_limits<std::uint32_t>::max();
const System kSystems[] = {
    {"Windows", true, kAll},
    {"a read that returns what has arrived", false, 8192},
    {"Wine 8", true, 8192},
};

// The line as WinINet hands it over, on a simulated clock that moves only while a call waits.
// A wait that would outlast `deadlineMs` is cut off there: the window has given up.
class SimulatedRequest : public modI::BodySource {
public:
    SimulatedRequest(const Line& line, const System& system) : line_(line), system_(system) {}
    double nowMs = 0;
    double deadlineMs = kTimeoutMs;
    std::uint32_t taken = 0;

    bool DataAvailable(std::uint32_t& bytes) override {
        if (!WaitFor(1)) return false;
        bytes = std::min(Unread(), system_.mostReportedAvailable);
        return true;
    }
    bool Read(char* into, std::uint32_t wanted, std::uint32_t& got) override {
        if (!WaitFor(system_.readWaitsForFullBuffer ? wanted : 1)) return false;
        got = std::min(wanted, Unread());
        for (std::uint32_t i = 0; i < got; ++i) into[i] = ByteAt(taken + i);
        taken += got;
        return true;
    }

private:
    std::uint32_t Unread() const { return line_.ArrivedBy(nowMs) - taken; }
    // Until `bytes` are unread or the data has ended; false when the deadline comes first.
    bool WaitFor(std::uint32_t bytes) {
        while (Unread() < bytes && !line_.EndedBy(nowMs)) {
            const double next = line_.NextArrivalAfter(nowMs);
            if (next > deadlineMs) {
                nowMs = deadlineMs;
                return false;
            }
            nowMs = next;
        }
        return true;
    }
    const Line& line_;
    const System& system_;
};

struct Outcome {
    std::string body;
    bool completed = false;  // the data ended; otherwise the window gave up
    double endedAtMs = 0;
};

// The transfer's thread and the window's together: each piece must come within the time-out
// of the one before.
Outcome Transfer(const Line& line, const System& system) {
    SimulatedRequest request(line, system);
    modI::ReadPolicy policy(kMost);
    std::vector<char> buffer(kMost);
    Outcome out;
    for (;;) {
        std::uint32_t got = 0;
        const bool read = policy.ReadWhatArrives(request, buffer.data(), got);
        if (!read || got == 0) {
            out.completed = read;
            out.endedAtMs = request.nowMs;
            return out;
        }
        out.body.append(buffer.data(), got);
        request.deadlineMs = request.nowMs + kTimeoutMs;
    }
}

std::string Expected(std::uint32_t size) {
    std::string bytes(size, '\0');
    for (std::uint32_t i = 0; i < size; ++i) bytes[i] = ByteAt(i);
    return bytes;
}

TEST(ReadPolicy, AFastStartThenATrickleCompletesWithEveryByte) {
    // 100 KB in bursts of 16 KiB, one a millisecond, then 10 bytes a second for 20 s.
    Line line;
    line.Then(100 * 1024, 16384, 1).Then(200, 1, 100);
    for (const System& s : kSystems) {
        const Outcome out = Transfer(line, s);
        EXPECT_TRUE(out.completed) << s.name << ": given up at " << out.endedAtMs << " ms with "
                                   << out.body.size() << " of " << line.Total() << " bytes";
        EXPECT_TRUE(out.body == Expected(line.Total())) << s.name;
    }
}

TEST(ReadPolicy, ALineThatGoesQuietEndsAtTheTimeOutWithAllThatArrived) {
    Line line;
    line.Then(100 * 1024, 16384, 1);
    line.ends = false;
    const double quietFrom = line.steps.back().atMs;
    for (const System& s : kSystems) {
        const Outcome out = Transfer(line, s);
        EXPECT_FALSE(out.completed) << s.name;
        EXPECT_TRUE(out.body == Expected(line.Total())) << s.name << ": the bar must show all that arrived";
        EXPECT_EQ(out.endedAtMs, quietFrom + kTimeoutMs) << s.name;
    }
}

}  // namespace
