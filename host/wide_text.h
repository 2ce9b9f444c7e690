// Conversions between the program's narrow strings and the system's UTF-16 ones, in a code
// page the caller names: CP_ACP for what the ANSI calls take, CP_UTF8 for stored captions.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace host {

std::wstring Widen(std::string_view text, UINT codePage);
std::string Narrow(std::wstring_view text, UINT codePage);

// The text in the code page when every character has its own code there; nothing when one
// would be written as a substitute ("?" or a look-alike) or is not a character at all.
std::optional<std::string> NarrowExactly(std::wstring_view text, UINT codePage);

// The system's own wording of an error code (FormatMessageW, in the user's language), as
// UTF-8 without the trailing line break; the number when the system has no text for it.
std::string SystemErrorText(DWORD error);

}  // namespace host
