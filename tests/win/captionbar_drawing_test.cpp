// The caption bar's drawing read back in pixels: the stretched background, the container's
// layer through DrawControl, the glyph items, and no GDI object left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "captionbar_fixture.h"
#include "gdi_leak.h"
#include "host/handles.h"

namespace {

using captionbar::StoredImage;
using wintest::BarOptions;
using wintest::CaptionBarFixture;

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A pixel of a stored image.
COLORREF ImagePixel(titOrb& bar, StoredImage image, int x, int y) {
    host::unique_dc dc(CreateCompatibleDC(nullptr));
    host::SelectObjectScope selected(dc.get(), bar.StoredPicture(image)->Bitmap());
    return GetPixel(dc.get(), x, y);
}

// How many pixels of the bar's image differ between two snapshots of a rectangle.
int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

std::vector<COLORREF> Snapshot(HDC dc, RECT r) {
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    return pixels;
}

TEST_F(CaptionBarFixture, BackgroundIsTheImageOfTheBarsHeightStretchedToTheBar) {
    struct Case {
        int ovrMenuHeightPixels;
        StoredImage image;
    } const cases[] = {
        {32, StoredImage::picMSGTitle},  // a bar 36 pixels high
        {42, StoredImage::picNormalTitlePic},
        {50, StoredImage::picMainTitlePic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ovrMenuHeightPixels);
        auto& bar = form.Add<titOrb>("mTitleBar", c.ovrMenuHeightPixels);
        BarOptions options;
        options.ovrMenuHeightPixels = c.ovrMenuHeightPixels;
        options.ControlBoxes = false;
        Init(bar, options);
        bar.ReDrawMenu(true, false);
        const int height = c.ovrMenuHeightPixels + 4;
        const auto& size = captionbar::ResourceOf(c.image);
        for (int y : {1, height / 2, height - 2}) {
            // The stretch takes one of the source rows around y's place in the image.
            const int row = y * size.height / height;
            const COLORREF pixel = GetPixel(bar.hdc(), 300, y);
            bool matches = false;
            for (int r = std::max(0, row - 1); r <= std::min(size.height - 1, row + 1); ++r) {
                matches = matches || Near(pixel, ImagePixel(bar, c.image, size.width / 2, r), 2);
            }
            EXPECT_TRUE(matches) << "row " << y << ": " << std::hex << pixel;
        }
    }
}

TEST_F(CaptionBarFixture, EveryRedrawRaisesDrawControlOnceWithTheBarsImage) {
    Init();
    Show();
    int raised = 0;
    bool sameImage = false;
    bar->DrawControl = [&](HDC& dc) {
        ++raised;
        sameImage = GetPixel(dc, 5, 5) == GetPixel(bar->hdc(), 5, 5) &&
                    GetPixel(dc, 300, 40) == GetPixel(bar->hdc(), 300, 40);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        RECT mark{200, 5, 210, 15};
        host::unique_brush red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(dc, &mark, red.get());
    };
    for (bool full : {true, false}) {
        raised = 0;
        bar->ReDrawMenu(full, false);
        EXPECT_EQ(raised, 1);
        EXPECT_TRUE(sameImage);
    }
    wintest::PumpFor(30);
    EXPECT_EQ(wintest::ScreenPixel(bar->hWnd(), 205, 10), RGB(255, 0, 0))
        << "what the container draws shows on the bar";
    EXPECT_NE(wintest::ScreenPixel(bar->hWnd(), 215, 10), RGB(255, 0, 0));
}

TEST_F(CaptionBarFixture, GlyphsAreDrawnOnlyForEnabledItemsFourAndFive) {
    // Item 5's rectangle lies on the bar, left of its middle and in its lowest rows.
    const RECT itemFive{280, 30, 330, 46};
    Init();
    const auto drawn = [&](std::uint8_t mask, bool controlBoxes) {
        SetItemMask(mask);
        bar->SetDrawControlBoxes(controlBoxes);
        bar->Cls();
        bar->ReDrawMenu(true, false);
        return Snapshot(bar->hdc(), itemFive);
    };
    const auto plain = drawn(4, false);
    EXPECT_EQ(Differences(drawn(4, true), plain), 0) << "item mask 4 (item 3 only) draws no glyph";
    EXPECT_GT(Differences(drawn(16, true), plain), 10) << "item 5 is drawn";
}

TEST_F(CaptionBarFixture, RedrawingLeaksNoGdiObject) {
    BarOptions options;
    options.ControlBoxesMask = 31;
    Init(options);
    EXPECT_FALSE(wintest::LeaksGdiObjects([&] { bar->ReDrawMenu(true, false); }, 200));
}

}  // namespace
