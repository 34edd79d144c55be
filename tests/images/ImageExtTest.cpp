#include "images/ImageExt.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ImagePatterns.h"
#include "base/MemFile.h"
#include "images/Canvas.h"

using lumenreel::test::makePattern;

TEST(ImageExtTest, RowsArePaddedToFourBytes) {
    struct Case {
        int width, bits, bytes;
    };
    for (const Case& c : {Case{3, 24, 12}, Case{1, 24, 4}, Case{4, 24, 12}, Case{5, 32, 20},
                          Case{1, 1, 4}, Case{33, 1, 8}, Case{9, 4, 8}, Case{3, 16, 8}}) {
        EXPECT_EQ(CImageExt::rowBytes(c.width, c.bits), c.bytes) << c.width << "x" << c.bits;
    }
    CImageExt image;
    ASSERT_TRUE(image.create(3, 1, 24));
    EXPECT_EQ(image.pitch(), 12);
    EXPECT_EQ(image.view().stride, 12);
}

TEST(ImageExtTest, CreateRefusesOtherDepthsAndHostileSizes) {
    CImageExt image;
    EXPECT_FALSE(image.create(10, 10, 16));
    EXPECT_FALSE(image.create(0, 10, 24));
    EXPECT_FALSE(image.create(100000, 100000, 32));
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(image.view().empty());
}

// Its pixels are the writer's, but the padding after each row is always clear, since comparing
// images compares it: the memory handed back is first soiled by an image freed before it.
TEST(ImageExtTest, AnImageMadeForOverwriteHasClearPaddingAndEqualsOneMadeClear) {
    {
        CImageExt soiled;
        ASSERT_TRUE(soiled.create(3, 4, 24));
        std::fill_n(soiled.firstRow(), soiled.pitch() * 4, 0xEE);
    }
    CImageExt overwritten;
    ASSERT_TRUE(overwritten.createForOverwrite(3, 4, 24));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 3; ++x)
            overwritten.setPixel(x, y, 0x102030u + static_cast<std::uint32_t>(x * 4 + y));
        for (int padding = 9; padding < 12; ++padding)
            EXPECT_EQ(overwritten.firstRow()[y * overwritten.pitch() + padding], 0) << y;
    }
    CImageExt cleared;
    ASSERT_TRUE(cleared.create(3, 4, 24));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            cleared.setPixel(x, y, 0x102030u + static_cast<std::uint32_t>(x * 4 + y));
    EXPECT_TRUE(overwritten.equals(cleared));
    EXPECT_FALSE(overwritten.createForOverwrite(10, 10, 16));
    EXPECT_TRUE(overwritten.isNull());
}

TEST(ImageExtTest, PixelsReadBackAndIgnoreOutsidePositions) {
    CImageExt image;
    ASSERT_TRUE(image.create(2, 2, 24));
    image.setPixel(1, 1, 0xAA112233);
    image.setPixel(2, 0, 0xFFFFFFFF);
    EXPECT_EQ(image.pixel(1, 1), 0x112233u);  // 24-bit pixels have no fourth byte
    EXPECT_EQ(image.pixel(-1, 0), 0u);
    const std::uint8_t* second = image.firstRow() + image.pitch();
    EXPECT_EQ(second[3], 0x33);  // blue first
    EXPECT_EQ(second[5], 0x11);
}

TEST(ImageExtTest, FitInsideAndCoverKeepTheProportions) {
    struct Case {
        int width, height, boxW, boxH, fitW, fitH, coverW, coverH;
    };
    for (const Case& c :
         {Case{400, 100, 100, 100, 100, 25, 400, 100}, Case{100, 400, 50, 50, 12, 50, 50, 200},
          Case{300, 2, 30, 30, 30, 1, 4500, 30}}) {
        CImageExt fit = makePattern(c.width, c.height, 24);
        ASSERT_TRUE(fit.fitInside(c.boxW, c.boxH, CImageExt::kHighQualityBicubic));
        EXPECT_EQ(fit.width(), c.fitW);
        EXPECT_EQ(fit.height(), c.fitH);
        CImageExt cover = makePattern(c.width, c.height, 32);
        ASSERT_TRUE(cover.cover(c.boxW, c.boxH, CImageExt::kHighQualityBicubic));
        EXPECT_EQ(cover.width(), c.coverW);
        EXPECT_EQ(cover.height(), c.coverH);
        EXPECT_EQ(cover.bpp(), 32);
    }
}

TEST(ImageExtTest, ResizeOfAFlatPictureKeepsItsColour) {
    CImageExt image;
    ASSERT_TRUE(image.create(10, 6, 32));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, 0xFF204060);
    ASSERT_TRUE(image.resize(23, 4, CImageExt::kHighQualityBicubic));
    EXPECT_EQ(image.width(), 23);
    EXPECT_EQ(image.pixel(11, 2), 0xFF204060u);
    EXPECT_EQ(image.pixel(22, 3), 0xFF204060u);
}

