#include "images/CursorExt.h"

#include <gtest/gtest.h>

#include "ImagePatterns.h"
#include "base/MemFile.h"
#include "images/CursorImage.h"
#include "support/TestSupport.h"

using lumenreel::CursorImage;
using namespace lumenreel::test;

namespace {

constexpr std::uint32_t kGrey = 0x604020;
constexpr std::uint32_t kWhite = 0xFFFFFF;

CImageExt filled(int width, int height, std::uint32_t colour) {
    CImageExt image;
    image.create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour);
    return image;
}

// A 1-bit bitmap file made by netpbm from a picture of black and white pixels.
std::vector<std::uint8_t> monochromeFile(const CImageExt& picture) {
    TempDir dir;
    writePpm(dir / "mask.ppm", picture);
    const auto result = runCommand("(ppmtobmp -bpp 1 " + shellQuote((dir / "mask.ppm").string()) +
                                   " > " + shellQuote((dir / "mask.bmp").string()) + ")");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return readBytes(dir / "mask.bmp");
}

// A monochrome 32 × 64 mask: the four quadrants of the top (AND) half are black or white as
// are those of the bottom (XOR) half, giving every combination of the two masks.
std::unique_ptr<CursorImage> monochromeCursor() {
    CImageExt mask = filled(32, 64, 0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (x >= 16)
                mask.setPixel(x, y, kWhite);  // AND 1 on the right
            if (y >= 16)
                mask.setPixel(x, 32 + y, kWhite);  // XOR 1 at the bottom
        }
    }
    return CursorImage::fromBitmaps(3, 4, monochromeFile(mask), {});
}

void expectQuadrants(const CImageExt& target, int x, int y) {
    EXPECT_EQ(target.pixel(x + 1, y + 1), 0u);                // AND 0, XOR 0: black
    EXPECT_EQ(target.pixel(x + 1, y + 20), kWhite);           // AND 0, XOR 1: white
    EXPECT_EQ(target.pixel(x + 20, y + 1), kGrey);            // AND 1, XOR 0: unchanged
    EXPECT_EQ(target.pixel(x + 20, y + 20), kGrey ^ kWhite);  // AND 1, XOR 1: inverted
    EXPECT_EQ(target.pixel(x + 32, y + 32), kGrey);           // beyond the cursor
}

}  // namespace

TEST(CursorTest, MonochromeMasksSplitIntoAndAndXorHalves) {
    const auto cursor = monochromeCursor();
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->width(), 32);
    EXPECT_EQ(cursor->height(), 32);
    EXPECT_EQ(cursor->hotspotY(), 4);

    CCursorExt ext;
    ext.setCursor(cursor.get());
    EXPECT_EQ(ext.width(), 32);
    EXPECT_EQ(ext.height(), 32);
    EXPECT_EQ(ext.maskImage().height(), 32);
    EXPECT_EQ(ext.xorImage().height(), 32);
    EXPECT_EQ(ext.maskImage().bpp(), 32);
    EXPECT_TRUE(ext.colourImage().isNull());

    CImageExt byExt = filled(50, 50, kGrey);
    ext.draw(byExt.view(), 5, 6);
    expectQuadrants(byExt, 5, 6);
    CImageExt byStandardDrawing = filled(50, 50, kGrey);
    cursor->draw(byStandardDrawing.view(), 5, 6);
    EXPECT_TRUE(byStandardDrawing.equals(byExt));
}

TEST(CursorTest, ColourCursorsXorTheirColourPicture) {
    CImageExt mask = filled(8, 8, kWhite);
    for (int y = 0; y < 8; ++y)
        mask.setPixel(2, y, 0);  // an opaque column
    CImageExt colour = filled(8, 8, 0);
    for (int y = 0; y < 8; ++y)
        colour.setPixel(2, y, 0x0000FF);
    colour.setPixel(5, 5, 0x010101);  // XORed where the mask lets the target through
    CKWXMemFile colourFile;
    ASSERT_TRUE(colour.saveBmp(colourFile));
    const auto cursor = CursorImage::fromBitmaps(0, 0, monochromeFile(mask), colourFile.Bytes());
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->height(), 8);

    CCursorExt ext;
    ext.setCursor(cursor.get());
    CImageExt target = filled(10, 10, kGrey);
    ext.draw(target.view(), 1, 1);
    EXPECT_EQ(target.pixel(3, 4), 0x0000FFu);
    EXPECT_EQ(target.pixel(6, 6), kGrey ^ 0x010101);
    EXPECT_EQ(target.pixel(4, 4), kGrey);

    // The files a writer stores read back as the same cursor.
    const auto again = CursorImage::fromBitmaps(0, 0, cursor->maskFile(), cursor->colourFile());
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->mask().equals(cursor->mask()));
    EXPECT_TRUE(again->colour().equals(cursor->colour()));
}

TEST(CursorTest, BrokenOrMismatchedBitmapsGiveNoCursor) {
    const auto maskFile = monochromeFile(filled(8, 8, 0));
    EXPECT_FALSE(CursorImage::fromBitmaps(0, 0, {}, {}));
    EXPECT_FALSE(CursorImage::fromBitmaps(0, 0, maskFile, std::vector<std::uint8_t>{1, 2, 3}));
    CKWXMemFile wrongSize;
    filled(4, 8, 0).saveBmp(wrongSize);
    EXPECT_FALSE(CursorImage::fromBitmaps(0, 0, maskFile, wrongSize.Bytes()));
}

TEST(CursorTest, ScaledCursorsLeaveNoBorder) {
    const auto cursor = monochromeCursor();
    CCursorExt ext;
    ext.setCursor(cursor.get());
    ext.scale(1.5, 1.5);
    EXPECT_EQ(ext.width(), 48);
    EXPECT_EQ(ext.maskImage().width(), 48);
    EXPECT_EQ(ext.xorImage().height(), 48);

    CImageExt target = filled(60, 60, kGrey);
    ext.draw(target.view(), 0, 0);
    for (int i = 0; i < 48; ++i) {
        ASSERT_EQ(target.pixel(47, i), kGrey) << "last column, row " << i;
        ASSERT_EQ(target.pixel(i, 47), kGrey) << "last row, column " << i;
    }
    EXPECT_EQ(target.pixel(2, 2), 0u);  // the scaled picture itself still draws

    // The same cursor again changes nothing; another one rebuilds.
    ext.setCursor(cursor.get());
    EXPECT_EQ(ext.width(), 48);
    const auto other = monochromeCursor();
    ext.setCursor(other.get());
    EXPECT_EQ(ext.width(), 32);
    ext.scale(1.0, 1.0);
    EXPECT_EQ(ext.width(), 32);
}
