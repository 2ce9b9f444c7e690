// libFuzzer targets for the code that reads what the network or a file gives the program.
// One binary per target: the build defines ORB_FUZZ_TARGET to the target's number.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/texts/encoded_text.h"
#include "app/installer/install_rules.h"
#include "app/transfer/transfer_rules.h"
#include "app/version/version_line.h"
#include "host/form_description.h"

namespace {

std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

void FuzzVersionLine(std::string_view input) {
    const std::string shown = modMain::FormatLatestVersion(input);
    if (shown.size() > input.size() + 64) __builtin_trap();  // the text only rearranges the line
}

void FuzzUrlDecode(std::string_view input) {
    if (auto decoded = modI::UrlDecode(input); decoded && decoded->size() > input.size()) __builtin_trap();
}

void FuzzFileName(std::string_view input) {
    const auto name = modI::FileNameFromDisposition(input);
    if (name && modMain::IsSafeInstallerFileName(*name)) {
        // A name that passes must never climb out of the folder or name a stream.
        if (name->find_first_of("\\/:") != std::string::npos || name->find("..") != std::string::npos) {
            __builtin_trap();
        }
    }
}

void FuzzDecodeText(std::string_view input) {
    if (modMain::DecodeText(input).size() > input.size() / 2) __builtin_trap();
}

void FuzzRequestToken(std::string_view input) {
    const int number = input.empty() ? 1 : static_cast<unsigned char>(input[0]) % 12;
    const std::string token = modMain::MakeRequestToken(input, number);
    if (!token.empty() && token.size() != 7) __builtin_trap();
}

// A description that reads without errors writes back to text that reads to the same.
void FuzzFormDescription(std::string_view input) {
    const auto first = host::ReadFormDescription(input);
    if (!first.Ok()) return;
    std::string written;
    try {
        written = host::WriteFormDescription(first.description);
    } catch (const std::invalid_argument&) {
        return;  // a name the text form cannot hold
    }
    const auto second = host::ReadFormDescription(written);
    if (!second.Ok() || !(second.description == first.description)) __builtin_trap();
}

// In the order of fuzz/CMakeLists.txt, which numbers them from 1.
constexpr void (*kTargets[])(std::string_view) = {FuzzVersionLine, FuzzUrlDecode,    FuzzFileName,
                                                  FuzzDecodeText,  FuzzRequestToken, FuzzFormDescription};
static_assert(ORB_FUZZ_TARGET >= 1 && ORB_FUZZ_TARGET <= std::size(kTargets));

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kTargets[ORB_FUZZ_TARGET - 1](AsText(data, size));
    return 0;
}
