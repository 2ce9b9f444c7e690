#include "app/transfer/transfer_rules.h"

#include <cmath>

#include "app/texts/texts.h"
#include "support/rounding.h"

namespace modI {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> UrlDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::int64_t> ParseContentLength(std::string_view header) {
    constexpr std::int64_t kLargest = std::int64_t{1} << 62;
    std::size_t i = 0;
    while (i < header.size() && (header[i] == ' ' || header[i] == '\t')) ++i;
    std::int64_t value = 0;
    for (; i < header.size() && header[i] >= '0' && header[i] <= '9'; ++i) {
        if (value > kLargest / 10) return std::nullopt;
        value = value * 10 + (header[i] - '0');
    }
    return value;
}

std::optional<std::string> FileNameFromDisposition(std::string_view header) {
    const std::size_t quote = header.find('"');
    if (quote == std::string_view::npos) return std::string();
    std::string_view name = header.substr(quote + 1);
    if (!name.empty()) name.remove_suffix(1);  // the closing quote
    return UrlDecode(name);
}

StatusMeaning MeaningOfStatus(int status) {
    if (status >= 200 && status <= 299) return StatusMeaning::Body;
    switch (status) {
        case 301: case 302: case 303: case 307: case 308:
            return StatusMeaning::Redirect;
        default:
            return StatusMeaning::Failure;
    }
}

bool MayFollowRedirect(std::string_view from, std::string_view to) {
    const bool toHttps = StartsWithNoCase(to, "https://");
    if (!toHttps && !StartsWithNoCase(to, "http://")) return false;
    return toHttps || !StartsWithNoCase(from, "https://");
}

std::int64_t ProgressPercent(std::int64_t received, std::int64_t contentLength) {
    if (contentLength <= 0) return 0;
    return support::RoundHalfEven(static_cast<double>(received) / static_cast<double>(contentLength) * 100.0);
}

std::string ProgressText(int percent) {
    const std::string prefix =
        percent <= 99 ? texts::ProgressPrefix.Decode() : texts::ProgressPrefixDone.Decode();
    return prefix + std::to_string(percent) + texts::ProgressSuffix.Decode();
}

int ProgressFillRight(int percent, int widthTwips, int twipsPerPixelX) {
    if (twipsPerPixelX <= 0) return 0;
    const double pixelsPerPercent =
        (widthTwips - 2.0 * twipsPerPixelX) / 100.0 / twipsPerPixelX;
    return support::RoundHalfEven(percent * pixelsPerPercent);
}

}  // namespace modI
