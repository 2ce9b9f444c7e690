// A cmdOrb on a shown form, for the button's Windows tests: 100 × 25 pixels at (20, 20)
// pixels, loaded from stored properties (so the stored-instance defaults apply).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "controls/button/cmd_orb.h"
#include "host/form.h"
#include "pump.h"

namespace buttontest {

inline constexpr int kLeft = 300, kTop = 300, kWidth = 1500, kHeight = 375;  // twips

struct ButtonFixture : testing::Test {
    host::Form form{"frmButton"};
    cmdOrb* button = nullptr;

    // `stored` adds to the stored properties; the caption is "Install" unless it says otherwise.
    cmdOrb& AddButton(host::PropertyBag stored = {}) {
        if (!stored.Contains("Caption")) stored.Set("Caption", std::string("Install"));
        auto& added = static_cast<cmdOrb&>(
            form.AddControl(std::make_unique<cmdOrb>("cmdInstall"), nullptr, &stored));
        added.Move(kLeft, kTop, kWidth, kHeight);
        return added;
    }
    void ShowForm() {
        form.Show();
        form.ZOrder();
        wintest::PumpFor(30);
    }
    void SetUp() override {
        form.Move(0, 0, 6000, 4500);
        button = &AddButton();
        ShowForm();
    }
    // A pixel of the face as composed (the persistent image, without the constituents).
    COLORREF Face(int x, int y) { return GetPixel(button->ControlHdc(), x, y); }
};

}  // namespace buttontest
