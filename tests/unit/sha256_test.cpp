// SHA-256 against the FIPS 180-4 example vectors, fed whole and in uneven pieces.
#include "app/installer/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const modMain::Sha256::Digest& digest) {
    constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (auto byte : digest) {
        out += hex[byte >> 4];
        out += hex[byte & 0x0F];
    }
    return out;
}

TEST(Sha256, KnownVectorsWholeAndInPieces) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // 55, 56 and 64 bytes: the padding fits, just does not fit, and takes a block of its own.
        {std::string(55, 'x'), "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072"},
        {std::string(56, 'x'), "04c26261370ee7541549d16dee320c723e3fd14671e66a099afe0a377c16888e"},
        {std::string(64, 'x'), "7ce100971f64e7001e8fe5a51973ecdfe1ced42befe7ee8d5fd6219506b5393c"},
    };
    for (const auto& c : cases) {
        modMain::Sha256 whole;
        whole.Add(c.message);
        EXPECT_EQ(Hex(whole.Result()), c.digest) << c.message.size() << " bytes whole";
        modMain::Sha256 pieces;
        for (std::size_t at = 0, step = 1; at < c.message.size(); at += step, step = step * 3 % 70 + 1) {
            pieces.Add(std::string_view(c.message).substr(at, step));
        }
        EXPECT_EQ(Hex(pieces.Result()), c.digest) << c.message.size() << " bytes in pieces";
    }
}

TEST(Sha256, ResetForgetsWhatWasAdded) {
    modMain::Sha256 hash;
    hash.Add("something else");
    (void)hash.Result();  // reading the digest changes nothing
    hash.Reset();
    hash.Add("abc");
    EXPECT_EQ(Hex(hash.Result()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
