// The button's stored properties on a real instance: defaults of a stored and of a new
// instance, a save that a load gives back key for key, a stored value that does not fit,
// the announcements of the setters, and TranslateColor.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "button_fixture.h"
#include "host/app.h"

namespace {

using buttontest::ButtonOnForm;
using host::I2;
using host::I4;
using host::PictureSource;
using Log = std::vector<std::string>;

// Presses and tells how far the control moved while pressed.
int ShiftWhilePressed(cmdOrb& button) {
    SendMessageA(button.ControlHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    const int moved = button.Extender().Left() - buttontest::kLeft;
    SendMessageA(button.ControlHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 10));
    return moved;
}

TEST(ButtonStorage, StoredInstanceWithoutKeysTakesTheStoredDefaults) {
    ButtonOnForm bench(host::PropertyBag{});
    cmdOrb& button = *bench.button;
    EXPECT_TRUE(button.IsLoaded());
    EXPECT_EQ(button.Caption(), "Command");
    EXPECT_EQ(button.SmoothCurvature(), 25);
    EXPECT_TRUE(button.UnderlineChecked());
    EXPECT_EQ(button.ForeColor(), 0x80000012u);
    EXPECT_EQ(ShiftWhilePressed(button), 30);
}

TEST(ButtonStorage, NewInstanceTakesTheNewInstanceValues) {
    ButtonOnForm bench(std::nullopt);
    cmdOrb& button = *bench.button;
    EXPECT_FALSE(button.IsLoaded());
    EXPECT_EQ(button.ButtonClickHeight(), 0);
    EXPECT_EQ(button.SmoothCurvature(), 0);
    EXPECT_FALSE(button.UnderlineChecked());
    EXPECT_EQ(button.IconSize(), 2);
    EXPECT_EQ(button.IconWidth(), 32);
    EXPECT_EQ(button.IcoDistFromEdge(), 5);
    EXPECT_TRUE(button.Gradient());
    EXPECT_EQ(button.GradientStyle(), 2);
    EXPECT_EQ(ShiftWhilePressed(button), 0);
}

// Every key with a value other than its default, in the order the button writes them.
host::PropertyBag EveryKeyChanged() {
    host::PropertyBag bag;
    const auto set = [&bag](const char* key, host::PropertyValue value) { bag.Set(key, value); };
    set("ButtonClickHeight", I4{45});
    set("StraightSideMask", I4{4});
    set("RightToLeft", true);
    set("UnderlineChecked", false);
    set("SmoothCurvature", I2{10});
    set("TopMarkPercent", host::UI1{30});
    set("ForeColor", I4{0x123456});
    set("Enabled", false);
    set("Font", host::Font("Arial", 9.75, true));
    set("BorderStyle", I2{1});
    set("BackStyle", I2{1});
    set("ToolTipText", std::string("Starts the download"));
    set("HighColor1", I4{0x010203});
    set("CheckedColor", I4{0x0000FF});
    set("HighlightOnHover", false);
    set("DontSwitchRTLSmooth", true);
    set("HasMenu", true);
    set("HighlightStyle", I2{5});
    set("HighColor2", I4{0x040506});
    set("Caption", std::string("Go"));
    set("MouseIcon", PictureSource{PictureSource::Kind::Icon, "#1", {}});
    set("MousePointer", I2{11});
    set("BevelWidth", I4{3});
    set("HighTextColor", I4{0x070809});
    set("BackColor1", I4{0x0A0B0C});
    set("BackColor2", I4{0x0D0E0F});
    set("Gradient", false);
    set("Icon", PictureSource{PictureSource::Kind::Icon, "#1", {}});
    set("CheckedIcon", PictureSource{PictureSource::Kind::Bitmap, "#101", {}});
    set("IconSize", I2{3});
    set("IconAlign", I2{1});
    set("IconWidth", I4{20});
    set("IconHeight", I4{24});
    set("TextAlign", I2{2});
    set("IcoDistFromEdge", I4{7});
    set("IcoDistFromTop", I4{2});
    set("BorderStyle3D", I4{1});
    return bag;
}

TEST(ButtonStorage, SavingALoadedInstanceGivesBackEveryKey) {
    const host::PropertyBag stored = EveryKeyChanged();
    ASSERT_EQ(stored.Entries().size(), 37u);
    ButtonOnForm bench(stored);
    cmdOrb& button = *bench.button;
    EXPECT_EQ(button.Caption(), "Go");
    EXPECT_EQ(button.ForeColor(), 0x123456u);
    EXPECT_EQ(button.Font()->Name(), "Arial");
    EXPECT_EQ(button.TopMarkPercent(), 30);
    EXPECT_FALSE(button.Enabled());
    ASSERT_TRUE(button.CheckedIcon());

    host::PropertyBag saved;
    button.SaveInstance(saved);
    EXPECT_TRUE(saved == stored);
    for (size_t i = 0; i < std::min(saved.Entries().size(), stored.Entries().size()); ++i) {
        EXPECT_EQ(saved.Entries()[i].key, stored.Entries()[i].key);
        EXPECT_TRUE(saved.Entries()[i].value == stored.Entries()[i].value)
            << saved.Entries()[i].key;
    }

    host::PropertyBag defaults;
    ButtonOnForm(host::PropertyBag{}).button->SaveInstance(defaults);
    EXPECT_TRUE(defaults.Empty()) << "a stored instance without keys writes none";
}

TEST(ButtonStorage, AStoredTopMarkPercentAbove255EndsTheLoad) {
    host::Form form("frmButton");
    host::PropertyBag stored;
    stored.Set("StraightSideMask", I4{4});
    stored.Set("SmoothCurvature", I2{10});
    stored.Set("TopMarkPercent", I2{300});
    stored.Set("HighColor1", I4{0x010203});
    auto owned = std::make_unique<cmdOrb>("cmdBad");
    cmdOrb& button = *owned;
    EXPECT_THROW(form.AddControl(std::move(owned), nullptr, &stored), host::PropertyError);
    EXPECT_EQ(button.StraightSideMask(), 4) << "read before the failure";
    EXPECT_EQ(button.SmoothCurvature(), 10);
    EXPECT_EQ(button.HighColor1(), 0xFFC0C0u) << "not read: the creation value";
    EXPECT_FALSE(button.IsLoaded());
}

// Keys read with a 16-bit default into a 32-bit field: a value beyond 16 bits is a value the
// field holds, and it comes back through a save and another load.
TEST(ButtonStorage, ThirtyTwoBitFieldsKeepValuesBeyondSixteenBits) {
    const char* keys[] = {"ButtonClickHeight", "IconWidth",      "IconHeight",   "IcoDistFromEdge",
                          "IcoDistFromTop",    "BorderStyle3D", "BevelWidth"};
    for (const char* key : keys) {
        for (const I4 value : {I4{40000}, I4{-40000}}) {
            SCOPED_TRACE(testing::Message() << key << " = " << value);
            host::PropertyBag stored;
            stored.Set("IconSize", I2{3});  // a custom size keeps IconWidth and IconHeight
            stored.Set(key, value);
            host::PropertyBag saved;
            EXPECT_NO_THROW(ButtonOnForm(stored).button->SaveInstance(saved));
            const host::PropertyValue* kept = saved.Find(key);
            EXPECT_TRUE(kept && *kept == host::PropertyValue(value));
            host::PropertyBag again;
            EXPECT_NO_THROW(ButtonOnForm(saved).button->SaveInstance(again));
            EXPECT_TRUE(again == saved);
        }
    }
    host::PropertyBag tooWide;
    tooWide.Set("SmoothCurvature", I4{40000});  // a 16-bit field
    EXPECT_THROW(ButtonOnForm{tooWide}, host::PropertyError);
}

TEST(ButtonStorage, SettersAnnounceTheirProperties) {
    struct Case {
        const char* name;
        void (*write)(cmdOrb&);
        Log announced;
    };
    const Case cases[] = {
        {"IconWidth", [](cmdOrb& b) { b.SetIconWidth(20); }, {"IconWidth", "IconSize"}},
        {"IconSize 4", [](cmdOrb& b) { b.SetIconSize(4); },
         {"IconHeight", "IconWidth", "IconSize", "IconHeight", "IconWidth"}},
        {"value", [](cmdOrb& b) { b.SetValue(true); }, {}},
        {"GradientStyle", [](cmdOrb& b) { b.SetGradientStyle(3); }, {"GradientStyle"}},
        {"TopMarkPercent", [](cmdOrb& b) { b.SetTopMarkPercent(30); }, {"TopMarkPercent"}},
        {"RightToLeft unchanged", [](cmdOrb& b) { b.SetRightToLeft(false); }, {}},
    };
    ButtonOnForm bench;
    for (const Case& c : cases) {
        Log announced;
        bench.button->OnPropertyChanged = [&](const std::string& name) { announced.push_back(name); };
        c.write(*bench.button);
        EXPECT_EQ(announced, c.announced) << c.name;
    }
    EXPECT_EQ(bench.button->IconSize(), 4);
    EXPECT_EQ(bench.button->IconWidth(), 100) << "fits the face: 1500 twips";
    EXPECT_EQ(bench.button->IconHeight(), 25);
}

// Every setter of a stored property, in the order of the public members: it announces what
// the property's row says, and the getter reads back what was set.
TEST(ButtonStorage, EverySetterStoresAndAnnouncesItsProperty) {
    struct Case {
        const char* name;
        void (*write)(cmdOrb&);
        bool (*readsBack)(const cmdOrb&);
        Log announced;
    };
    static const host::PicturePtr icon = host::App::LoadIconPicture("#1");
    const Case cases[] = {
        {"ForeColor", [](cmdOrb& b) { b.SetForeColor(0x010101); },
         [](const cmdOrb& b) { return b.ForeColor() == 0x010101u; }, {"ForeColor"}},
        {"ButtonClickHeight", [](cmdOrb& b) { b.SetButtonClickHeight(7); },
         [](const cmdOrb& b) { return b.ButtonClickHeight() == 7; }, {"ButtonClickHeight"}},
        {"StraightSideMask", [](cmdOrb& b) { b.SetStraightSideMask(2); },
         [](const cmdOrb& b) { return b.StraightSideMask() == 2; }, {"StraightSideMask"}},
        {"UnderlineChecked", [](cmdOrb& b) { b.SetUnderlineChecked(false); },
         [](const cmdOrb& b) { return !b.UnderlineChecked(); }, {"UnderlineChecked"}},
        {"RightToLeft", [](cmdOrb& b) { b.SetRightToLeft(true); },
         [](const cmdOrb& b) { return b.RightToLeft(); }, {"RightToLeft"}},
        {"SmoothCurvature", [](cmdOrb& b) { b.SetSmoothCurvature(12); },
         [](const cmdOrb& b) { return b.SmoothCurvature() == 12; }, {"SmoothCurvature"}},
        {"TopMarkPercent", [](cmdOrb& b) { b.SetTopMarkPercent(300); },
         [](const cmdOrb& b) { return b.TopMarkPercent() == 44; }, {"TopMarkPercent"}},
        {"Enabled", [](cmdOrb& b) { b.SetEnabled(false); },
         [](const cmdOrb& b) { return !b.Enabled(); }, {"Enabled"}},
        {"Font", [](cmdOrb& b) { b.SetFont(std::make_shared<host::Font>("Arial", 12)); },
         [](const cmdOrb& b) { return b.Font()->Name() == "Arial"; }, {"Font"}},
        {"ToolTipText", [](cmdOrb& b) { b.SetToolTipText("tip"); },
         [](const cmdOrb& b) { return b.ToolTipText() == "tip"; }, {"ToolTipText"}},
        {"HighColor1", [](cmdOrb& b) { b.SetHighColor1(0x020202); },
         [](const cmdOrb& b) { return b.HighColor1() == 0x020202u; }, {"HighColor1"}},
        {"CheckedColor", [](cmdOrb& b) { b.SetCheckedColor(0x030303); },
         [](const cmdOrb& b) { return b.CheckedColor() == 0x030303u; }, {"CheckedColor"}},
        {"HighlightOnHover", [](cmdOrb& b) { b.SetHighlightOnHover(false); },
         [](const cmdOrb& b) { return !b.HighlightOnHover(); }, {"HighlightOnHover"}},
        {"DontSwitchRTLSmooth", [](cmdOrb& b) { b.SetDontSwitchRTLSmooth(true); },
         [](const cmdOrb& b) { return b.DontSwitchRTLSmooth(); }, {"DontSwitchRTLSmooth"}},
        {"HasMenu", [](cmdOrb& b) { b.SetHasMenu(true); },
         [](const cmdOrb& b) { return b.HasMenu(); }, {"HasMenu"}},
        {"GradientStyle", [](cmdOrb& b) { b.SetGradientStyle(-70000); },
         [](const cmdOrb& b) { return b.GradientStyle() == static_cast<I2>(-70000); },
         {"GradientStyle"}},
        {"HighColor2", [](cmdOrb& b) { b.SetHighColor2(0x040404); },
         [](const cmdOrb& b) { return b.HighColor2() == 0x040404u; }, {"HighColor2"}},
        {"Caption", [](cmdOrb& b) { b.SetCaption("Go"); },
         [](const cmdOrb& b) { return b.Caption() == "Go"; }, {"Caption"}},
        {"MouseIcon", [](cmdOrb& b) { b.SetMouseIcon(icon); },
         [](const cmdOrb& b) { return b.MouseIcon() == icon; }, {"MouseIcon"}},
        {"MousePointer", [](cmdOrb& b) { b.SetMousePointer(11); },
         [](const cmdOrb& b) { return b.MousePointer() == 11; }, {"MousePointer"}},
        {"HighTextColor", [](cmdOrb& b) { b.SetHighTextColor(0x050505); },
         [](const cmdOrb& b) { return b.HighTextColor() == 0x050505u; }, {"HighTextColor"}},
        {"BackColor1", [](cmdOrb& b) { b.SetBackColor1(0x060606); },
         [](const cmdOrb& b) { return b.BackColor1() == 0x060606u; }, {"BackColor1"}},
        {"BackColor2", [](cmdOrb& b) { b.SetBackColor2(0x070707); },
         [](const cmdOrb& b) { return b.BackColor2() == 0x070707u; }, {"BackColor2"}},
        {"Gradient", [](cmdOrb& b) { b.SetGradient(false); },
         [](const cmdOrb& b) { return !b.Gradient(); }, {"Gradient"}},
        {"IconSize", [](cmdOrb& b) { b.SetIconSize(1); },
         [](const cmdOrb& b) { return b.IconSize() == 1; }, {"IconSize", "IconHeight", "IconWidth"}},
        {"IconAlign", [](cmdOrb& b) { b.SetIconAlign(2); },
         [](const cmdOrb& b) { return b.IconAlign() == 2; }, {"IconAlign"}},
        {"Icon", [](cmdOrb& b) { b.SetIcon(icon); },
         [](const cmdOrb& b) { return b.Icon() == icon; }, {"Icon"}},
        {"CheckedIcon", [](cmdOrb& b) { b.SetCheckedIcon(icon); },
         [](const cmdOrb& b) { return b.CheckedIcon() == icon; }, {"CheckedIcon"}},
        {"IconWidth", [](cmdOrb& b) { b.SetIconWidth(20); },
         [](const cmdOrb& b) { return b.IconWidth() == 20 && b.IconSize() == 3; },
         {"IconWidth", "IconSize"}},
        {"IconHeight", [](cmdOrb& b) { b.SetIconHeight(21); },
         [](const cmdOrb& b) { return b.IconHeight() == 21 && b.IconSize() == 3; },
         {"IconHeight", "IconSize"}},
        {"TextAlign", [](cmdOrb& b) { b.SetTextAlign(3); },
         [](const cmdOrb& b) { return b.TextAlign() == 3; }, {"TextAlign"}},
        {"IcoDistFromEdge", [](cmdOrb& b) { b.SetIcoDistFromEdge(8); },
         [](const cmdOrb& b) { return b.IcoDistFromEdge() == 8; }, {"IcoDistFromEdge"}},
        {"IcoDistFromTop", [](cmdOrb& b) { b.SetIcoDistFromTop(9); },
         [](const cmdOrb& b) { return b.IcoDistFromTop() == 9; }, {"IcoDistFromTop"}},
        {"BorderStyle3D", [](cmdOrb& b) { b.SetBorderStyle3D(1); },
         [](const cmdOrb& b) { return b.BorderStyle3D() == 1; }, {"BorderStyle3D"}},
    };
    ButtonOnForm bench;
    for (const Case& c : cases) {
        Log announced;
        bench.button->OnPropertyChanged = [&](const std::string& name) { announced.push_back(name); };
        c.write(*bench.button);
        EXPECT_EQ(announced, c.announced) << c.name;
        EXPECT_TRUE(c.readsBack(*bench.button)) << c.name;
    }
}

TEST(ButtonStorage, GradientOffClearsTheFaceUntilTheNextPaint) {
    ButtonOnForm bench;
    bench.button->SetGradient(false);
    EXPECT_EQ(bench.Face(50, 22), GetSysColor(COLOR_BTNFACE));
    bench.button->SetBackColor2(0x123456);  // repaints, from BackColor1 still
    EXPECT_EQ(bench.Face(50, 22), RGB(8, 8, 8));
}

TEST(ButtonStorage, TranslateColor) {
    EXPECT_EQ(cmdOrb::TranslateColor(0x80000012), static_cast<I4>(GetSysColor(COLOR_BTNTEXT)));
    EXPECT_EQ(cmdOrb::TranslateColor(0x123456), 0x123456);
    EXPECT_EQ(cmdOrb::TranslateColor(0x80000050), -1) << "no such system colour";
    EXPECT_EQ(cmdOrb::TranslateColor(0x12345678), -1) << "not a colour value";
}

}  // namespace
