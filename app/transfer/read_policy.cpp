#include "app/transfer/read_policy.h"

#include <algorithm>

namespace modI {

bool ReadPolicy::ReadWhatArrives(BodySource& source, char* into, std::uint32_t& got) {
    got = 0;
    std::uint32_t available = 0;
    if (!source.DataAvailable(available)) return false;
    // Never more than is there, or the read would wait for the rest. At the end (nothing
    // available) the read delivers nothing at once.
    return source.Read(into, available > 0 ? std::min(available, most_) : most_, got);
}

}  // namespace modI
