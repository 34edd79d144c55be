#include "images/Canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "images/PixelBuffer.h"

namespace lumenreel {
namespace {

using test::PixelBuffer;

void fillWhite(PixelBuffer& picture) {
    std::fill(picture.bytes.begin(), picture.bytes.end(), 255);
}

bool hasColour(const std::uint8_t* pixel, int red, int green, int blue, int tolerance = 0) {
    return std::abs(pixel[2] - red) <= tolerance && std::abs(pixel[1] - green) <= tolerance &&
           std::abs(pixel[0] - blue) <= tolerance;
}

bool inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

TEST(CanvasTest, RectangleOutlineIsCentredOnTheEdgesPixelExactly) {
    struct Case {
        Rect rect;
        int penWidth;
        int outside;  // pixels of the pen beyond the edge; the rest lie inside
    };
    const Case cases[] = {
        {{5, 4, 17, 14}, 1, 0}, {{5, 4, 17, 14}, 3, 1}, {{5, 4, 17, 14}, 4, 2},
        {{0, 0, 24, 18}, 8, 4},  // the outer half of the pen falls off the picture
        {{8, 6, 12, 10}, 6, 3},  // pen wider than the hole: a solid block
    };
    for (int bytesPerPixel : {3, 4}) {
        for (const Case& c : cases) {
            PixelBuffer picture(24, 18, bytesPerPixel, bytesPerPixel == 3 ? 0 : 4);
            fillWhite(picture);
            {
                Canvas canvas(picture.view);
                ASSERT_TRUE(canvas.ok());
                canvas.drawRectangle(c.rect, c.penWidth, 0x0000A0);
            }
            const int in = c.penWidth - c.outside;
            const Rect& r = c.rect;
            for (int y = 0; y < 18; ++y) {
                for (int x = 0; x < 24; ++x) {
                    const bool onPen =
                        inside(x, y, r.left - c.outside, r.top - c.outside, r.right + c.outside,
                               r.bottom + c.outside) &&
                        !inside(x, y, r.left + in, r.top + in, r.right - in, r.bottom - in);
                    const bool ok = onPen ? hasColour(picture.at(x, y), 160, 0, 0)
                                          : hasColour(picture.at(x, y), 255, 255, 255);
                    ASSERT_TRUE(ok) << "pen " << c.penWidth << " at " << x << "," << y << " ("
                                    << bytesPerPixel << " bytes)";
                }
            }
        }
    }
}

TEST(CanvasTest, FilledRectangleWithAlphaBlendsOverThePicture) {
    PixelBuffer picture(10, 10, 3);
    fillWhite(picture);
    {
        Canvas canvas(picture.view);
        canvas.fillRectangle({2, 2, 6, 5}, 0xA00000, 128);  // blue 160 at half strength
    }
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool covered = inside(x, y, 2, 2, 6, 5);
            EXPECT_TRUE(covered ? hasColour(picture.at(x, y), 127, 127, 207, 1)
                                : hasColour(picture.at(x, y), 255, 255, 255))
                << x << "," << y;
        }
    }
}

TEST(CanvasTest, FilledCircleBlendsItsColourAtItsAlpha) {
    for (int bytesPerPixel : {3, 4}) {
        PixelBuffer picture(40, 40, bytesPerPixel);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                std::fill_n(picture.at(x, y), 3, 255);  // white, alpha byte 0
            }
        }
        {
            Canvas canvas(picture.view);
            canvas.fillCircle({20.0, 20.0}, 8.0, 0x1400C8, 190);
        }
        // 190/255 of (200, 0, 20) over 65/255 of white.
        EXPECT_TRUE(hasColour(picture.at(19, 19), 214, 65, 80, 1));
        EXPECT_TRUE(hasColour(picture.at(26, 20), 214, 65, 80, 1));
        EXPECT_TRUE(hasColour(picture.at(29, 20), 255, 255, 255));
        EXPECT_TRUE(hasColour(picture.at(24, 24), 214, 65, 80, 1));  // far corner 7.1 out
        EXPECT_TRUE(hasColour(picture.at(26, 26), 255, 255, 255));   // near corner 8.5 out
        if (bytesPerPixel == 4) {
            EXPECT_EQ(picture.at(19, 19)[3], 190);
            EXPECT_EQ(picture.at(2, 2)[3], 0);
        }
        int touched = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                touched += hasColour(picture.at(x, y), 255, 255, 255) ? 0 : 1;
            }
        }
        EXPECT_NEAR(touched, 3.14159 * 64, 40);  // antialiased rim pixels count too
    }
}

