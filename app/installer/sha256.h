// SHA-256 (FIPS 180-4), fed piece by piece: the running digest of a download, and the digest
// of the file it was saved to, so that the two can be compared before the file is started.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace modMain {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256() { Reset(); }
    // Starts again as if nothing had been added.
    void Reset();
    void Add(std::string_view bytes);
    // The digest of everything added so far; adding may go on afterwards.
    Digest Result() const;

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace modMain
