// A caption bar on a 600 × 300 pixel form at (100, 100), set up as the main window sets it
// up unless a test asks otherwise, with every event it raises written to a log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/window/caption_bar_setup.h"
#include "controls/captionbar/tit_orb.h"
#include "host/app.h"
#include "host/form.h"
#include "pump.h"

namespace wintest {

using Log = std::vector<std::string>;

// The InitMenu arguments the tests vary; the rest are the main window's.
struct BarOptions {
    std::int32_t ovrMenuHeightPixels = 42;
    std::uint8_t ControlBoxesMask = 4;
    bool ControlBoxes = true;
    bool NotifyCloseEventOnly = false;
    bool NoTopWindowResize = true;
};

struct CaptionBarFixture : testing::Test {
    host::Form form{"frmCaptionTest"};
    titOrb* bar = nullptr;
    Log log;

    void SetUp() override {
        form.Move(100 * 15, 100 * 15, 600 * 15, 300 * 15);
        bar = &form.Add<titOrb>("mTitleBar");
        Record();
    }

    void Init(const BarOptions& o = {}) { Init(*bar, o); }
    void Init(titOrb& target, const BarOptions& o) {
        titOrb::MenuSettings s = modMain::MainCaptionBarMenu(form);
        s.ovrMenuHeight = o.ovrMenuHeightPixels * host::App::TwipsPerPixelY();
        s.ControlBoxesMask = o.ControlBoxesMask;
        s.ControlBoxes = o.ControlBoxes;
        s.NotifyCloseEventOnly = o.NotifyCloseEventOnly;
        s.NoTopWindowResize = o.NoTopWindowResize;
        target.InitMenu(s);
    }

    // A later InitMenu: only the flags, offsets, title bar and item mask change.
    void SetItemMask(std::uint8_t mask) {
        titOrb::MenuSettings s = modMain::MainCaptionBarMenu(form);
        s.ControlBoxesMask = mask;
        bar->InitMenu(s);
    }

    void Show() {
        form.Show();
        form.ZOrder();
        PumpFor(50);
    }

    // The bar's point (x, y) on the screen.
    POINT OnScreen(int x, int y) const {
        POINT at{x, y};
        ClientToScreen(bar->hWnd(), &at);
        return at;
    }

    void Record() {
        auto& b = *bar;
        b.ParentClosing = [this] { log.push_back("ParentClosing"); };
        b.SynchColors = [this](titOrb::Colour& bc, titOrb::Colour& hc, titOrb::Colour& fc,
                               titOrb::Colour& hfc) {
            log.push_back("SynchColors " + std::to_string(bc) + " " + std::to_string(hc) + " " +
                          std::to_string(fc) + " " + std::to_string(hfc));
        };
        b.DrawControl = [this](HDC&) { log.push_back("DrawControl"); };
        b.DoubleClick = [this] { log.push_back("DoubleClick"); };
        b.LogoClicked = [this] { log.push_back("LogoClicked"); };
        b.ShowToolbar = [this](bool& first) {
            log.push_back(std::string("ShowToolbar ") + (first ? "first" : "again"));
        };
        b.HideToolbar = [this] { log.push_back("HideToolbar"); };
        b.OpenSysMenu = [this](std::int32_t& x, std::int32_t& y) {
            log.push_back("OpenSysMenu " + std::to_string(x) + "," + std::to_string(y));
        };
        b.CloseNotify = [this] { log.push_back("CloseNotify"); };
        b.RestoreNotify = [this] { log.push_back("RestoreNotify"); };
        b.MaximizeNotify = [this] { log.push_back("MaximizeNotify"); };
        b.MinimizeNotify = [this] { log.push_back("MinimizeNotify"); };
        b.FocusEvent = [this] { log.push_back("FocusEvent"); };
        b.CaptionClicked = [this](host::I2& button) {
            log.push_back("CaptionClicked " + std::to_string(button));
        };
        b.ButtonClicked = [this](std::int32_t& index) {
            log.push_back("ButtonClicked " + std::to_string(index));
        };
    }
};

}  // namespace wintest