// Green at the gradient's start, red at its end, mirrored beyond: the colour a pen gives at x.
void gradientColourAt(double x, double from, double to, int rgb[3]) {
    double t = std::fmod(std::fabs((x - from) / (to - from)), 2.0);
    t = t > 1.0 ? 2.0 - t : t;
    const int green[3] = {0x00, 0xC8, 0x28};
    const int red[3] = {0xFF, 0x00, 0x00};
    for (int i = 0; i < 3; ++i) {
        rgb[i] = static_cast<int>(std::lround(green[i] + t * (red[i] - green[i])));
    }
}

// A gradient pen along the path: its ends take the end colours, and beyond the gradient's end the
// colours run back (mirrored tiling).
TEST(CanvasTest, GradientPenColoursThePathFromEndToEnd) {
    struct Case {
        const char* what;
        bool curve;
        double gradientEnd;
    };
    // Pixels the pen covers whole: near both ends and in the middle, where the curve crosses the
    // straight line too.
    const int onBoth[][2] = {{11, 19}, {50, 19}, {88, 20}};
    const int onLine[][2] = {{30, 19}, {70, 20}};
    for (const Case& c :
         {Case{"line", false, 90.0}, Case{"curve", true, 90.0}, Case{"mirrored", false, 50.0}}) {
        PixelBuffer picture(100, 40, 4);
        {
            Canvas canvas(picture.view);
            CanvasPen pen;
            pen.width = 6.0;
            pen.gradient =
                LinearGradient{{10.0, 0.0}, 0x28C800, 255, {c.gradientEnd, 0.0}, 0x0000FF, 255};
            if (c.curve) {
                canvas.drawBezier({10.0, 20.0}, {30.0, 5.0}, {70.0, 35.0}, {90.0, 20.0}, pen);
            } else {
                canvas.drawLine({10.0, 20.0}, {90.0, 20.0}, pen);
            }
        }
        std::vector<std::pair<int, int>> checked;
        for (const auto& p : onBoth) {
            checked.emplace_back(p[0], p[1]);
        }
        if (!c.curve) {
            for (const auto& p : onLine) {
                checked.emplace_back(p[0], p[1]);
            }
        }
        for (const auto& [x, y] : checked) {
            int rgb[3];
            gradientColourAt(x + 0.5, 10.0, c.gradientEnd, rgb);
            EXPECT_TRUE(hasColour(picture.at(x, y), rgb[0], rgb[1], rgb[2], 3))
                << c.what << " at " << x << "," << y;
            EXPECT_EQ(picture.at(x, y)[3], 255) << c.what;
        }
        EXPECT_TRUE(hasColour(picture.at(8, 19), 0, 0, 0)) << c.what;  // flat end: nothing past
    }
}

