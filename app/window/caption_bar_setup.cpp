#include "app/window/caption_bar_setup.h"

#include <cstdint>
#include <utility>

#include "host/app.h"
#include "host/color.h"

namespace modMain {

namespace {

// The caption bar's item mask (bit i - 1 enables glyph item i): item 3, close, alone.
constexpr std::uint8_t kCloseItemOnly = 1 << (3 - 1);

}  // namespace

titOrb::MenuSettings MainCaptionBarMenu(host::Form& form) {
    // The bar's own parent, the form that holds it; no bottom line, no solid background, no
    // offsets of the system-menu or toolbar items, and every box acts on the window itself.
    return {.Index = 1,
            .BakColor = host::SystemColor(COLOR_BTNFACE),
            .HilgtColor = host::SystemColor(COLOR_HIGHLIGHT),
            .Fnt = form.GetFont(),
            .ControlBoxes = true,
            .ovrMenuHeight = 42 * host::App::TwipsPerPixelY(),
            .ControlBoxesMask = kCloseItemOnly,
            .ShowTitleBar = true,
            .IsTitleBar = true,
            .NoTopWindowResize = true,
            .HasLogoBump = true,
            .AddToTopControlBoxes = 3};
}

void SetUpMainCaptionBar(host::Form& form, titOrb& bar, host::PicturePtr logo) {
    bar.InitMenu(MainCaptionBarMenu(form));
    titOrb::Colour background = RGB(180, 180, 180), highlight = RGB(0, 0, 0);
    titOrb::Colour glyphs = RGB(255, 255, 255), highlightGlyphs = RGB(255, 255, 255);
    bar.SynchColorsNow(background, highlight, glyphs, highlightGlyphs);
    bar.SetTitlebar(false);
    bar.SetDrawControlBoxes(true);
    bar.SetAllowMaximize(false);
    bar.SetLogo(std::move(logo), {.IsVisible = true,
                                  .PLeft = 6,
                                  .PTop = 9,
                                  .PHeight = 48,
                                  .PWidth = 48,
                                  .FrameWidth = 9,
                                  .Curvature = 65,
                                  .lLeftAdd = -8,
                                  .lTopAdd = -8});
}

}  // namespace modMain
