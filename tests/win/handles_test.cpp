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
