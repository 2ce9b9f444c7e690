#include "app/window/progress_watcher.h"

#include <algorithm>
#include <string>

#include "app/program/mod_main.h"
#include "app/transfer/transfer_rules.h"
#include "app/window/taskbar.h"
#include "host/standard_controls.h"

namespace modI {

ProgressWatcher::ProgressWatcher(host::PictureBox& bar, host::Timer* activity)
    : bar_(bar), activity_(activity), window_(GetAncestor(bar.hWnd(), GA_ROOT)) {}

namespace {

void ShowOnButton(HWND window, TaskbarState state, int percent = -1) {
    if (window && IsWindow(window)) ShowOnTaskbar(window, state, percent);
}

}  // namespace

void ProgressWatcher::OnBodyStarted(std::int64_t) {
    if (activity_) activity_->SetEnabled(true);
}

void ProgressWatcher::OnProgress(std::int64_t held, std::int64_t announced) {
    // Never past 100: the transfer ends a body that runs past its announced length before it
    // reports it.
    const auto percent =
        std::clamp<std::int64_t>(ProgressPercent(held, announced), 0, 100);
    if (percent == drawnPercent_) return;
    DrawProgress(bar_, static_cast<std::uint8_t>(percent));
    ShowOnButton(window_, TaskbarState::Normal, static_cast<int>(percent));
    drawnPercent_ = static_cast<int>(percent);
}

void ProgressWatcher::OnPaused(std::int64_t) { ShowOnButton(window_, TaskbarState::Paused); }

void ProgressWatcher::OnResuming(std::int64_t) { ShowOnButton(window_, TaskbarState::Normal); }

void ProgressWatcher::OnRestarted(std::int64_t) { drawnPercent_ = -1; }

void ProgressWatcher::OnEnded(const TransferOutcome& outcome) {
    // Not the progress bar: a window unloaded during the download has taken its controls along.
    ShowOnButton(window_, outcome.end == TransferEnd::Failed ? TaskbarState::Error : TaskbarState::None);
}

void DrawProgress(host::PictureBox& progress, std::uint8_t percent) {
    const HWND window = progress.hWnd();
    if (!IsWindow(window)) return;  // the window has gone; nothing to draw into
    if (percent == 0) {
        progress.SetVisible(true);
        progress.Cls();
    }
    const std::string text = ProgressText(percent);
    const std::string digits = std::to_string(percent);  // to_wstring would print through the C library
    progress.SetAccessibleValue(std::wstring(digits.begin(), digits.end()) + L"%");
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    progress.Cls();
    const HDC dc = progress.hDC();
    SetBkMode(dc, TRANSPARENT);  // the text lies over both the filled and the empty part
    const int tpx = modMain::TwipsPerPixelX;
    const int tpy = modMain::TwipsPerPixelY;
    Rectangle(dc, 0, 0, ProgressFillRight(percent, progress.Width(), tpx), 20);
    RECT area{0, 1, progress.Width() / tpx - 2, progress.Height() / tpy};
    DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER);
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace modI
