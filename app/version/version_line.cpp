#include "app/version/version_line.h"

#include <optional>

#include "app/texts/texts.h"

namespace modMain {

namespace {

// The month field: exactly two characters forming a whole number of a byte's range
// (blanks around it allowed); nothing otherwise.
std::optional<std::uint8_t> ReadMonth(std::string_view field) {
    if (field.size() != 2) return std::nullopt;
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (field.empty()) return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return static_cast<std::uint8_t>(value);
}

// The day field read as a number: leading blanks skipped, an optional sign, digits up to the
// first character that is not one; nothing readable gives 0.
long ReadDay(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) value = value * 10 + (field[i] - '0');
    return negative ? -value : value;
}

}  // namespace

std::string GetMonthName(std::uint8_t month) {
    switch (month) {
        case 1: return texts::MonthJanuary.Decode();
        case 2: return texts::MonthFebruary.Decode();
        case 3: return texts::MonthMarch.Decode();
        case 4: return texts::MonthApril.Decode();
        case 5: return texts::MonthMay.Decode();
        case 6: return texts::MonthJune.Decode();
        case 7: return texts::MonthJuly.Decode();
        case 8: return texts::MonthAugust.Decode();
        case 9: return texts::MonthSeptember.Decode();
        case 10: return texts::MonthOctober.Decode();
        case 11: return texts::MonthNovember.Decode();
        case 12: return texts::MonthDecember.Decode();
        default: return {};
    }
}

std::string FormatLatestVersion(std::string_view body) {
    std::string_view line = body.substr(0, body.find("\r\n"));
    const std::string_view date = line.substr(0, 8);

    const std::string separator = texts::VersionSeparator.Decode();
    const std::size_t at = line.find(separator);
    const std::string_view version = at == std::string_view::npos ? line : line.substr(at + separator.size());

    const auto month = ReadMonth(date.size() >= 6 ? date.substr(4, 2) : std::string_view());
    if (!month) return texts::VersionError.Decode();

    const long day = ReadDay(date.substr(date.size() >= 2 ? date.size() - 2 : 0));
    const std::string afterPart = texts::VersionAfterPart.Decode();
    return std::string(version) + afterPart + GetMonthName(*month) + texts::VersionAfterMonth.Decode() +
           std::to_string(day) + afterPart + std::string(date.substr(0, 4));
}

}  // namespace modMain
