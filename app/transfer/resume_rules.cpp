#include "app/transfer/resume_rules.h"

namespace modI {

namespace {

bool HoldsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A decimal number at the start of `text`, consumed; no result without a digit or past 2^62.
std::optional<std::int64_t> TakeNumber(std::string_view& text) {
    std::int64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (std::int64_t{1} << 62) / 10) return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (i == 0) return std::nullopt;
    text.remove_prefix(i);
    return value;
}

bool Take(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::string ResumeValidator(std::string_view etag, std::string_view lastModified) {
    etag = Trimmed(etag);
    lastModified = Trimmed(lastModified);
    if (!etag.empty() && !etag.starts_with("W/") && !HoldsLineBreak(etag)) return std::string(etag);
    if (!lastModified.empty() && !HoldsLineBreak(lastModified)) return std::string(lastModified);
    return {};
}

std::string ResumeHeaders(std::int64_t from, std::string_view validator) {
    return "Range: bytes=" + std::to_string(from) + "-\r\nIf-Range: " + std::string(validator) + "\r\n";
}

std::optional<ContentRange> ParseContentRange(std::string_view header) {
    std::string_view text = Trimmed(header);
    if (!text.starts_with("bytes ")) return std::nullopt;
    text.remove_prefix(6);
    text = Trimmed(text);
    ContentRange range;
    const auto first = TakeNumber(text);
    if (!first || !Take(text, '-')) return std::nullopt;
    const auto last = TakeNumber(text);
    if (!last || !Take(text, '/')) return std::nullopt;
    const auto complete = TakeNumber(text);
    if (!complete || !text.empty() || *first > *last || *last >= *complete) return std::nullopt;
    return ContentRange{*first, *last, *complete};
}

ResumeAnswer MeaningOfResumeAnswer(int status, std::string_view contentRange, std::int64_t announced,
                                   std::int64_t held, std::int64_t complete) {
    if (status == 200) return ResumeAnswer::Restart;
    if (status != 206) return ResumeAnswer::Fail;
    const auto range = ParseContentRange(contentRange);
    const bool theRest = range && range->first == held && range->last == complete - 1 &&
                         range->complete == complete && announced == complete - held;
    return theRest ? ResumeAnswer::Continue : ResumeAnswer::Fail;
}

bool ResumeTries::MayTryAgain(std::int64_t held) {
    if (held > furthest_) {
        furthest_ = held;
        fruitless_ = 0;
    } else {
        ++fruitless_;
    }
    return furthest_ > 0 && fruitless_ < kMostFruitlessTries;
}

std::uint32_t ResumeTries::WaitBeforeNextTryMs(std::uint32_t firstWaitMs) const {
    if (fruitless_ == 0) return 0;
    return firstWaitMs << (fruitless_ - 1);
}

}  // namespace modI
