// The window's view of a download: the progress bar drawn as the body arrives, the activity
// indicator's timer started with the body, and the taskbar button showing the same progress,
// paused while a broken download waits to be resumed and red after a failure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/transfer/transfer_watcher.h"

namespace host {
class PictureBox;
class Timer;
}  // namespace host

namespace modI {

class ProgressWatcher final : public TransferWatcher {
public:
    // `activity` (may be null) is enabled when the body starts. The bar's window is noted now:
    // its taskbar button is known by its handle, which stays safe to ask about when the window
    // has been unloaded meanwhile.
    explicit ProgressWatcher(host::PictureBox& bar, host::Timer* activity = nullptr);

    void OnBodyStarted(std::int64_t announced) override;
    void OnProgress(std::int64_t held, std::int64_t announced) override;
    void OnPaused(std::int64_t held) override;
    void OnResuming(std::int64_t from) override;
    void OnRestarted(std::int64_t announced) override;
    void OnEnded(const TransferOutcome& outcome) override;

private:
    host::PictureBox& bar_;
    host::Timer* activity_;
    HWND window_;
    int drawnPercent_ = -1;  // a bar redrawn at the same percentage would look the same
};

// Draws `percent` as a filled bar with a centred text into the picture box.
void DrawProgress(host::PictureBox& progress, std::uint8_t percent);

}  // namespace modI