TEST(ImageExtTest, From24AddsOpaqueAlphaOrKeepsIt) {
    const CImageExt source = makePattern(5, 3, 24);
    CImageExt wide;
    ASSERT_TRUE(wide.from24(source, true));
    EXPECT_EQ(wide.bpp(), 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(wide.pixel(x, y), 0xFF000000u | source.pixel(x, y));

    CImageExt translucent;
    translucent.create(1, 1, 32);
    translucent.setPixel(0, 0, 0x40102030);
    CImageExt kept, opaque;
    kept.from24(translucent, true);
    opaque.from24(translucent, false);
    EXPECT_EQ(kept.pixel(0, 0), 0x40102030u);
    EXPECT_EQ(opaque.pixel(0, 0), 0xFF102030u);
    EXPECT_FALSE(kept.from24(CImageExt(), true));
}

TEST(ImageExtTest, ComparisonsSeeEveryDifference) {
    const CImageExt a = makePattern(8, 6, 32);
    CImageExt b;
    ASSERT_TRUE(a.copyTo(b));
    EXPECT_TRUE(a.equals(b));
    EXPECT_TRUE(CImageExt().equals(CImageExt()));
    EXPECT_FALSE(a.equals(CImageExt()));

    b.setPixel(2, 3, a.pixel(2, 3) ^ 0x01000000);  // alpha only
    EXPECT_FALSE(a.equals(b));
    EXPECT_EQ(a.countDifferences(b, 0, 0, 8, 6, 0, 0), 0);
    b.setPixel(4, 4, a.pixel(4, 4) ^ 0x000100);
    b.setPixel(5, 1, a.pixel(5, 1) ^ 0x010000);
    EXPECT_EQ(a.countDifferences(b, 0, 0, 8, 6, 0, 0), 2);
    EXPECT_DOUBLE_EQ(a.similarity(b, 0, 0, 8, 6, 0, 0), 1.0 - 2.0 / 48.0);
    EXPECT_TRUE(a.regionEquals(b, 0, 0, 8, 1, 0, 0));
    EXPECT_FALSE(a.regionEquals(b, 4, 4, 1, 1, 4, 4));
    EXPECT_FALSE(a.regionEquals(b, 0, 0, 9, 1, 0, 0));  // beyond the picture

    // Regions at different places of the two pictures.
    CImageExt shifted;
    shifted.create(10, 6, 32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            shifted.setPixel(x, y, 0xFF000000);
    a.blendInto(shifted, 2, 0, 255, 0xFFFFFFFF, false);
    EXPECT_TRUE(a.regionEquals(shifted, 0, 0, 8, 6, 2, 0));
    EXPECT_FALSE(a.regionEquals(shifted, 0, 0, 8, 6, 1, 0));
    EXPECT_EQ(a.countDifferences(shifted, 1, 1, 3, 3, 3, 1), 0);
    EXPECT_EQ(a.countDifferences(shifted, 4, 0, 8, 6, 0, 0), 48);  // outside counts as different
}

TEST(ImageExtTest, PlainArchiveFormRoundTrips) {
    CImageExt image = makePattern(9, 4, 32);
    CKWXMemFile file;
    ASSERT_TRUE(image.archive(file, true));
    file.Seek(0, CFile::SeekFrom::begin);
    CImageExt loaded;
    ASSERT_TRUE(loaded.archive(file, false));
    EXPECT_TRUE(loaded.equals(image));

    // A length beyond the data fails without reading past it.
    CKWXMemFile hostile(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
    EXPECT_FALSE(loaded.archive(hostile, false));
}

TEST(ImageExtTest, CanvasDrawsIntoBothDepths) {
    for (int bits : {24, 32}) {
        CImageExt image;
        ASSERT_TRUE(image.create(10, 8, bits));
        lumenreel::Canvas& canvas = image.beginDraw();
        canvas.fillRectangle({2, 2, 5, 5}, 0x0000FF);  // red, as colours are 0x00BBGGRR
        image.endDraw();
        EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, 0xFF0000u) << bits;
        EXPECT_EQ(image.pixel(6, 6) & 0xFFFFFF, 0u) << bits;

        // Scaling while a canvas is open ends the drawing first.
        image.beginDraw().fillRectangle({0, 0, 10, 8}, 0x00FF00);
        ASSERT_TRUE(image.resize(20, 16, CImageExt::kNearestNeighbor));
        EXPECT_EQ(image.pixel(19, 15) & 0xFFFFFF, 0x00FF00u) << bits;
    }
}
