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

}  // namespace
}  // namespace lumenreel::test
