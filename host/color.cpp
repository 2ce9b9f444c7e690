#include "host/color.h"

#include <olectl.h>

namespace host {

COLORREF ResolveColor(OleColor value) {
    if (IsSystemColor(value)) return GetSysColor(static_cast<int>(value & 0xFF));
    return static_cast<COLORREF>(value & 0x00FFFFFF);
}

bool TranslateColor(OleColor value, HPALETTE palette, COLORREF& rgb) {
    COLORREF result = 0;
    if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(value), palette, &result))) return false;
    rgb = result;
    return true;
}

}  // namespace host
