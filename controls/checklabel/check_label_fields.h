// The state of one label / check box / option control (`lblOrb`), without any Windows type.
//
// The members keep the control's own names and start at the values of a freshly created
// instance. `BackColor`, `Font`, `MouseIcon`, `MousePointer` and `Picture` are not here: the
// control's surface and `PicTmp` hold them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace checklabel {

// A colour value: red in the low byte, then green, then blue; with the high bit set the low
// bits name a system colour, which the Windows side resolves when it draws.
using Colour = std::uint32_t;

inline constexpr Colour Black = 0x000000;
inline constexpr Colour White = 0xFFFFFF;
inline constexpr Colour ButtonFace = 0x8000000F;
inline constexpr Colour ButtonShadow = 0x80000010;
inline constexpr Colour DarkShadow3D = 0x80000015;

struct CheckLabelFields {
    bool Shown = false;  // set at the first show; nothing is painted before it
    Colour CheckColor = Black;
    Colour BoxColor = Black;  // a new instance is black; a loaded one without the key is white
    Colour ForeColor = Black;  // a new instance copies the surface's foreground colour here
    Colour BorderColor = 0xE5A165;
    Colour TrackingColor = 0xFF0000;
    Colour DisabledForeColor = 0x99A8AC;
    Colour FocusRectColor = White;
    std::int16_t CheckDrawWidth = 1;  // pen width of the check mark, pixels
    std::int32_t BoxStyle = 0;
    std::int32_t Align = 0;
    std::int32_t CheckStyle = 0;
    std::wstring Caption = L"chkOrb";
    bool Checked = false;
    bool ShowFocusRect = false;
    bool Enabled = true;
    bool HotTracking = false;
    bool RightToLeft = false;
    bool IsLabel = false;
    bool TransparentBackground = false;
    bool IsOption = false;
    bool AutoSize = false;
    bool WordWrap = false;
    Colour SavedForeColor = Black;  // ForeColor put aside while hot tracking shows TrackingColor
    std::int32_t StyleEx = 0;
    bool HasFocus = false;
    std::array<Colour, 8> CustomColors{};  // edges of box style 6; nothing ever changes them
};

}  // namespace checklabel
