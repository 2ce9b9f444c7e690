// Forms loaded from form descriptions: controls by type name, containers, stored values,
// saving back, and the errors a loader reports.
#include "host/form_loader.h"

#include <gtest/gtest.h>

#include "app/window/frm_main.h"

#include <string>
#include <vector>

#include "host/design_values.h"
#include "host/standard_controls.h"
#include "host/user_control.h"
#include "pump.h"

namespace {

// A user control with two stored values and a font.
class Gauge : public host::UserControl {
public:
    using UserControl::UserControl;
    std::string TypeName() const override { return "Gauge"; }
    std::string caption = "none";
    host::I2 level = 99;

protected:
    void InitProperties() override {
        caption = "Gauge";
        level = 0;
    }
    void ReadProperties(host::PropertyBag& bag) override {
        caption = bag.ReadProperty<std::string>("Caption", "Gauge");
        SetFont(host::ReadFont(bag, "Font", Ambient().Font));
        level = bag.ReadProperty<host::I2>("Level", 0);
    }
    void WriteProperties(host::PropertyBag& bag) override {
        bag.WriteProperty<std::string>("Caption", caption, "Gauge");
        host::WriteFont(bag, "Font", GetFont(), Ambient().Font);
        bag.WriteProperty<host::I2>("Level", level, 0);
    }
};

struct FormLoaderFixture : testing::Test {
    static void SetUpTestSuite() { host::RegisterControlType<Gauge>("Gauge"); }
    host::Form form{"frmTest"};

    template <typename T>
    T& Get(const char* name, std::optional<int> index = {}) {
        auto* control = dynamic_cast<T*>(form.FindControl(name, index));
        EXPECT_TRUE(control) << name;
        return *control;
    }
};

RECT PlacedAt(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(FormLoaderFixture, FormWithTextBoxPictureBoxOptionGroupTimerAndUserControlLoads) {
    const auto loaded = host::LoadFormFromResource(form, "TESTFORM");
    ASSERT_TRUE(loaded.Ok()) << loaded.errors[0];
    std::vector<std::string> listed;
    for (host::Control* c : form.Controls()) listed.push_back(c->TypeName() + " " + c->Name());
    EXPECT_EQ(listed, (std::vector<std::string>{"TextBox txtEmail", "PictureBox picPP",
                                                "OptionButton optProLite", "OptionButton optProLite",
                                                "Timer tCheckEmail", "Gauge gauge"}));
    EXPECT_EQ(form.Caption(), "Host test");
    EXPECT_EQ(form.BorderStyle(), 3);
    EXPECT_EQ(form.Width(), 6000);

    auto& text = Get<host::TextBox>("txtEmail");
    EXPECT_EQ(text.Text(), "me@example.com");
    const RECT textAt = PlacedAt(text.hWnd());
    EXPECT_EQ(textAt.left, 10);
    EXPECT_EQ(textAt.right - textAt.left, 200);
    EXPECT_EQ(text.GetFont()->Name(), "Arial") << "the form's font by default";

    auto& panel = Get<host::PictureBox>("picPP");
    EXPECT_TRUE(panel.AutoRedraw());
    auto& lite = Get<host::OptionButton>("optProLite", 0);
    auto& pro = Get<host::OptionButton>("optProLite", 1);
    EXPECT_EQ(lite.Parent(), static_cast<host::Container*>(&panel));
    EXPECT_EQ(PlacedAt(pro.hWnd()).top, 40) << "placed in its container's pixel scale";
    EXPECT_TRUE(pro.Value());
    EXPECT_FALSE(lite.Value());
    lite.SetValue(true);
    EXPECT_FALSE(pro.Value());

    auto& gauge = Get<Gauge>("gauge");
    EXPECT_EQ(gauge.caption, "Stored") << "stored keys match without regard to case";
    EXPECT_EQ(gauge.level, -3);
    EXPECT_EQ(gauge.Extender().Width(), 1500);
    EXPECT_EQ(gauge.GetFont()->Size(), 9.75);

    int ticks = 0;
    Get<host::Timer>("tCheckEmail").OnTick = [&] { ++ticks; };
    wintest::PumpFor(120);
    EXPECT_GE(ticks, 2);
}

TEST_F(FormLoaderFixture, SavingWritesWhatLoadsBackTheSame) {
    ASSERT_TRUE(host::LoadFormFromResource(form, "TESTFORM").Ok());
    Get<host::TextBox>("txtEmail").SetText("typed \"here\"");
    Get<Gauge>("gauge").level = 12;
    const host::FormDescription saved = host::DescribeForm(form);
    const std::string text = host::WriteFormDescription(saved);

    host::Form again("frmTest");
    const auto loaded = host::LoadFormFromText(again, text);
    ASSERT_TRUE(loaded.Ok()) << loaded.errors[0] << "\n" << text;
    EXPECT_EQ(host::DescribeForm(again), saved) << text;
    EXPECT_EQ(dynamic_cast<Gauge*>(again.FindControl("gauge"))->level, 12);
    const auto* pro = dynamic_cast<host::OptionButton*>(again.FindControl("optProLite", 1));
    EXPECT_EQ(pro->Parent(), dynamic_cast<host::Container*>(again.FindControl("picPP")));
}

TEST_F(FormLoaderFixture, TabOrderTakesTabIndexFirstThenTheDescriptionsOrder) {
    ASSERT_TRUE(host::LoadFormFromResource(form, "TESTFORM").Ok());
    std::vector<std::string> order;
    for (host::Control* c : form.TabOrder()) {
        order.push_back(c->Name() + (c->Index() ? std::to_string(*c->Index()) : "") +
                        (c->IsTabStopNow() ? "" : " (no stop)"));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"optProLite1", "txtEmail", "optProLite0", "gauge (no stop)"}))
        << "picture boxes and timers never take the focus";

