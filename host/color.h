// Colour values of the forms and controls: 0x00BBGGRR, or, with the high bit set, a system
// colour whose index is in the low byte (0x8000000F is the button face).
#pragma once

#include <windows.h>

#include <cstdint>

namespace host {

using OleColor = std::uint32_t;

constexpr OleColor kSystemColorBit = 0x80000000u;

constexpr bool IsSystemColor(OleColor value) { return (value & kSystemColorBit) != 0; }

// The colour value that names a system colour by its COLOR_ index (COLOR_BTNFACE: 0x8000000F).
constexpr OleColor SystemColor(int index) { return kSystemColorBit | static_cast<OleColor>(index); }

// The RGB a colour value stands for now: GetSysColor for a system colour.
COLORREF ResolveColor(OleColor value);

// OleTranslateColor: false (and rgb untouched) for a value it rejects.
bool TranslateColor(OleColor value, HPALETTE palette, COLORREF& rgb);

}  // namespace host
