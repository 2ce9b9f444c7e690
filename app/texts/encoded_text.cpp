#include "app/texts/encoded_text.h"

#include <utility>

namespace modMain {

std::array<std::uint8_t, 256> CodeTable{};

namespace {

// Keys of the request token, one byte each.
constexpr std::uint8_t kTokenKeyA = 0x5A;
constexpr std::uint8_t kTokenKeyB = 0x3C;
constexpr std::uint8_t kTokenKeyC = 0xA7;

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Two upper-case hexadecimal digits of a byte value, padded on the left.
std::string Hex2(unsigned value) {
    constexpr char hex[] = "0123456789ABCDEF";
    std::string digits;
    if (value >= 16) digits += hex[(value >> 4) & 0x0F];
    digits += hex[value & 0x0F];
    return ZeroPad(std::move(digits), 2);
}

// The character whose table entry is b; b itself when no entry holds it.
char DecodeByte(std::uint8_t b) {
    for (unsigned j = 0; j < CodeTable.size(); ++j) {
        if (CodeTable[j] == b) return static_cast<char>(j);
    }
    return static_cast<char>(b);
}

}  // namespace

void InitCodeTable() {
    for (unsigned i = 0; i < CodeTable.size(); ++i) CodeTable[i] = CodeTableEntry(i);
}

std::string DecodeText(std::string_view encoded) {
    // Filled once, before the first decoding, also when that comes before start-up fills it;
    // the version query decodes on a thread of its own, so the table is not rewritten here.
    static const bool filled = (InitCodeTable(), true);
    (void)filled;
    std::string plain;
    plain.reserve(encoded.size() / 2);
    for (std::size_t i = 0; i + 1 < encoded.size(); i += 2) {
        const int high = HexDigitValue(encoded[i]);
        const int low = HexDigitValue(encoded[i + 1]);
        if (high < 0 || low < 0) break;  // never in a stored text; stop rather than guess
        plain += DecodeByte(static_cast<std::uint8_t>(high * 16 + low));
    }
    return plain;
}

std::string ZeroPad(std::string text, std::size_t width) {
    if (width > text.size()) text.insert(0, width - text.size(), '0');
    return text;
}

std::string MakeRequestToken(std::string_view text, std::int32_t number) {
    if (text.empty() || text.size() > 255 || number < 0 || number > 9) return {};
    const auto code = [](char c) { return static_cast<unsigned>(static_cast<unsigned char>(c)); };

    // Cells K1..K7 live at cells[1]..cells[7].
    std::string cells = " " + Hex2(static_cast<unsigned>(text.size()) ^ kTokenKeyA) +
                        Hex2(code(text.front()) ^ kTokenKeyB) +
                        Hex2(code(text.back()) ^ kTokenKeyC) + std::to_string(number);
    int k = 0;
    for (char ch : text) {
        if (++k == 7) k = 1;
        const int key = HexDigitValue(cells[k]) * 16 + HexDigitValue(cells[k + 1]);
        const std::string mixed = Hex2(code(ch) ^ static_cast<unsigned>(key));
        cells[k] = mixed[0];
        cells[k + 1] = mixed[1];
    }
    return cells.substr(1);
}

}  // namespace modMain