    // Saved, only the given values come back: the others keep following the description.
    const std::string text = host::WriteFormDescription(host::DescribeForm(form));
    EXPECT_EQ(text.find("TabIndex"), text.rfind("TabIndex")) << text;
    EXPECT_NE(text.find("TabStop = Bool False"), std::string::npos) << text;
}

TEST_F(FormLoaderFixture, ProblemsAreReportedAndTheRestLoads) {
    const auto loaded = host::LoadFormFromText(form, R"([Form frmTest]
[Blinker blink]
[TextBox txtEmail]
[Label lblB in txtEmail]
[Gauge gauge]
Caption = Str "Read first"
Level = I4 70000
[Label lblOk]
Caption = Str "Here"
)");
    ASSERT_EQ(loaded.errors.size(), 3u);
    EXPECT_NE(loaded.errors[0].find("no control type Blinker"), std::string::npos) << loaded.errors[0];
    EXPECT_NE(loaded.errors[1].find("txtEmail is not a container"), std::string::npos) << loaded.errors[1];
    EXPECT_NE(loaded.errors[2].find("gauge: Overflow"), std::string::npos) << loaded.errors[2];
    auto& gauge = Get<Gauge>("gauge");
    EXPECT_EQ(gauge.caption, "Read first") << "keys read before the failure keep their values";
    EXPECT_TRUE(gauge.Loaded());
    EXPECT_EQ(Get<host::Label>("lblOk").Caption(), "Here");
}

TEST_F(FormLoaderFixture, TextThatDoesNotReadLoadsNothing) {
    const auto loaded = host::LoadFormFromText(
        form, "[Form frmTest]\n[TextBox t]\nText = Str \"open\n[Label l in missing]\n");
    ASSERT_EQ(loaded.errors.size(), 2u);
    EXPECT_EQ(loaded.errors[0].rfind("line 3:", 0), 0u) << loaded.errors[0];
    EXPECT_EQ(loaded.errors[1].rfind("line 4:", 0), 0u) << loaded.errors[1];
    EXPECT_TRUE(form.Controls().empty());
    EXPECT_FALSE(host::LoadFormFromResource(form, "NOSUCHFORM").Ok());
}

TEST(ProgramResources, TheMainWindowsDescriptionIsInTheProgramAndLoads) {
    HMODULE program = LoadLibraryExA(ORB_PROGRAM_FILE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program) << ORB_PROGRAM_FILE;
    RegisterProgramControls();
    host::Form main("frmMain");
    const auto loaded = host::LoadFormFromResource(main, "FRMMAIN", program);
    FreeLibrary(program);
    ASSERT_TRUE(loaded.Ok()) << loaded.errors[0];
    EXPECT_NE(main.FindControl("txtEmail"), nullptr);
    EXPECT_NE(main.FindControl("tCheckEmail"), nullptr);
    for (const char* name : {"mTitleBar", "cmdInstall", "cmdExit", "chkAddToNewsAndUpdates", "lblLatestVersionVal"}) {
        EXPECT_NE(main.FindControl(name), nullptr) << name;
    }
}

}  // namespace
