#include "host/wide_text.h"

#include <string>

#include "host/handles.h"

namespace host {

std::wstring Widen(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::optional<std::string> NarrowExactly(std::wstring_view text, UINT codePage) {
    if (text.empty()) return std::string();
    if (codePage == CP_ACP) codePage = GetACP();
    const int size = static_cast<int>(text.size());
    // UTF-8 writes every character; it refuses only what is not one (a lone surrogate), and
    // takes no substitute flag.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL substituted = FALSE;
    BOOL* substitutedOut = utf8 ? nullptr : &substituted;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, substitutedOut);
    if (length <= 0 || substituted) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, substitutedOut);
    // A round trip catches what the code page maps without calling it a substitute.
    if (substituted || Widen(narrow, codePage) != text) return std::nullopt;
    return narrow;
}

std::string SystemErrorText(DWORD error) {
    // A shell answer that wraps a system error code is worded as that code.
    if (HRESULT_FACILITY(error) == FACILITY_WIN32 && (error & 0x80000000u)) error = HRESULT_CODE(error);
    unique_local<wchar_t> text;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
    std::wstring wording = length && text ? std::wstring(text.get(), length) : std::wstring();
    while (!wording.empty() && (wording.back() == L'\n' || wording.back() == L'\r' || wording.back() == L' ')) {
        wording.pop_back();
    }
    if (wording.empty()) {
        // Written out by hand: the C library's formatted printing would bring its whole
        // formatting engine into the program file for this one line.
        std::string number;
        if (error & 0x80000000u) {
            number = "0x";
            for (int shift = 28; shift >= 0; shift -= 4) number += "0123456789ABCDEF"[(error >> shift) & 0xF];
        } else {
            number = std::to_string(error);
        }
        return "Error " + number;
    }
    return Narrow(wording, CP_UTF8);
}

}  // namespace host
