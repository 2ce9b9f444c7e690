// lblOrb's answers to real mouse and key messages, as sequences of its events.
#include <gtest/gtest.h>

#include "checklabel_fixture.h"

namespace {

using namespace checklabel_test;

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void Press(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, At(x, y));
}

struct CheckLabelInput : CheckLabelFixture {
    Log log;
    lblOrb* control = nullptr;
    void SetUp() override {
        CheckLabelFixture::SetUp();
        ShowForm();
        control = &AddNew();
        Record(*control, log);
    }
    void TearDown() override { ReleaseCapture(); }
    HWND Surface() const { return control->hWnd(); }
    HWND Box() const { return control->PicCheck().hWnd(); }
};

TEST_F(CheckLabelInput, ARightButtonPressDoesNothing) {
    SendMessageA(Surface(), WM_RBUTTONDOWN, MK_RBUTTON, At(100, 20));
    SendMessageA(Box(), WM_RBUTTONDOWN, MK_RBUTTON, At(5, 5));
    ExpectSequence(log, {});
    EXPECT_FALSE(control->Checked());
}

TEST_F(CheckLabelInput, APressToggleOnTheBoxOrTheSurface) {
    Press(Box(), 5, 5);
    Press(Surface(), 100, 20);
    ExpectSequence(log, {"CheckClick -1", "MouseDown 1 0 75,75", "MouseUp 1 0 75,75",
                         "CheckClick 0", "MouseDown 1 0 1500,300", "MouseUp 1 0 1500,300"});
    EXPECT_FALSE(control->Checked());
    EXPECT_EQ(GetFocus(), Box()) << "a press gives PicCheck the focus";
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ChildWindows(HWND parent) {
    int count = 0;
    EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// A label draws no box, so it makes the box's window only when something asks for the box; a
// check box has its box from the start. Once made, a label's box acts as before.
TEST_F(CheckLabelFixture, ALabelMakesItsBoxOnlyWhenAskedFor) {
    ShowForm();
    host::PropertyBag stored;
    stored.Set("caption", std::string("Latest version:"));
    stored.Set("islabel", true);
    lblOrb& label = AddStored(stored, "lblLatestVersion");
    wintest::PumpFor(30);
    EXPECT_EQ(ChildWindows(label.hWnd()), 0) << "a shown label has no box window";

    lblOrb& check = AddNew("chkNews", {}, 1200);
    EXPECT_EQ(ChildWindows(check.hWnd()), 1) << "a check box has its box";

    Press(label.hWnd(), 20, 5);
    EXPECT_EQ(ChildWindows(label.hWnd()), 1);
    EXPECT_EQ(GetFocus(), label.PicCheck().hWnd()) << "a press still gives the box the focus";
    RECT box{}, inside{}, shown{};
    GetWindowRect(label.PicCheck().hWnd(), &box);
    MapWindowPoints(nullptr, label.hWnd(), reinterpret_cast<POINT*>(&box), 2);
    GetClientRect(label.hWnd(), &inside);
    EXPECT_FALSE(IntersectRect(&shown, &box, &inside)) << "the box a label made lies outside it";

    label.SetIsLabel(false);
    label.SetIsLabel(true);
    EXPECT_EQ(ChildWindows(label.hWnd()), 1) << "made once, the box stays";
}

TEST_F(CheckLabelInput, ADisabledControlIgnoresPressesButTheBoxStillHovers) {
    control->SetHotTracking(true);
    control->SetEnabled(false);
    Press(Surface(), 100, 20);
    SendMessageA(Box(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(Box(), WM_LBUTTONUP, 0, At(5, 5));
    SendMessageA(Box(), WM_MOUSEMOVE, 0, At(6, 5));
    EXPECT_EQ(control->ForeColor(), control->TrackingColor()) << "hovering the box";
    EXPECT_EQ(GetCapture(), Surface());
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(100, 20));
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(250, 20));
    ExpectSequence(log, {"MouseUp 1 0 75,75", "MouseMove 0 0 90,75 State 1",
                         "MouseMove 0 0 3750,300 State 2"});
    EXPECT_FALSE(control->Checked());
    EXPECT_EQ(control->ForeColor(), kBlack);
    EXPECT_EQ(GetCapture(), nullptr) << "the leave is seen although disabled: the capture goes";
}

TEST_F(CheckLabelInput, EnterThenLeaveGivesOneMoveEach) {
    control->SetHotTracking(true);
    for (int x : {50, 60, 70}) SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(x, 20));
    EXPECT_EQ(control->ForeColor(), control->TrackingColor());
    EXPECT_EQ(control->SavedForeColor(), kBlack);
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(200, 40));  // the far edge is inside...
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(20, -1));   // ...one pixel above is not
    ExpectSequence(log, {"MouseMove 0 0 750,300 State 1", "MouseMove 0 0 300,-15 State 2"});
    EXPECT_EQ(control->ForeColor(), kBlack);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CheckLabelInput, SpaceTogglesOnlyWithTheFocusRectAndTheFocus) {
    struct Row {
        bool showFocusRect, focused;
        Log expected;
    };
    const Row rows[] = {
        {false, true, {}},
        {true, false, {}},
        {true, true, {"CheckClick -1", "MouseDown 1 0 0,0"}},
    };
    auto& other = form.Add<host::TextBox>("txtEmail");
    other.Move(0, 3000, 1500, 300);
    for (const Row& row : rows) {
        control->SetShowFocusRect(row.showFocusRect);
        if (row.focused) {
            SetFocus(Box());
        } else {
            other.SetFocus();
        }
        log.clear();
        SendMessageA(Box(), WM_CHAR, 'a', 0);
        SendMessageA(Box(), WM_CHAR, ' ', 0);
        SCOPED_TRACE("show focus rect " + std::to_string(row.showFocusRect) + ", focused " +
                     std::to_string(row.focused));
        ExpectSequence(log, row.expected);
        EXPECT_EQ(control->Checked(), !row.expected.empty());
        control->SetMarshallChecked(false);
        other.SetFocus();
    }
}

