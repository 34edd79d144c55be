#include <gtest/gtest.h>

#include "images/ImageExt.h"
#include "images/PixelBlit.h"

namespace lumenreel::test {
namespace {

TEST(PixelBlitTest, FillSetsExactlyTheClippedRectangle) {
    struct Case {
        int bpp, x, y, width, height;
    };
    const Case cases[] = {{32, 3, 2, 1, 1},   {32, 0, 0, 37, 9}, {32, 30, 5, 20, 20},
                          {32, -4, -3, 9, 6}, {24, 5, 1, 13, 7}, {24, -2, 4, 50, 3},
                          {32, 4, 4, 0, 5},   {32, 4, 4, -3, 5}, {24, 36, 8, 1, 1}};
    for (const Case& c : cases) {
        CImageExt image;
        ASSERT_TRUE(image.create(37, 9, c.bpp));
        fillPixels(image.view(), 0, 0, 37, 9, 0xFF000000);
        fillPixels(image.view(), c.x, c.y, c.width, c.height, 0xFF123456);
        int wrong = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 37; ++x) {
                const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
                const std::uint32_t expected = inside ? 0x123456 : 0;
                wrong += (image.pixel(x, y) & 0xFFFFFF) != expected;
            }
        EXPECT_EQ(wrong, 0) << c.bpp << " bits at " << c.x << "," << c.y << " " << c.width << "x"
                            << c.height;
    }
}

// Rows of every length up to a few vector steps, so the vector part and the tail after it both
// run: every pixel keeps its colour and comes out opaque, and nothing past the row is written.
TEST(PixelBlitTest, WideningTo32BitsKeepsEveryPixelOfRowsOfAnyLength) {
    for (int width = 1; width <= 40; ++width) {
        CImageExt source, target;
        ASSERT_TRUE(source.create(width, 2, 24));
        ASSERT_TRUE(target.create(width + 1, 2, 32));
        fillPixels(target.view(), 0, 0, width + 1, 2, 0x11223344);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                source.setPixel(x, y, static_cast<std::uint32_t>(0x010203 * (x + 40 * y + 1)));
        copyPixels(source.view(), target.view(), 0, 0, width, 2);
        int wrong = 0;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < width; ++x)
                wrong += target.pixel(x, y) != (0xFF000000u | source.pixel(x, y));
            wrong += target.pixel(width, y) != 0x11223344u;
        }
        EXPECT_EQ(wrong, 0) << width << " pixels";
    }
}

TEST(PixelBlitTest, CopiesConvertBetweenDepthsAndClipToTheTarget) {
    struct Case {
        int fromBpp, toBpp, x, y;
    };
    const Case cases[] = {
        {24, 24, 2, 1}, {32, 32, 2, 1}, {24, 32, -3, 2}, {32, 24, 9, -2}, {32, 32, 11, 6}};
    for (const Case& c : cases) {
        CImageExt source, target;
        ASSERT_TRUE(source.create(5, 4, c.fromBpp));
        ASSERT_TRUE(target.create(12, 7, c.toBpp));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                source.setPixel(x, y,
                                0x40000000u * static_cast<std::uint32_t>(x % 3) |
                                    static_cast<std::uint32_t>(0x10203 * (x + 5 * y + 1)));
        copyPixels(source.view(), target.view(), c.x, c.y, 5, 4);
        int wrong = 0;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 12; ++x) {
                const int sx = x - c.x, sy = y - c.y;
                std::uint32_t expected = 0;
                if (sx >= 0 && sx < 5 && sy >= 0 && sy < 4) {
                    expected = source.pixel(sx, sy);
                    // Alpha is the source's between 32-bit pictures, opaque from 24 bits and
                    // gone in 24 bits.
                    if (c.toBpp == 24)
                        expected &= 0xFFFFFF;
                    else if (c.fromBpp == 24)
                        expected |= 0xFF000000;
                }
                wrong += target.pixel(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << c.fromBpp << " to " << c.toBpp << " at " << c.x << "," << c.y;
    }
}

}  // namespace
}  // namespace lumenreel::test