// Sizes and positions come from movie files: absurd ones must draw what they mean without
// overflowing, and non-numbers draw nothing.
TEST(CanvasTest, ExtremeValuesDrawSafely) {
    constexpr int huge = std::numeric_limits<int>::max();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        void (*draw)(Canvas&);
        bool paintsEverything;
    };
    const Case cases[] = {
        {"huge pen",
         [](Canvas& c) {
             c.drawRectangle({2, 2, 5, 5}, huge, 0x0000FF);
         },
         true},
        {"huge rectangle",
         [](Canvas& c) {
             c.fillRectangle({-huge - 1, -huge - 1, huge, huge}, 0x0000FF);
         },
         true},
        {"huge outline far away",
         [](Canvas& c) {
             c.drawRectangle({-huge - 1, -huge - 1, huge, huge}, 8, 0x0000FF);
         },
         false},
        {"circle at NaN",
         [](Canvas& c) {
             c.fillCircle({nan, 4.0}, 3.0, 0x0000FF);
         },
         false},
        {"line to NaN",
         [](Canvas& c) {
             CanvasPen pen;
             pen.width = 3.0;
             c.drawLine({0.0, 0.0}, {nan, 8.0}, pen);
         },
         false},
        {"NaN pen width",
         [](Canvas& c) {
             CanvasPen pen;
             pen.width = nan;
             c.drawBezier({0.0, 0.0}, {3.0, 3.0}, {5.0, 5.0}, {8.0, 8.0}, pen);
         },
         false},
    };
    for (const Case& c : cases) {
        PixelBuffer picture(9, 9, 3);
        fillWhite(picture);
        {
            Canvas canvas(picture.view);
            c.draw(canvas);
        }
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 9; ++x) {
                ASSERT_TRUE(c.paintsEverything ? hasColour(picture.at(x, y), 255, 0, 0)
                                               : hasColour(picture.at(x, y), 255, 255, 255))
                    << c.what << " at " << x << "," << y;
            }
        }
    }
}

TEST(CanvasTest, PixelsNothingTouchesComeBackUnchanged) {
    struct Case {
        int bytesPerPixel;
        int padding;  // 4 bytes with 2 bytes of padding cannot be wrapped directly
    };
    for (const Case c : {Case{3, 0}, Case{3, 5}, Case{4, 2}, Case{4, 0}}) {
        PixelBuffer picture(17, 11, c.bytesPerPixel, c.padding);
        std::mt19937 random(5);
        for (std::uint8_t& byte : picture.bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        const std::vector<std::uint8_t> before = picture.bytes;
        {
            Canvas canvas(picture.view);
            canvas.fillRectangle({3, 4, 6, 7}, 0x123456);
            canvas.flush();
            EXPECT_TRUE(hasColour(picture.at(4, 5), 0x56, 0x34, 0x12));
            canvas.fillRectangle({10, 1, 12, 2}, 0x654321);
        }
        EXPECT_TRUE(hasColour(picture.at(11, 1), 0x21, 0x43, 0x65));
        for (size_t i = 0; i < picture.bytes.size(); ++i) {
            const int y = static_cast<int>(i / picture.view.stride);
            const int x = static_cast<int>(i % picture.view.stride) / c.bytesPerPixel;
            if (inside(x, y, 3, 4, 6, 7) || inside(x, y, 10, 1, 12, 2)) {
                continue;
            }
            ASSERT_EQ(picture.bytes[i], before[i])
                << "byte " << i << " with " << c.bytesPerPixel << " bytes per pixel";
        }
    }
}

TEST(CanvasTest, AnUnusableViewGivesACanvasThatDrawsNothing) {
    std::uint8_t bytes[16] = {};
    const PixelView views[] = {PixelView{}, PixelView{bytes, 2, 2, 4, 2},
                               PixelView{bytes, 4, 1, 8, 4}};
    for (const PixelView& view : views) {
        Canvas canvas(view);
        EXPECT_FALSE(canvas.ok());
        ASSERT_NE(canvas.context(), nullptr);
        canvas.fillRectangle({0, 0, 2, 2}, 0xFFFFFF);
        canvas.fillCircle({1.0, 1.0}, 1.0, 0xFFFFFF);
        cairo_paint(canvas.context());
    }
    EXPECT_TRUE(
        std::all_of(std::begin(bytes), std::end(bytes), [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace lumenreel
