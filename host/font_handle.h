// HFONTs made from the host's font object. Each call gives a new handle that the caller
// owns, so changing a shared Font never deletes a font some DC still has selected.
#pragma once

#include <windows.h>

#include "host/font.h"
#include "host/handles.h"

namespace host {

// Character height in pixels for a size in points on the screen (8.25 pt is 11 at 96 dpi).
int FontPixelHeight(double points);

unique_font CreateFontHandle(const Font& font);
// The same font with the underline switched as asked (the drawing surface's FontUnderline).
unique_font CreateFontHandle(const Font& font, bool underline);

}  // namespace host
