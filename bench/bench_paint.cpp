// Repaint benchmark of the three own controls, on the main window as its description lays it
// out: cmdInstall's face (cmdOrb::DrawFace), the news check box drawn with check style 5
// (lblOrb::DrawControl) and the caption bar set up as the main window sets it up
// (titOrb::ReDrawMenu in full).
//   bench_paint.exe FORM_FILE [REPAINTS]     FORM_FILE: resources/frmMain.form
// Prints one line: "paint cmdOrb_ms=<median> lblOrb_ms=<median> titOrb_ms=<median> repaints=<n>".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/window/caption_bar_setup.h"
#include "app/window/frm_main.h"
#include "controls/button/cmd_orb.h"
#include "controls/captionbar/tit_orb.h"
#include "controls/checklabel/lbl_orb.h"
#include "host/app.h"
#include "host/form.h"
#include "host/form_loader.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

// The median time of `repaints` calls of `repaint`, each followed by GdiFlush so that no
// drawing is left queued; the window's messages run between calls, untimed.
double MedianMs(int repaints, const std::function<void()>& repaint) {
    std::vector<double> times;
    for (int i = -3; i < repaints; ++i) {  // three warm-up rounds, not counted
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        repaint();
        GdiFlush();
        QueryPerformanceCounter(&after);
        host::App::DoEvents();
        if (i >= 0) times.push_back(Milliseconds(before, after));
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The caption bar as the main window sets it up, with a stand-in logo and title.
void SetUpTitleBar(host::Form& form, titOrb& bar) {
    modMain::SetUpMainCaptionBar(form, bar,
                                 host::Picture::FromIcon(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION))));
    bar.DrawControl = [](HDC& dc) {
        static const wchar_t kTitle[] = L"Orb Vorex 2009 Trial Web Setup";
        HFONT font = CreateFontA(-18, 10, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
        HGDIOBJ previous = SelectObject(dc, font);
        SetTextColor(dc, RGB(80, 80, 80));
        TextOutW(dc, 43, 24, kTitle, static_cast<int>(std::size(kTitle) - 1));
        SetTextColor(dc, RGB(220, 220, 220));
        TextOutW(dc, 40, 21, kTitle, static_cast<int>(std::size(kTitle) - 1));
        SelectObject(dc, previous);
        DeleteObject(font);
    };
}

template <typename T>
T* Find(host::Form& form, const char* name) {
    auto* control = dynamic_cast<T*>(form.FindControl(name));
    if (!control) std::fprintf(stderr, "the form description has no %s\n", name);
    return control;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FORM_FILE [REPAINTS]\n", argv[0]);
        return 2;
    }
    const int repaints = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    const std::string text = ReadFile(argv[1]);
    RegisterProgramControls();
    host::Form form("frmMain");
    const auto loaded = host::LoadFormFromText(form, text);
    for (const auto& error : loaded.errors) std::fprintf(stderr, "%s\n", error.c_str());
    auto* button = Find<cmdOrb>(form, "cmdInstall");
    auto* check = Find<lblOrb>(form, "chkAddToNewsAndUpdates");
    auto* bar = Find<titOrb>(form, "mTitleBar");
    if (!loaded.Ok() || !button || !check || !bar) return 1;

    SetUpTitleBar(form, *bar);
    form.Show();
    check->SetCheckStyle(5);
    check->SetChecked(true);
    host::App::DoEvents();

    const double buttonMs = MedianMs(repaints, [&] { button->DrawFace(button->BackColor1()); });
    const double checkMs = MedianMs(repaints, [&] { check->DrawControl(); });
    const double barMs = MedianMs(repaints, [&] { bar->ReDrawMenu(true, false); });
    std::printf("paint cmdOrb_ms=%.4f lblOrb_ms=%.4f titOrb_ms=%.4f repaints=%d\n", buttonMs, checkMs, barMs,
                repaints);
    return 0;
}
