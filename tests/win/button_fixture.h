// A cmdOrb on a shown form, for the button's Windows tests: 100 × 25 pixels at (20, 20)
// pixels, loaded from stored properties (so the stored-instance defaults apply).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "controls/button/cmd_orb.h"
#include "host/form.h"
#include "pump.h"

namespace buttontest {

inline constexpr int kLeft = 300, kTop = 300, kWidth = 1500, kHeight = 375;  // twips

// Stored properties with only a caption.
inline host::PropertyBag Installing() {
    host::PropertyBag stored;
    stored.Set("Caption", std::string("Install"));
    return stored;
}

struct ButtonOnForm {
    host::Form form{"frmButton"};
    cmdOrb* button = nullptr;

    // Loaded from `stored`; a new instance without it.
    explicit ButtonOnForm(std::optional<host::PropertyBag> stored = Installing()) {
        SetCursorPos(1200, 1000);  // away from the button: it starts at rest
        form.Move(0, 0, 6000, 4500);
        std::unique_ptr<cmdOrb> owned = std::make_unique<cmdOrb>("cmdInstall");
        button = owned.get();
        form.AddControl(std::move(owned), nullptr, stored ? &*stored : nullptr);
        button->Move(kLeft, kTop, kWidth, kHeight);
        form.Show();
        form.ZOrder();
        wintest::PumpFor(30);
    }
    // A pixel of the face as composed (the persistent image, without the constituents).
    COLORREF Face(int x, int y) { return GetPixel(button->ControlHdc(), x, y); }
    // Puts the pointer over the button at (x, y) of its client area and lets the move arrive.
    void PointAt(int x, int y) {
        POINT at{x, y};
        ClientToScreen(button->ControlHwnd(), &at);
        SetCursorPos(at.x, at.y);
        wintest::PumpFor(30);
    }
};

struct ButtonFixture : testing::Test {
    std::unique_ptr<ButtonOnForm> bench = std::make_unique<ButtonOnForm>();
    cmdOrb* button = bench->button;
    COLORREF Face(int x, int y) { return bench->Face(x, y); }
};

}  // namespace buttontest
