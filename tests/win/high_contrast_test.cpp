// The main window in high contrast: the button, the check box and the caption bar draw with
// the system's colours (no gradient, the outline kept, the focus shown), and go back to
// their own look when it is off again. High contrast is switched through the host's seam
// and announced as the system announces it (WM_SYSCOLORCHANGE to the window); the session's
// own setting is tried too, where the system keeps it.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/window/frm_main.h"
#include "app/program/mod_main.h"
#include "checklabel_fixture.h"
#include "controls/button/cmd_orb.h"
#include "controls/captionbar/tit_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/high_contrast.h"
#include "pump.h"

namespace {

using checklabel_test::CountPixels;

struct HighContrastWindow : testing::Test {
    std::unique_ptr<frmMain> window;
    cmdOrb* install = nullptr;
    lblOrb* news = nullptr;
    titOrb* bar = nullptr;

    void SetUp() override {
        SetCursorPos(1200, 1000);  // off the window: no hover look
        RegisterProgramControls();
        modMain::AppTitle = "Orb Vorex 2009 Trial Download";  // as start-up decodes it
        window = std::make_unique<frmMain>();
        ASSERT_TRUE(window->Loaded());
        window->Form().Show();
        window->Form().ZOrder();
        install = dynamic_cast<cmdOrb*>(window->Form().FindControl("cmdInstall"));
        news = dynamic_cast<lblOrb*>(window->Form().FindControl("chkAddToNewsAndUpdates"));
        bar = dynamic_cast<titOrb*>(window->Form().FindControl("mTitleBar"));
        ASSERT_TRUE(install && news && bar);
        window->SetupTitleBar();  // the bar as Init sets it up
        SetFocus(window->Form().FindControl("txtEmail")->hWnd());
        wintest::PumpFor(50);
    }
    void TearDown() override {
        Switch(std::nullopt);
        modMain::AppTitle.clear();
    }

