#include "host/font_handle.h"

#include <cmath>
#include <cstring>

#include "host/app.h"

namespace host {

int FontPixelHeight(double points) {
    const double dpi = 1440.0 / App::TwipsPerPixelY();
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

unique_font CreateFontHandle(const Font& font, bool underline) {
    LOGFONTA lf{};
    lf.lfHeight = -FontPixelHeight(font.Size());
    lf.lfWeight = font.Weight();
    lf.lfItalic = font.Italic();
    lf.lfUnderline = underline;
    lf.lfStrikeOut = font.Strikethrough();
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, font.Name().c_str(), LF_FACESIZE - 1);
    return unique_font(CreateFontIndirectA(&lf));
}

unique_font CreateFontHandle(const Font& font) { return CreateFontHandle(font, font.Underline()); }

}  // namespace host
