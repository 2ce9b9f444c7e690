// clsDC: the surface only grows, is rebuilt at full size, takes a picture's pixels and
// copies them where Draw says; no GDI object is leaked.
#include "support/cls_dc.h"

#include <gtest/gtest.h>

#include "gdi_leak.h"
#include "host/app.h"

namespace {

SIZE BitmapSize(HDC dc) {
    BITMAP header{};
    GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof header, &header);
    return {header.bmWidth, header.bmHeight};
}

TEST(clsDC, NoSurfaceUntilTheFirstWrite) {
    clsDC surface;
    EXPECT_EQ(surface.hdc(), nullptr);
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_EQ(surface.Height(), 0);
}

TEST(clsDC, FirstWidthGivesHeightZeroThenHeightRebuildsAtFullSize) {
    clsDC surface;
    surface.SetWidth(100);
    ASSERT_NE(surface.hdc(), nullptr);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 0);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 1) << "the platform's minimal bitmap";

    surface.SetHeight(40);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 40);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 100);
    EXPECT_EQ(BitmapSize(surface.hdc()).cy, 40);
}

TEST(clsDC, OnlyGrowthCounts) {
    clsDC surface;
    surface.SetWidth(100);
    surface.SetHeight(30);
    surface.SetWidth(50);
    surface.SetHeight(30);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 30);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 100);

    surface.SetWidth(150);
    EXPECT_EQ(surface.Width(), 150);
    EXPECT_EQ(surface.Height(), 30);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 150);
    EXPECT_EQ(BitmapSize(surface.hdc()).cy, 30);
}

TEST(clsDC, CreateFromPictureTakesItsSizeAndPixels) {
    const auto picture = host::App::LoadBitmapPicture("#101");  // 16 × 16, green corner
    ASSERT_TRUE(picture);
    clsDC surface;
    surface.CreateFromPicture(*picture);
    EXPECT_EQ(surface.Width(), 16);
    EXPECT_EQ(surface.Height(), 16);
    EXPECT_EQ(GetPixel(surface.hdc(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(surface.hdc(), 3, 9), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface.hdc(), 15, 15), RGB(0, 0, 255));

    clsDC larger;
    larger.SetWidth(40);
    larger.SetHeight(40);
    larger.CreateFromPicture(*picture);
    EXPECT_EQ(larger.Width(), 40) << "a larger surface keeps its size";
    EXPECT_EQ(GetPixel(larger.hdc(), 15, 15), RGB(0, 0, 255));

    clsDC untouched;
    untouched.CreateFromPicture(*host::App::LoadIconPicture("#1"));
    EXPECT_EQ(untouched.Width(), 0) << "an icon has no bitmap to take";
}

TEST(clsDC, DrawCopiesTheWholeSurfaceToTheTargetPoint) {
    const auto picture = host::App::LoadBitmapPicture("#101");
    clsDC surface;
    surface.CreateFromPicture(*picture);

    clsDC target;
    target.SetWidth(40);
    target.SetHeight(40);
    RECT all{0, 0, 40, 40};
    FillRect(target.hdc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    surface.Draw(target.hdc(), 0, 0, 0, 0, 5, 7);
    EXPECT_EQ(GetPixel(target.hdc(), 5, 7), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target.hdc(), 4, 7), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.hdc(), 20, 22), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target.hdc(), 21, 7), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.hdc(), 5, 23), RGB(255, 255, 255));

    // A part of the surface: 4 × 2 pixels from (8, 0).
    surface.Draw(target.hdc(), 8, 0, 4, 2, 30, 30);
    EXPECT_EQ(GetPixel(target.hdc(), 30, 30), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target.hdc(), 34, 30), RGB(255, 255, 255));
}

TEST(clsDC, BuildingAndDestroyingSurfacesLeaksNothing) {
    const auto picture = host::App::LoadBitmapPicture("#101");
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] {
        clsDC surface;
        surface.SetWidth(30);
        surface.SetHeight(20);
        surface.SetWidth(60);
        surface.CreateFromPicture(*picture);
    }));
}

}  // namespace
