// Handle owners: ownership moves, closing keeps the last-error value, no GDI object leaks.
#include "host/handles.h"

#include <gtest/gtest.h>

#include "gdi_leak.h"

namespace {

TEST(UniqueHandle, MoveTransfersOwnershipAndEveryOwnerDeletes) {
    host::unique_pen a(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    ASSERT_TRUE(a);
    const HPEN pen = a.get();
    host::unique_pen b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), pen);
    b.reset();
    EXPECT_EQ(GetObjectType(pen), 0u) << "reset must delete the pen";

    EXPECT_FALSE(wintest::LeaksGdiObjects([] {
        host::unique_pen first(CreatePen(PS_SOLID, 1, 0));
        host::unique_pen second(std::move(first));
        second.reset(CreatePen(PS_SOLID, 2, 0));
        host::unique_region region(CreateRectRgn(0, 0, 2, 2));
        region = host::unique_region(CreateRectRgn(0, 0, 3, 3));
    }));
}

TEST(UniqueHandle, LeakCheckSeesALeak) {
    // The check itself must be able to fail: one pen a round is never deleted.
    EXPECT_TRUE(wintest::LeaksGdiObjects([] { CreatePen(PS_SOLID, 1, 0); }));
}

TEST(UniqueHandle, ReleaseKeepsTheObject) {
    host::unique_region owner(CreateRectRgn(0, 0, 5, 5));
    HRGN region = owner.release();
    EXPECT_FALSE(owner);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    DeleteObject(region);
}

TEST(UniqueHandle, ClosingKeepsTheLastError) {
    host::unique_brush brush(CreateSolidBrush(0));
    SetLastError(1234);
    brush.reset();
    EXPECT_EQ(GetLastError(), 1234u);
}

TEST(UniqueHandle, FileOwnerTreatsInvalidHandleAsEmpty) {
    host::unique_file file(CreateFileA("Z:\\no\\such\\dir\\file", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
}

}  // namespace

namespace {

DWORD WINAPI ReturnSeven(void*) { return 7; }

struct EnterAttempt {
    host::CriticalSection* section;
    bool entered;
};

DWORD WINAPI TryToEnter(void* parameter) {
    auto* attempt = static_cast<EnterAttempt*>(parameter);
    attempt->entered = TryEnterCriticalSection(attempt->section->get());
    if (attempt->entered) LeaveCriticalSection(attempt->section->get());
    return 0;
}

TEST(UniqueHandle, EventAndThreadOwnersCloseTheirHandle) {
    HANDLE raw = nullptr;
    {
        host::unique_event event(CreateEventA(nullptr, TRUE, TRUE, nullptr));
        ASSERT_TRUE(event);
        raw = event.get();
        host::unique_event moved(std::move(event));
        EXPECT_FALSE(event);
        EXPECT_EQ(WaitForSingleObject(moved.get(), 0), WAIT_OBJECT_0);
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags)) << "the event must be closed with its owner";

    host::unique_thread thread(CreateThread(nullptr, 0, &ReturnSeven, nullptr, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.get(), &code));
    EXPECT_EQ(code, 7u);
}

TEST(LockScope, HoldsTheSectionAgainstOtherThreadsUntilTheScopeEnds) {
    host::CriticalSection section;
    const auto enteredElsewhere = [&section] {
        EnterAttempt attempt{&section, false};
        const host::unique_thread other(CreateThread(nullptr, 0, &TryToEnter, &attempt, 0, nullptr));
        WaitForSingleObject(other.get(), 5000);
        return attempt.entered;
    };
    {
        const host::LockScope locked(section);
        EXPECT_FALSE(enteredElsewhere());
    }
    EXPECT_TRUE(enteredElsewhere());
}

}  // namespace
