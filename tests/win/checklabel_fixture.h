// A form with lblOrb instances for the label / check box tests, an event recorder and pixel
// helpers that read the controls' persistent images.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "controls/checklabel/lbl_orb.h"
#include "host/form.h"
#include "host/standard_controls.h"
#include "pump.h"

namespace checklabel_test {

using Log = std::vector<std::string>;

inline std::string Twips(double x, double y) {
    return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
}

// Appends the control's events to `log` as text, prefixed with the control's index.
inline void Record(lblOrb& control, Log& log, bool withDrawing = false) {
    const std::string who = control.Index() ? std::to_string(*control.Index()) + " " : "";
    control.OnCheckClick = [&log, who](bool& checked) { log.push_back(who + "CheckClick " + (checked ? "-1" : "0")); };
    control.OnMouseDown = [&log, who](host::I2& b, host::I2& s, float& x, float& y) {
        log.push_back(who + "MouseDown " + std::to_string(b) + " " + std::to_string(s) + " " + Twips(x, y));
    };
    control.OnMouseMove = [&log, who](host::I2& b, host::I2& s, float& x, float& y, host::I4& state) {
        log.push_back(who + "MouseMove " + std::to_string(b) + " " + std::to_string(s) + " " + Twips(x, y) +
                      " State " + std::to_string(state));
    };
    control.OnMouseUp = [&log, who](host::I2& b, host::I2& s, float& x, float& y) {
        log.push_back(who + "MouseUp " + std::to_string(b) + " " + std::to_string(s) + " " + Twips(x, y));
    };
    if (withDrawing) {
        control.OnAfterDrawCaption = [&log, who](HDC&, checklabel::Colour&) { log.push_back(who + "AfterDrawCaption"); };
        control.OnPropertyChanged = [&log, who](const std::string& key) { log.push_back(who + "changed " + key); };
    }
}

// Both sequences are printed on a mismatch.
inline void ExpectSequence(const Log& actual, const Log& expected) {
    auto join = [](const Log& log) {
        std::string text;
        for (const auto& line : log) text += "\n    " + line;
        return text;
    };
    EXPECT_EQ(actual, expected) << "expected:" << join(expected) << "\nactual:" << join(actual);
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The box around every pixel that is not `background`; empty (right < left) when none.
inline RECT InkBounds(HDC dc, RECT area, COLORREF background) {
    RECT ink{area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (GetPixel(dc, x, y) == background) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x);
            ink.bottom = std::max<LONG>(ink.bottom, y);
        }
    }
    return ink;
}

inline int CountPixels(HDC dc, RECT area, COLORREF colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) n += GetPixel(dc, x, y) == colour;
    }
    return n;
}

struct CheckLabelFixture : testing::Test {
    host::Form form{"frmMain"};

    void SetUp() override {
        SetCursorPos(1000, 760);  // the real pointer stays off the form
        form.Move(0, 0, 7500, 4500);
        form.SetFont(std::make_shared<host::Font>("Arial", 9.75));
    }

    // A new instance, white on white with black text, 3000 × 600 twips (200 × 40 pixels).
    lblOrb& AddNew(const std::string& name = "chkNews", std::optional<int> index = {}, int top = 0) {
        auto& control = static_cast<lblOrb&>(form.AddControl(std::make_unique<lblOrb>(name, index)));
        control.Move(0, top, 3000, 600);
        control.SetBackColor(kWhite);
        control.SetForeColor(kBlack);
        control.SetBoxColor(kWhite);
        return control;
    }

    lblOrb& AddStored(host::PropertyBag& stored, const std::string& name = "lblVersion") {
        auto& control = static_cast<lblOrb&>(form.AddControl(std::make_unique<lblOrb>(name), nullptr, &stored));
        control.Move(0, 0, 3000, 600);
        return control;
    }

    void ShowForm() {
        form.Show();
        form.ZOrder();
        wintest::PumpFor(30);
    }

    static RECT Area(lblOrb& control) {
        RECT r{};
        GetClientRect(control.hWnd(), &r);
        return r;
    }
};

}  // namespace checklabel_test
