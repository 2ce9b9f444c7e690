// Encoded texts: fixed texts stored as pairs of hexadecimal digits, each pair the code-table
// byte of one plain character, and the request token that goes with the install request.
//
// The program keeps its addresses and most messages only in this form. `Encode` turns a
// plain literal into its stored form while the program is compiled, so that the plain text
// stays in the source and never reaches the program file; `DecodeText` turns it back when
// it is used.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace modMain {

// The fixed table behind the encoding: a permutation of 0..255, so every byte decodes back.
// Multiplying by an odd number modulo 256 is a bijection; the offset moves 0 off itself.
constexpr std::uint8_t CodeTableEntry(unsigned index) {
    return static_cast<std::uint8_t>((index * 167u + 91u) & 0xFFu);
}

// The run-time copy of the table, written by `InitCodeTable` and by nothing else.
extern std::array<std::uint8_t, 256> CodeTable;

void InitCodeTable();

// Turns an encoded text back into plain text. An empty text gives an empty text.
// A digit pair that is not hexadecimal is a caller's fault; stored texts never hold one.
std::string DecodeText(std::string_view encoded);

// Left-pads text with "0" up to width characters.
std::string ZeroPad(std::string text, std::size_t width);

// The seven-character check value sent with the install request; empty for an empty text,
// a text longer than 255 characters, or a number that is not a single decimal digit.
std::string MakeRequestToken(std::string_view text, std::int32_t number);

// An encoded literal: twice as many digits as the plain text has characters.
template <std::size_t Digits>
struct EncodedText {
    std::array<char, Digits + 1> digits{};
    constexpr std::string_view view() const { return {digits.data(), Digits}; }
    std::string Decode() const { return DecodeText(view()); }
};

template <std::size_t N>
consteval EncodedText<2 * (N - 1)> Encode(const char (&plain)[N]) {
    constexpr char hex[] = "0123456789ABCDEF";
    EncodedText<2 * (N - 1)> out{};
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const std::uint8_t code = CodeTableEntry(static_cast<unsigned char>(plain[i]));
        out.digits[2 * i] = hex[code >> 4];
        out.digits[2 * i + 1] = hex[code & 0x0F];
    }
    return out;
}

}  // namespace modMain
