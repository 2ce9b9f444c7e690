// The main window as its description loads it, shown and brought to the front, without Init's
// loop (which runs until the window is closed): the fixture of the tests that use the whole
// window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/window/frm_main.h"
#include "host/form.h"
#include "pump.h"

namespace wintest {

struct MainWindowFixture : testing::Test {
    std::unique_ptr<frmMain> window;

    void SetUp() override {
        RegisterProgramControls();
        window = std::make_unique<frmMain>();
        ASSERT_TRUE(window->Loaded());
        window->Form().Show();
        window->Form().ZOrder();
        PumpFor(50);
    }
    // A control of the window by its name (and index), as the description gives it.
    template <typename T = host::Control>
    T& Get(const std::string& name, std::optional<int> index = {}) {
        auto* c = dynamic_cast<T*>(window->Form().FindControl(name, index));
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }
};

}  // namespace wintest
