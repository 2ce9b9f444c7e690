// lblOrb's stored properties and what each set does, on a real instance of the host.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>

#include "checklabel_fixture.h"
#include "controls/checklabel/check_label_properties.h"
#include "controls/checklabel/twips.h"
#include "host/app.h"

namespace {

using namespace checklabel_test;

std::vector<std::string> Keys(const host::PropertyBag& bag) {
    std::vector<std::string> keys;
    for (const auto& entry : bag.Entries()) keys.push_back(entry.key);
    return keys;
}

TEST_F(CheckLabelFixture, AStoredInstanceWithoutBoxColorHasAWhiteBoxANewOneABlackBox) {
    host::PropertyBag stored;
    stored.Set("caption", std::string("Email:"));
    lblOrb& loaded = AddStored(stored);
    auto& fresh = static_cast<lblOrb&>(form.AddControl(std::make_unique<lblOrb>("chkNew")));
    fresh.Move(0, 1200, 3000, 600);
    ShowForm();
    EXPECT_EQ(loaded.BoxColor(), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(loaded.PicCheck().hDC(), 8, 8), kWhite);
    EXPECT_EQ(fresh.BoxColor(), 0u);
    EXPECT_EQ(GetPixel(fresh.PicCheck().hDC(), 8, 8), kBlack);
}

TEST_F(CheckLabelFixture, KeysAreMatchedInAnyLetterCaseAndWidenedToTheField) {
    host::PropertyBag stored;
    stored.Set("caption", std::string("Latest version:"));
    stored.Set("islabel", true);
    stored.Set("boxstyle", host::I2(3));
    stored.Set("BOXCOLOR", host::I4(0x00FF00));
    stored.Set("checkcolor", host::I4(0x00FFFFFF));  // wider than its 16-bit default
    stored.Set("hottracking", host::I2(-1));
    lblOrb& control = AddStored(stored);
    EXPECT_EQ(control.Caption(), L"Latest version:");
    EXPECT_TRUE(control.IsLabel());
    EXPECT_EQ(control.BoxStyle(), 3);
    EXPECT_EQ(control.BoxColor(), 0x00FF00u);
    EXPECT_EQ(control.CheckColor(), 0x00FFFFFFu);
    EXPECT_TRUE(control.HotTracking());
}

TEST_F(CheckLabelFixture, AValueThatDoesNotFitReachesTheLoader) {
    host::PropertyBag stored;
    stored.Set("CheckDrawWidth", host::I4(70000));
    EXPECT_THROW(AddStored(stored), host::PropertyError);
}

TEST_F(CheckLabelFixture, DefaultsAreNotSavedAndAFreshInstanceDiffersInForeAndBoxColour) {
    host::PropertyBag empty;
    lblOrb& loaded = AddStored(empty);
    host::PropertyBag saved;
    loaded.SaveInstance(saved);
    EXPECT_TRUE(saved.Empty()) << Keys(saved).size() << " keys";

    auto& fresh = static_cast<lblOrb&>(form.AddControl(std::make_unique<lblOrb>("chkNew")));
    fresh.SaveInstance(saved);
    EXPECT_EQ(Keys(saved), (std::vector<std::string>{"ForeColor", "BoxColor"}));
    EXPECT_EQ(fresh.ForeColor(), 0x80000012u) << "copied from the surface";
    EXPECT_EQ(fresh.BackColor(), 0x8000000Fu);
    EXPECT_EQ(*fresh.GetFont(), *form.GetFont()) << "the ambient font";
}

TEST_F(CheckLabelFixture, SaveThenLoadGivesBackEveryProperty) {
    lblOrb& source = AddNew();
    source.SetBoxStyle(3);
    source.SetChecked(true);
    source.SetCheckColor(0x123456);
    source.SetCaption(L"&Install \u05E7");
    source.SetAlign(1);
    source.SetBackColor(0x00FF00);
    source.SetForeColor(0x0000FF);
    source.SetFont(std::make_shared<host::Font>("Arial", 12, true));
    source.SetMouseIcon(host::App::LoadIconPicture("#1"));
    source.SetMousePointer(99);
    source.SetShowFocusRect(true);
    source.SetRightToLeft(true);
    source.SetIsLabel(true);
    source.SetTransparentBackground(true);
    source.SetIsOption(true);
    source.SetAutoSize(true);
    source.SetWordWrap(true);
    source.SetBoxColor(0x00FFFF);
    source.SetEnabled(false);
    source.SetBorderColor(1);
    source.SetCheckDrawWidth(2);
    source.SetCheckStyle(4);
    source.SetHotTracking(true);
    source.SetTrackingColor(2);
    source.SetDisabledForeColor(3);
    source.SetFocusRectColor(4);
    source.SetPicture(host::App::LoadBitmapPicture("#101"));
    source.SetStyleEx(1);

    host::PropertyBag first;
    source.SaveInstance(first);
    const std::vector<std::string> saveOrder = {
        "BoxStyle", "Checked", "CheckColor", "Caption", "BackColor", "ForeColor", "Align",
        "Font", "MouseIcon", "MousePointer", "ShowFocusRect", "RightToLeft", "IsLabel",
        "TransparentBackground", "IsOption", "AutoSize", "WordWrap", "BoxColor", "Enabled",
        "BorderColor", "CheckDrawWidth", "CheckStyle", "HotTracking", "TrackingColor",
        "DisabledForeColor", "FocusRectColor", "Picture", "StyleEx"};
    EXPECT_EQ(Keys(first), saveOrder) << "every property differs from its default";

    lblOrb& copy = AddStored(first, "chkCopy");
    host::PropertyBag second;
    copy.SaveInstance(second);
    EXPECT_TRUE(first == second);
    EXPECT_EQ(copy.Caption(), L"&Install \u05E7");
    EXPECT_EQ(copy.GetFont()->Size(), 12);
    EXPECT_TRUE(copy.GetFont()->Bold());
    EXPECT_EQ(copy.Picture()->Width(), 16);
    EXPECT_TRUE(copy.RightToLeft());
    EXPECT_TRUE(copy.UserControl::RightToLeft()) << "the surface's own flag follows";
    EXPECT_FALSE(copy.Enabled());
    EXPECT_TRUE(IsWindowEnabled(copy.hWnd())) << "Enabled is the control's own flag";
}

TEST_F(CheckLabelFixture, EachSetNotifiesRepaintsAndFitsInItsOrder) {
    ShowForm();
    lblOrb& control = AddNew();
    Log log;
    Record(control, log, true);
    struct Row {
        const char* what;
        std::function<void()> set;
        Log expected;
    };
    const std::vector<Row> rows = {
        {"Checked", [&] { control.SetChecked(true); }, {"changed Checked", "AfterDrawCaption", "CheckClick -1"}},
        {"Checked unchanged", [&] { control.SetChecked(true); }, {"changed Checked", "AfterDrawCaption", "CheckClick -1"}},
        {"MarshallChecked", [&] { control.SetMarshallChecked(false); }, {"changed Checked", "AfterDrawCaption"}},
        {"BoxStyle", [&] { control.SetBoxStyle(2); }, {"changed BoxStyle", "AfterDrawCaption"}},
        {"HotTracking", [&] { control.SetHotTracking(true); }, {}},
        {"TrackingColor", [&] { control.SetTrackingColor(kRed); }, {"changed TrackingColor"}},
        {"WordWrap", [&] { control.SetWordWrap(true); }, {"changed WordWrap"}},
        {"ShowFocusRect", [&] { control.SetShowFocusRect(true); }, {"changed ShowFocusRect"}},
        {"MousePointer", [&] { control.SetMousePointer(1); }, {"changed MousePointer"}},
        // The fit to the caption resizes, and the resize repaints.
        {"AutoSize", [&] { control.SetAutoSize(true); }, {"changed AutoSize", "AfterDrawCaption"}},
        {"Caption", [&] { control.SetCaption(L"Send news and updates"); },
         {"changed Caption", "AfterDrawCaption", "AfterDrawCaption"}},
    };
    for (const Row& row : rows) {
        log.clear();
        row.set();
        SCOPED_TRACE(row.what);
        ExpectSequence(log, row.expected);
    }
}

TEST_F(CheckLabelFixture, AutoSizeFitsTheCaptionAndTheBoxRoomEvenWhenTurnedOff) {
    struct Row {
        const wchar_t* caption;
        bool isLabel;
        const wchar_t* measured;  // the text whose width is added
        int boxRoom;
    };
    const Row rows[] = {
        {L"&", false, L"", 240},
        {L"&Send news", false, L"Send news", 240},
        {L"Latest version:", true, L"Latest version:", 0},
    };
    ShowForm();
    for (const Row& row : rows) {
        lblOrb& control = AddNew("chkFit");
        control.SetCaption(row.caption);
        control.SetIsLabel(row.isLabel);
        const std::string narrow(row.measured, row.measured + wcslen(row.measured));
        const int text = checklabel::RoundedTextWidth(control.TextWidth(narrow));
        control.SetAutoSize(false);
        EXPECT_EQ(control.Width(), 9 * 15 + row.boxRoom + text) << "caption row " << (&row - rows);
        EXPECT_EQ(control.Height(), 600) << "the height stays";
        EXPECT_FLOAT_EQ(control.Right(), static_cast<float>(control.Left() + control.Width()));
    }
}

TEST_F(CheckLabelFixture, StoredPropertiesAreReachedByNameToo) {
    lblOrb& control = AddNew();
    EXPECT_TRUE(control.SetPropertyByName("caption", std::string("Install")));
    EXPECT_EQ(control.Caption(), L"Install");
    EXPECT_TRUE(control.SetPropertyByName("BoxStyle", host::I2(4)));
    EXPECT_EQ(control.BoxStyle(), 4);
    EXPECT_EQ(control.GetPropertyByName("checked"), std::optional<host::PropertyValue>(false));
    EXPECT_FALSE(control.SetPropertyByName("NoSuchMember", true));
    EXPECT_THROW(control.SetPropertyByName("CheckDrawWidth", host::I4(70000)), host::PropertyError);
}

}  // namespace
