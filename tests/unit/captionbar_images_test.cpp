// The caption bar's committed images against the names and sizes the bar expects of them.
#include "controls/captionbar/image_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using captionbar::ImageResource;
using captionbar::kImageResources;
using captionbar::ResourceOf;
using captionbar::StoredImage;

const std::filesystem::path kImagesDir =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "controls" /
    "captionbar" / "images";

std::string FileName(const ImageResource& image) {
    std::string name = image.name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ".bmp";
}

struct Bitmap {
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
    int bitsPerPixel = 0;
    std::size_t pixels = 0;  // offset of the first row in bytes
    std::vector<std::uint8_t> bytes;

    // Mean brightness (Rec. 601 weights) of a bottom-up 24-bit bitmap.
    double MeanLuma() const {
        const int rowSize = (width * 3 + 3) & ~3;
        double sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = &bytes[pixels + y * rowSize + 3 * x];
                sum += 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
            }
        }
        return sum / (width * height);
    }
};

std::int32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                     static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Reads the file's header; an unreadable or short file gives a zero-sized bitmap.
Bitmap ReadBitmap(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    Bitmap bmp;
    bmp.bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (bmp.bytes.size() < 54 || bmp.bytes[0] != 'B' || bmp.bytes[1] != 'M') return bmp;
    bmp.width = Read32(bmp.bytes, 18);
    bmp.height = Read32(bmp.bytes, 22);
    bmp.bitsPerPixel = bmp.bytes[28] | bmp.bytes[29] << 8;
    bmp.pixels = static_cast<std::size_t>(std::max(Read32(bmp.bytes, 10), 0));
    const std::size_t rowSize = (static_cast<std::size_t>(std::max(bmp.width, 0)) * 3 + 3) & ~3u;
    if (bmp.bytes.size() < bmp.pixels + rowSize * static_cast<std::size_t>(std::max(bmp.height, 0))) {
        bmp.width = bmp.height = 0;
    }
    return bmp;
}

TEST(CaptionBarImages, EveryImageIsAStoredBitmapOfItsSize) {
    for (const ImageResource& image : kImageResources) {
        const Bitmap bmp = ReadBitmap(kImagesDir / FileName(image));
        EXPECT_EQ(bmp.width, image.width) << image.name;
        EXPECT_EQ(bmp.height, image.height) << image.name << " (bottom-up, as LoadImage expects)";
        EXPECT_EQ(bmp.bitsPerPixel, 24) << image.name;
    }
}

TEST(CaptionBarImages, TheResourceScriptNamesEveryImageOnce) {
    std::ifstream in(kImagesDir / "images.rc");
    ASSERT_TRUE(in) << kImagesDir / "images.rc";
    std::set<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        EXPECT_TRUE(lines.insert(line).second) << "repeated: " << line;
    }
    std::set<std::string> expected;
    for (const ImageResource& image : kImageResources) {
        expected.insert(std::string(image.name) + " BITMAP \"@CAPTIONBAR_IMAGES_DIR@/" +
                        FileName(image) + "\"");
    }
    EXPECT_EQ(lines, expected);
}

TEST(CaptionBarImages, HoverIsBrighterAndPressedDarkerThanNormal) {
    const struct {
        StoredImage normal, hover, pressed;
    } boxes[] = {
        {StoredImage::Picminn, StoredImage::Picminf, StoredImage::Picminfp},
        {StoredImage::picresn, StoredImage::picresf, StoredImage::picresp},
        {StoredImage::picresmax, StoredImage::PICRESMAXF, StoredImage::PICRESMAXP},
        {StoredImage::picClosen, StoredImage::picClosef, StoredImage::picClosefp},
    };
    const auto luma = [](StoredImage image) {
        return ReadBitmap(kImagesDir / FileName(ResourceOf(image))).MeanLuma();
    };
    for (const auto& box : boxes) {
        const double normal = luma(box.normal);
        EXPECT_GT(luma(box.hover), normal + 5) << ResourceOf(box.hover).name;
        EXPECT_LT(luma(box.pressed), normal - 20) << ResourceOf(box.pressed).name;
    }
}

TEST(CaptionBarImages, BackgroundRowsAreUniformSoTheyStretchSideways) {
    for (StoredImage background :
         {StoredImage::picMSGTitle, StoredImage::picNormalTitlePic, StoredImage::picMainTitlePic}) {
        const Bitmap bmp = ReadBitmap(kImagesDir / FileName(ResourceOf(background)));
        ASSERT_GT(bmp.width, 0) << ResourceOf(background).name;
        const int rowSize = (bmp.width * 3 + 3) & ~3;
        for (int y = 0; y < bmp.height; ++y) {
            const auto row = bmp.bytes.begin() + bmp.pixels + y * rowSize;
            for (int x = 1; x < bmp.width; ++x) {
                ASSERT_TRUE(std::equal(row, row + 3, row + 3 * x))
                    << ResourceOf(background).name << " row " << y << " column " << x;
            }
        }
    }
}

}  // namespace
