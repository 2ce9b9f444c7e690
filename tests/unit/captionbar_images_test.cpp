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

// From the source folder the build names: __FILE__ may be relative to the build tree (ccache
// with a base directory compiles from relative paths).
const std::filesystem::path kImagesDir = std::filesystem::path(ORB_SOURCE_DIR) / "controls" / "captionbar" / "images";

std::string FileName(const ImageResource& image) {
    std::string name = image.name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + ".bmp";
}

// A bitmap file decoded to its pixels, bottom row first, whether it is stored as 24-bit
// colour or as 8-bit run-length encoded (BI_RLE8) with a palette.
struct Bitmap {
    struct Rgb {
        std::uint8_t b, g, r;
        friend bool operator==(const Rgb&, const Rgb&) = default;
    };
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
    int bitsPerPixel = 0;
    int compression = 0;
    std::vector<Rgb> pixels;  // width * height when the file decoded

    const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Mean brightness (Rec. 601 weights).
    double MeanLuma() const {
        double sum = 0;
        for (const Rgb& p : pixels) sum += 0.114 * p.b + 0.587 * p.g + 0.299 * p.r;
        return pixels.empty() ? 0 : sum / pixels.size();
    }
};

std::int32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                     static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void Decode24(const std::vector<std::uint8_t>& bytes, std::size_t at, Bitmap& bmp) {
    const std::size_t rowSize = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~3u;
    if (bytes.size() < at + rowSize * bmp.height) return;
    for (int y = 0; y < bmp.height; ++y) {
        for (int x = 0; x < bmp.width; ++x) {
            const std::uint8_t* p = &bytes[at + y * rowSize + 3 * x];
            bmp.pixels.push_back({p[0], p[1], p[2]});
        }
    }
}

// Encoded runs only (count, index), ends of line and the end of the bitmap, as the image
// script writes them.
void DecodeRle8(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t paletteAt,
                std::size_t colours, Bitmap& bmp) {
    std::vector<Bitmap::Rgb> decoded;
    for (std::size_t i = at; i + 1 < bytes.size(); i += 2) {
        const std::uint8_t count = bytes[i], value = bytes[i + 1];
        if (count > 0) {
            if (value >= colours) return;
            const std::uint8_t* c = &bytes[paletteAt + 4 * value];
            decoded.insert(decoded.end(), count, Bitmap::Rgb{c[0], c[1], c[2]});
        } else if (value == 1) {
            if (decoded.size() == static_cast<std::size_t>(bmp.width) * bmp.height) bmp.pixels = decoded;
            return;
        } else if (value != 0) {
            return;  // absolute runs and deltas are not written by the script
        }
    }
}

// An unreadable, short or undecodable file gives a bitmap without pixels.
Bitmap ReadBitmap(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    Bitmap bmp;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return bmp;
    bmp.width = Read32(bytes, 18);
    bmp.height = Read32(bytes, 22);
    bmp.bitsPerPixel = bytes[28] | bytes[29] << 8;
    bmp.compression = Read32(bytes, 30);
    if (bmp.width <= 0 || bmp.height <= 0) return bmp;
    const auto pixelsAt = static_cast<std::size_t>(std::max(Read32(bytes, 10), 0));
    if (bmp.bitsPerPixel == 24 && bmp.compression == 0) {
        Decode24(bytes, pixelsAt, bmp);
    } else if (bmp.bitsPerPixel == 8 && bmp.compression == 1) {
        const auto colours = static_cast<std::size_t>(std::max(Read32(bytes, 46), 0));
        if (colours <= 256 && bytes.size() >= 54 + 4 * colours) DecodeRle8(bytes, pixelsAt, 54, colours, bmp);
    }
    return bmp;
}

TEST(CaptionBarImages, EveryImageIsAStoredBitmapOfItsSize) {
    for (const ImageResource& image : kImageResources) {
        const Bitmap bmp = ReadBitmap(kImagesDir / FileName(image));
        EXPECT_EQ(bmp.width, image.width) << image.name;
        EXPECT_EQ(bmp.height, image.height) << image.name << " (bottom-up, as LoadImage expects)";
        EXPECT_EQ(bmp.pixels.size(), static_cast<std::size_t>(image.width) * image.height)
            << image.name << ": 24-bit or 8-bit run-length encoded, as LoadImage reads them";
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
        ASSERT_FALSE(bmp.pixels.empty()) << ResourceOf(background).name;
        for (int y = 0; y < bmp.height; ++y) {
            for (int x = 1; x < bmp.width; ++x) {
                ASSERT_TRUE(bmp.At(x, y) == bmp.At(0, y))
                    << ResourceOf(background).name << " row " << y << " column " << x;
            }
        }
    }
}

}  // namespace
