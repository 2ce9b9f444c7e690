// clsTrackMouse with real window procedures: events, messages passed on unchanged, the
// subclassing undone every way a tracking can end.
#include "support/cls_track_mouse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "pump.h"

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen>& OwnProcLog() {
    static std::vector<Seen> log;
    return log;
}

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE || message == WM_MOUSELEAVE || message == WM_MOUSEHOVER ||
        message == WM_APP || message == WM_NCDESTROY) {
        OwnProcLog().push_back({window, message, wParam, lParam});
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A plain window with its own procedure, the tracked object of the tests.
class TestWindow : public TrackedObject {
public:
    TestWindow() {
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &OwnProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "TrackMouseTestWindow";
            return RegisterClassA(&wc);
        }();
        window_ = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP | WS_VISIBLE, 100, 100, 80, 60,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { Destroy(); }
    HWND hwnd() const override { return window_; }
    void Destroy() {
        if (window_) DestroyWindow(window_);
    }

private:
    HWND window_ = nullptr;
};

WNDPROC ProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

struct TrackMouseFixture : testing::Test {
    TestWindow window;
    clsTrackMouse tracker;
    std::vector<std::string> events;

    void SetUp() override {
        OwnProcLog().clear();
        tracker.MouseOver = [this](std::int32_t x, std::int32_t y) {
            events.push_back("MouseOver " + std::to_string(x) + "," + std::to_string(y));
        };
        tracker.MouseOut = [this] { events.push_back("MouseOut"); };
    }
};

TEST_F(TrackMouseFixture, AMoveGivesOneMouseOverAndReachesTheOwnProcedureUnchanged) {
    tracker.SetTrackObject(&window);
    ASSERT_EQ(ProcOf(window.hwnd()), &modTM::TrackWindowProc);
    EXPECT_EQ(modTM::TrackerFromWindow(window.hwnd()), &tracker);

    SetCursorPos(130, 120);
    POINT at{};
    GetCursorPos(&at);
    SendMessageA(window.hwnd(), WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(30, 20));
    EXPECT_EQ(events, (std::vector<std::string>{"MouseOver " + std::to_string(at.x) + "," +
                                                 std::to_string(at.y)}));
    ASSERT_EQ(OwnProcLog().size(), 1u);
    EXPECT_EQ(OwnProcLog()[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(OwnProcLog()[0].wParam, static_cast<WPARAM>(MK_SHIFT));
    EXPECT_EQ(OwnProcLog()[0].lParam, MAKELPARAM(30, 20));
    EXPECT_EQ(tracker.OldWindowProc(), &OwnProc) << "re-subclassed on the move";

    SendMessageA(window.hwnd(), WM_APP, 7, 8);  // any other message goes on as it is
    EXPECT_EQ(OwnProcLog().back().wParam, 7u);
    EXPECT_EQ(events.size(), 1u);
}

// A tracker may move to a window that is not its object's: a message of that window reaches
// the window's own procedure as that window's message.
TEST_F(TrackMouseFixture, AMessageIsPassedOnWithItsOwnWindow) {
    tracker.SetTrackObject(&window);
    TestWindow other;
    tracker.StartTracking(other.hwnd());
    ASSERT_EQ(ProcOf(other.hwnd()), &modTM::TrackWindowProc);
    OwnProcLog().clear();
    SendMessageA(other.hwnd(), WM_APP, 1, 2);
    ASSERT_EQ(OwnProcLog().size(), 1u);
    EXPECT_EQ(OwnProcLog()[0].window, other.hwnd());
    tracker.StopTracking(other.hwnd());
}

TEST_F(TrackMouseFixture, LeaveGivesOneMouseOutAndHoverAMouseOver) {
    tracker.SetTrackObject(&window);
    SendMessageA(window.hwnd(), WM_MOUSELEAVE, 0, 0);
    SendMessageA(window.hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(1, 1));
    SendMessageA(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "MouseOut");
    EXPECT_EQ(events[1].rfind("MouseOver", 0), 0u);
    EXPECT_EQ(events[2].rfind("MouseOver", 0), 0u);
    EXPECT_EQ(OwnProcLog().size(), 3u);
}

TEST_F(TrackMouseFixture, RealPointerOverAndOut) {
    SetCursorPos(400, 400);
    wintest::PumpFor(50);
    tracker.SetTrackObject(&window);
    SetCursorPos(120, 110);
    wintest::PumpFor(100);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0], "MouseOver 120,110");
    SetCursorPos(400, 400);
    wintest::PumpFor(300);
    EXPECT_EQ(std::count(events.begin(), events.end(), "MouseOut"), 1);
    SetCursorPos(125, 110);
    wintest::PumpFor(100);
    EXPECT_EQ(events.back().rfind("MouseOver", 0), 0u) << "moving back arms it again";
}

TEST_F(TrackMouseFixture, StartingTwiceSubclassesOnce) {
    tracker.StartTracking(window.hwnd());
    tracker.StartTracking(window.hwnd());
    EXPECT_EQ(tracker.OldWindowProc(), &OwnProc);
    SendMessageA(window.hwnd(), WM_APP, 0, 0);
    EXPECT_EQ(OwnProcLog().size(), 1u);
}

TEST_F(TrackMouseFixture, TrackingNothingRestoresTheProcedureAndRemovesTheProperty) {
    tracker.SetTrackObject(&window);
    tracker.SetTrackObject(nullptr);
    EXPECT_EQ(ProcOf(window.hwnd()), &OwnProc);
    EXPECT_EQ(GetPropA(window.hwnd(), modTM::kTrackerProperty), nullptr);
    EXPECT_EQ(tracker.OldWindowProc(), nullptr);
    tracker.SetTrackObject(nullptr);  // nothing held: nothing happens
    EXPECT_EQ(ProcOf(window.hwnd()), &OwnProc);
}

TEST_F(TrackMouseFixture, StopTrackingForADestroyedWindowIsHarmless) {
    tracker.SetTrackObject(&window);
    const HWND gone = window.hwnd();
    window.Destroy();
    EXPECT_EQ(OwnProcLog().back().message, static_cast<UINT>(WM_NCDESTROY))
        << "the own procedure still saw the window go";
    EXPECT_EQ(tracker.OldWindowProc(), nullptr) << "let go when the window was destroyed";
    tracker.StopTracking(gone);
    tracker.SetTrackObject(nullptr);
    SUCCEED();
}

TEST_F(TrackMouseFixture, ASecondObjectOrTrackerTakesTheWindowOverCleanly) {
    TestWindow other;
    tracker.SetTrackObject(&window);
    tracker.SetTrackObject(&other);
    EXPECT_EQ(ProcOf(window.hwnd()), &OwnProc) << "the first window is let go";
    EXPECT_EQ(GetPropA(window.hwnd(), modTM::kTrackerProperty), nullptr);
    EXPECT_EQ(ProcOf(other.hwnd()), &modTM::TrackWindowProc);

    auto second = std::make_unique<clsTrackMouse>();
    second->SetTrackObject(&other);
    EXPECT_EQ(second->OldWindowProc(), &OwnProc) << "never the tracking procedure itself";
    EXPECT_EQ(tracker.OldWindowProc(), nullptr);
    OwnProcLog().clear();
    SendMessageA(other.hwnd(), WM_APP, 0, 0);
    EXPECT_EQ(OwnProcLog().size(), 1u);

    tracker.StopTracking(other.hwnd());  // not its window any more: nothing happens
    EXPECT_EQ(ProcOf(other.hwnd()), &modTM::TrackWindowProc);
    second.reset();  // a tracker that goes lets its window go
    EXPECT_EQ(ProcOf(other.hwnd()), &OwnProc);
    EXPECT_EQ(GetPropA(other.hwnd(), modTM::kTrackerProperty), nullptr);
}

}  // namespace
