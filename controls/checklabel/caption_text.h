// The caption of the label / check box / option control as text: the "&" access key, the
// two-line wrap, the access-key letter of the Hebrew keyboard layout and the auto-size width.
//
// Text widths come from a callback, the surface's text measure in twips on the Windows side,
// so that these decisions need no device context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace checklabel {

// Width of a text in the surface's current font, in twips.
using TextWidthFn = std::function<double(std::wstring_view)>;

// The caption with every "&" removed: what is printed and measured.
std::wstring StripAmpersands(std::wstring_view caption);

// The Latin key under which a character lies on the standard Hebrew keyboard layout; any
// other character, "Q", "q", "W" and "w" included, comes back unchanged.
wchar_t AccessKeyLetter(wchar_t c);

// What `PrintCaption` prints, at the surface's current position and colour.
struct CaptionPlan {
    enum class Kind {
        Nothing,    // an empty caption
        AccessKey,  // FirstLine without line break, then Underlined underlined over it
        OneLine,    // FirstLine without line break
        TwoLines,   // FirstLine with line break, then SecondLine with line break
    };
    Kind kind = Kind::Nothing;
    std::wstring FirstLine;
    std::wstring SecondLine;
    std::size_t UnderlineIndex = 0;  // index in FirstLine of the underlined character
    double UnderlineOffset = 0;      // its x from the print's start: the width before it
    wchar_t Underlined = L' ';   // the character after the first "&"; a blank when "&" is last
    wchar_t AccessKey = L' ';    // AccessKeyLetter(Underlined), for the surface's access keys
};

// A caption holding "&" never wraps. Without it and with `wordWrap`, a caption wider than
// innerWidth is cut between characters into exactly two lines.
CaptionPlan PlanCaption(std::wstring_view caption, bool wordWrap, double innerWidth,
                        const TextWidthFn& widthOf);

// `AutoSizeControl`'s new width in twips: 9 pixels, the box room (none for a label) and the
// stripped caption's rounded width.
std::int32_t AutoSizeWidth(std::wstring_view caption, const TextWidthFn& widthOf, bool isLabel,
                           std::int32_t picCheckWidth, std::int32_t twipsPerPixelX);

}  // namespace checklabel
