// The decisions of the HTTP transfer that need no platform: the file name from the
// content-disposition header, the content length, the progress percentage and its text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace modI {

// Decodes "+" as a blank and "%" followed by two hexadecimal digits as that byte; a "%"
// among the last two characters stays as it is. A "%" followed by two characters that are
// not both hexadecimal digits is malformed: no result.
std::optional<std::string> UrlDecode(std::string_view text);

// The content length from the header's answer: its leading decimal number (blanks before it
// skipped), 0 when there is none. Installers may pass 2 and 4 GiB; a number beyond 2^62 (more
// than any file holds) is no result: the reply cannot be trusted.
std::optional<std::int64_t> ParseContentLength(std::string_view header);

// The file name of a content-disposition header: everything after the first double quote
// less its last character, URL-decoded. Empty without a double quote; no result when the
// name's escapes are malformed.
std::optional<std::string> FileNameFromDisposition(std::string_view header);

// What a response's status asks of the transfer: 2xx carries the body; 301, 302, 303, 307
// and 308 send it elsewhere; anything else is a failure, whatever its body says.
enum class StatusMeaning { Body, Redirect, Failure };
StatusMeaning MeaningOfStatus(int status);

// Redirects followed for one transfer before it counts as a failure.
inline constexpr int kMostRedirects = 10;

// Whether a redirect from `from` to `to` may be followed: only to http or https, and never
// from https down to plain http.
bool MayFollowRedirect(std::string_view from, std::string_view to);

// Percent of the announced length that has arrived, rounded half to even.
std::int64_t ProgressPercent(std::int64_t received, std::int64_t contentLength);

// The progress bar's text for a percentage: prefix, number, suffix.
std::string ProgressText(int percent);

// Right edge in pixels of the bar's filled part for a bar `widthTwips` wide.
int ProgressFillRight(int percent, int widthTwips, int twipsPerPixelX);

}  // namespace modI
