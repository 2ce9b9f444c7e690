// An exception thrown by a handler stops where the system called the program: the window
// procedure, the hover tracker's subclass procedure. The 32-bit product would end there; the
// 64-bit build these tests run would let it travel on into whatever loop dispatched the
// message, so here the test's own pump would catch it.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "host/app.h"
#include "host/form.h"
#include "support/cls_track_mouse.h"

namespace {

class FormAsTracked : public TrackedObject {
public:
    explicit FormAsTracked(const host::Form& form) : form_(form) {}
    HWND hwnd() const override { return form_.hWnd(); }

private:
    const host::Form& form_;
};

struct Case {
    const char* name;
    // Makes the handler of the case throw, counting its calls.
    std::function<void(host::Form&, clsTrackMouse&, int& calls)> arm;
    // Makes the system call the handler once more, through the message queue.
    std::function<void(HWND)> provoke;
};

[[noreturn]] void Throw(const char* what) { throw std::runtime_error(what); }

const Case kCases[] = {
    {"timer callback",
     [](host::Form& form, clsTrackMouse&, int& calls) {
         form.StartTimer(1, 10, [&calls] { ++calls, Throw("timer"); });
     },
     [](HWND) {}},
    {"paint handler",
     [](host::Form& form, clsTrackMouse&, int& calls) {
         form.OnPaint = [&calls] { ++calls, Throw("paint"); };
     },
     [](HWND window) { InvalidateRect(window, nullptr, TRUE); }},
    {"hover tracker's event",
     [](host::Form&, clsTrackMouse& tracker, int& calls) {
         tracker.MouseOver = [&calls](std::int32_t, std::int32_t) { ++calls, Throw("hover"); };
     },
     [](HWND window) { PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }},
};

// Pumps events until the handler has run `calls` times or a second has passed; false when an
// exception reached the pump.
bool PumpUntil(const int& calls, int wanted) {
    const DWORD start = GetTickCount();
    while (calls < wanted && GetTickCount() - start < 1000) {
        try {
            host::App::DoEvents();
        } catch (const std::exception&) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

std::string CaptionOf(HWND window) {
    char text[64] = {};
    const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<std::size_t>(length));
}

TEST(SystemBoundary, AThrowingHandlerIsStoppedThereAndTheWindowGoesOn) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        host::Form form("frmBoundary");
        ASSERT_TRUE(form.Load());
        form.SetCaption("still answering");
        form.Show();
        clsTrackMouse tracker;
        FormAsTracked tracked(form);
        tracker.SetTrackObject(&tracked);
        int calls = 0;
        c.arm(form, tracker, calls);

        for (int round = 1; round <= 2; ++round) {
            c.provoke(form.hWnd());
            if (!PumpUntil(calls, round)) {
                ADD_FAILURE() << "the exception left the window procedure for the test's pump";
                break;
            }
            EXPECT_GE(calls, round);
        }
        EXPECT_TRUE(IsWindow(form.hWnd()));
        EXPECT_EQ(CaptionOf(form.hWnd()), "still answering");
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form.hWnd(), GWLP_WNDPROC)),
                  &modTM::TrackWindowProc)
            << "the tracker's subclassing stays in place";
        tracker.SetTrackObject(nullptr);
    }
}

}  // namespace