    // As the system tells a window that its colours changed.
    void Switch(std::optional<bool> on) {
        host::SetHighContrastForTests(on);
        if (window) SendMessageA(window->Form().hWnd(), WM_SYSCOLORCHANGE, 0, 0);
        wintest::PumpFor(50);
    }
    // A pixel of the button's face as composed, in its client pixels.
    COLORREF Face(int x, int y) { return GetPixel(install->ControlHdc(), x, y); }
    RECT Client(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return r;
    }
};

TEST_F(HighContrastWindow, TheButtonDrawsInTheSystemsButtonColours) {
    const RECT r = Client(install->hWnd());
    const int lowLeft = 10, low = r.bottom - 6, middle = r.bottom / 2;
    const COLORREF ownLow = Face(lowLeft, low);

    Switch(true);
    EXPECT_EQ(Face(lowLeft, low), GetSysColor(COLOR_BTNFACE)) << "no gradient";
    EXPECT_EQ(Face(r.right / 2, 4), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Face(1, middle), GetSysColor(COLOR_BTNTEXT)) << "the outline of the shape";
    EXPECT_EQ(Face(4, middle), GetSysColor(COLOR_BTNFACE)) << "no focus cue without the focus";

    // The focus shows as the highlight with a rectangle inside the outline.
    SetFocus(install->hWnd());
    wintest::PumpFor(30);
    EXPECT_EQ(Face(lowLeft, low), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Face(4, middle), GetSysColor(COLOR_HIGHLIGHTTEXT)) << "the focus rectangle";
    EXPECT_EQ(Face(1, middle), GetSysColor(COLOR_BTNTEXT));

    Switch(false);
    SetFocus(window->Form().FindControl("txtEmail")->hWnd());
    wintest::PumpFor(30);
    EXPECT_EQ(Face(lowLeft, low), ownLow) << "the own look is back";
}

TEST_F(HighContrastWindow, TheCheckBoxDrawsInTheSystemsWindowColours) {
    HDC dc = news->Surface().hDC();
    const RECT r = Client(news->hWnd());
    const COLORREF ownBack = GetPixel(dc, r.right - 2, 1);

    Switch(true);
    EXPECT_EQ(GetPixel(dc, r.right - 2, 1), GetSysColor(COLOR_WINDOW));
    EXPECT_GT(CountPixels(dc, r, GetSysColor(COLOR_WINDOWTEXT)), 20) << "the caption";
    host::PictureBox& box = news->PicCheck();
    const RECT boxArea = Client(box.hWnd());
    EXPECT_GT(CountPixels(box.hDC(), boxArea, GetSysColor(COLOR_WINDOWTEXT)), 8) << "the box's edges";
    EXPECT_EQ(GetPixel(box.hDC(), boxArea.right / 2, boxArea.bottom / 2), GetSysColor(COLOR_WINDOW));

    // The focus is shown in high contrast even where ShowFocusRect is off.
    const int textBefore = CountPixels(dc, r, GetSysColor(COLOR_WINDOWTEXT));
    SetFocus(news->FocusWindow());
    wintest::PumpFor(30);
    EXPECT_GT(CountPixels(dc, r, GetSysColor(COLOR_WINDOWTEXT)), textBefore) << "the focus rectangle";

    Switch(false);
    EXPECT_EQ(GetPixel(dc, r.right - 2, 1), ownBack);
}

TEST_F(HighContrastWindow, TheCaptionBarDrawsInTheSystemsHighlightColours) {
    HDC dc = bar->hdc();
    const COLORREF ownBack = GetPixel(dc, 300, 6);

    Switch(true);
    EXPECT_EQ(GetPixel(dc, 300, 6), GetSysColor(COLOR_HIGHLIGHT)) << "no background image";
    const RECT title{40, 18, 300, 42};
    EXPECT_GT(CountPixels(dc, title, GetSysColor(COLOR_HIGHLIGHTTEXT)), 50) << "the title";
    host::PictureBox& close = bar->picClose();
    const RECT closeArea = Client(close.hWnd());
    EXPECT_EQ(wintest::ScreenPixel(close.hWnd(), 0, 0), GetSysColor(COLOR_BTNTEXT)) << "the box's frame";
    EXPECT_EQ(wintest::ScreenPixel(close.hWnd(), 2, 2), GetSysColor(COLOR_BTNFACE));
    HDC closeDc = GetDC(close.hWnd());
    const int frame = 2 * closeArea.right + 2 * closeArea.bottom - 4;
    EXPECT_GT(CountPixels(closeDc, closeArea, GetSysColor(COLOR_BTNTEXT)), frame + 10) << "the cross inside the frame";
    ReleaseDC(close.hWnd(), closeDc);

    Switch(false);
    EXPECT_EQ(GetPixel(dc, 300, 6), ownBack);
}

// The session's own setting, where the system keeps it: read again when the system says
// its settings changed.
TEST_F(HighContrastWindow, TheSystemsSettingIsReadAgainWhenItChanges) {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = HCF_HIGHCONTRASTON;
    const BOOL set = SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE);
    const DWORD setError = GetLastError();
    HIGHCONTRASTW now{};
    now.cbSize = sizeof now;
    const BOOL got = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0);
    if (!set) {
        GTEST_SKIP() << "this system does not take SPI_SETHIGHCONTRAST (error " << setError
                     << "); SPI_GETHIGHCONTRAST " << (got ? "answers flags " : "fails, flags ") << now.dwFlags;
    }
    const bool kept = (now.dwFlags & HCF_HIGHCONTRASTON) != 0;
    contrast.dwFlags = 0;
    if (!kept) {
        SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE);
        GTEST_SKIP() << "this system takes SPI_SETHIGHCONTRAST but does not keep it";
    }
    SendMessageA(window->Form().hWnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    wintest::PumpFor(50);
    const bool seen = host::HighContrast();
    const COLORREF low = Face(10, Client(install->hWnd()).bottom - 6);
    SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE);
    SendMessageA(window->Form().hWnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    wintest::PumpFor(50);
    EXPECT_TRUE(seen);
    EXPECT_EQ(low, GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(host::HighContrast());
}

}  // namespace