TEST_F(CheckLabelInput, HotTrackingPutsBackOnlyAColourItPutAside) {
    // Without a hover first there is nothing to put back: the caption keeps its colour
    // instead of turning black.
    const checklabel::Colour navy = RGB(0, 0, 128);
    control->SetForeColor(navy);
    control->SetHotTracking(true);
    control->SetShowFocusRect(true);
    SetFocus(Box());
    SendMessageA(Box(), WM_CHAR, ' ', 0);
    EXPECT_EQ(control->ForeColor(), navy);

    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(50, 20));
    EXPECT_EQ(control->ForeColor(), control->TrackingColor());
    SendMessageA(Box(), WM_CHAR, ' ', 0);
    EXPECT_EQ(control->ForeColor(), navy) << "a press shows the normal colour again";
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(250, 20));
    EXPECT_EQ(control->ForeColor(), navy);
}

// The capture can go while the pointer is inside (a message box, another window taking it);
// the next move enters again, and the colour put aside must still be the caption's own.
TEST_F(CheckLabelInput, ALostCaptureKeepsTheColourPutAside) {
    const checklabel::Colour navy = RGB(0, 0, 128);
    control->SetForeColor(navy);
    control->SetHotTracking(true);
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(50, 20));
    ASSERT_EQ(GetCapture(), Surface());
    ReleaseCapture();
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(60, 20));
    EXPECT_EQ(control->ForeColor(), control->TrackingColor());
    EXPECT_EQ(control->SavedForeColor(), navy);
    SendMessageA(Surface(), WM_MOUSEMOVE, 0, At(20, -1));
    EXPECT_EQ(control->ForeColor(), navy) << "the leave puts the caption's colour back";
    ExpectSequence(log, {"MouseMove 0 0 750,300 State 1", "MouseMove 0 0 900,300 State 1",
                         "MouseMove 0 0 300,-15 State 2"});
}

struct OptionGroup : CheckLabelFixture {
    Log log;
    std::vector<lblOrb*> edition;  // optEdition(0), (1), (2)
    lblOrb* single = nullptr;      // optSingle, in no array
    void SetUp() override {
        CheckLabelFixture::SetUp();
        ShowForm();
        for (int i = 0; i < 3; ++i) edition.push_back(&AddNew("optEdition", i, 700 * i));
        single = &AddNew("optSingle", {}, 2100);
        for (lblOrb* option : edition) option->SetIsOption(true);
        single->SetIsOption(true);
        for (lblOrb* option : edition) Record(*option, log);
        Record(*single, log);
    }
    std::vector<bool> Checked() const {
        return {edition[0]->Checked(), edition[1]->Checked(), edition[2]->Checked(), single->Checked()};
    }
};

TEST_F(OptionGroup, SelectingOneMemberClearsTheOthersSilently) {
    edition[1]->SetChecked(true);
    edition[2]->SetMarshallChecked(true);
    single->SetChecked(true);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, true, true, true}));

    Log cleared;
    edition[1]->OnPropertyChanged = [&](const std::string& key) { cleared.push_back(key); };
    log.clear();
    Press(edition[0]->PicCheck().hWnd(), 5, 5);
    ExpectSequence(log, {"0 CheckClick -1", "0 MouseDown 1 0 75,75", "0 MouseUp 1 0 75,75"});
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, true})) << "another name is not a sibling";
    EXPECT_EQ(cleared, (Log{"Checked"}));
}

TEST_F(OptionGroup, PressingASelectedOptionKeepsItAndClicksAgain) {
    Press(edition[2]->PicCheck().hWnd(), 5, 5);
    Press(edition[2]->hWnd(), 100, 20);
    ExpectSequence(log, {"2 CheckClick -1", "2 MouseDown 1 0 75,75", "2 MouseUp 1 0 75,75",
                         "2 CheckClick -1", "2 MouseDown 1 0 1500,300", "2 MouseUp 1 0 1500,300"});
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(OptionGroup, AnOptionOutsideAnyArrayClearsNothing) {
    edition[0]->SetChecked(true);
    log.clear();
    Press(single->PicCheck().hWnd(), 5, 5);
    ExpectSequence(log, {"CheckClick -1", "MouseDown 1 0 75,75", "MouseUp 1 0 75,75"});
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, true}));
}

TEST_F(OptionGroup, SettingCheckedClearsSiblingsAndClicksEvenWhenUnchanged) {
    edition[0]->SetChecked(true);
    edition[1]->SetChecked(true);
    edition[1]->SetChecked(true);
    edition[1]->SetChecked(false);
    ExpectSequence(log, {"0 CheckClick -1", "1 CheckClick -1", "1 CheckClick -1", "1 CheckClick 0"});
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(OptionGroup, MarshallCheckedIsReachedByNameAndRaisesNothing) {
    host::UserControl& late = *edition[1];
    EXPECT_TRUE(late.SetPropertyByName("MarshallChecked", true));
    EXPECT_TRUE(edition[1]->Checked());
    EXPECT_TRUE(late.SetPropertyByName("marshallchecked", host::I2(0)));
    EXPECT_FALSE(edition[1]->Checked());
    ExpectSequence(log, {});
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, false, false}));
}

}  // namespace
