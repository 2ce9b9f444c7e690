#include "host/color.h"

#include <olectl.h>

#include "host/system_library.h"

namespace host {

COLORREF ResolveColor(OleColor value) {
    if (IsSystemColor(value)) return GetSysColor(static_cast<int>(value & 0xFF));
    return static_cast<COLORREF>(value & 0x00FFFFFF);
}

bool TranslateColor(OleColor value, HPALETTE palette, COLORREF& rgb) {
    // Only a caller that asks for the translation needs the OLE automation library.
    static const auto translate = SystemFunction<decltype(&OleTranslateColor)>("oleaut32.dll", "OleTranslateColor");
    COLORREF result = 0;
    if (!translate || FAILED(translate(static_cast<OLE_COLOR>(value), palette, &result))) return false;
    rgb = result;
    return true;
}

}  // namespace host
