// The main window's caption bar as the window sets it up: its menu settings, its colours and
// boxes, and the logo. The benchmarks and the caption bar's tests set their bars up through
// these too, so that they measure and test the bar the window shows.
#pragma once

#include "controls/captionbar/tit_orb.h"
#include "host/form.h"
#include "host/picture.h"

namespace modMain {

// The menu settings the window gives its bar on `form`: the close box alone, the window's
// font, a bar 42 pixels high, no sizing by the top edge.
titOrb::MenuSettings MainCaptionBarMenu(host::Form& form);

// The whole set-up of `bar` on `form`: the menu settings above, the window's colours, the
// drawn boxes without a maximise box, and `logo` at the top-left.
void SetUpMainCaptionBar(host::Form& form, titOrb& bar, host::PicturePtr logo);

}  // namespace modMain
