// Conversions between the program's narrow strings and the system's UTF-16 ones, in a code
// page the caller names: CP_ACP for what the ANSI calls take, CP_UTF8 for stored captions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace host {

std::wstring Widen(std::string_view text, UINT codePage);
std::string Narrow(std::wstring_view text, UINT codePage);

}  // namespace host
