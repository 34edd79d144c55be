#include "images/Resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "images/PixelBuffer.h"
#include "images/ResampleRows.h"

namespace lumenreel {
namespace {

using test::PixelBuffer;

constexpr int kEveryMode[] = {0, 1, 2, 3, 4, 5, 6, 7};

void fillNoise(PixelBuffer& picture, unsigned seed) {
    std::mt19937 random(seed);
    for (std::uint8_t& byte : picture.bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
}

void fillCheckerboard(PixelBuffer& picture) {
    for (int y = 0; y < picture.view.height; ++y) {
        for (int x = 0; x < picture.view.width; ++x) {
            std::fill_n(picture.at(x, y), picture.view.bytesPerPixel, (x + y) % 2 ? 255 : 0);
        }
    }
}

TEST(ResamplerTest, SameSizeCopiesEveryPixelExactlyInEveryMode) {
    for (int bytesPerPixel : {3, 4}) {
        PixelBuffer source(13, 7, bytesPerPixel, 3);
        fillNoise(source, 1);
        for (int mode : kEveryMode) {
            PixelBuffer target(13, 7, bytesPerPixel, 1);
            ASSERT_TRUE(resample(source.view, target.view, mode));
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 13; ++x) {
                    ASSERT_TRUE(std::equal(source.at(x, y), source.at(x, y) + bytesPerPixel,
                                           target.at(x, y)))
                        << "mode " << mode << " pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(ResamplerTest, NearestNeighbourPicksTheSourcePixelUnderEachTargetCentre) {
    PixelBuffer source(6, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) {
            source.at(x, y)[0] = static_cast<std::uint8_t>(10 * y + x);
        }
    }
    struct Case {
        int width, height;
        std::vector<int> expected;  // row-major 10 * sourceY + sourceX
    };
    const Case cases[] = {
        {3, 1, {11, 13, 15}},                  // halves: centres at 1, 3, 5 and row 1
        {4, 2, {0, 2, 3, 5, 20, 22, 23, 25}},  // 1.5 per sample: 0.75, 2.25, 3.75, 5.25
        {12, 1, {10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15}},
    };
    for (const Case& c : cases) {
        PixelBuffer target(c.width, c.height, 3);
        ASSERT_TRUE(resample(source.view, target.view, 5));
        std::vector<int> got;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                got.push_back(target.at(x, y)[0]);
            }
        }
        EXPECT_EQ(got, c.expected) << c.width << "x" << c.height;
    }
}

TEST(ResamplerTest, ConstantPicturesStayConstantWhateverTheModeAndSize) {
    const std::uint8_t colour[4] = {17, 128, 250, 99};
    const int sizes[][2] = {{1, 1}, {3, 40}, {31, 17}, {64, 64}, {200, 9}};
    for (int bytesPerPixel : {3, 4}) {
        PixelBuffer source(31, 17, bytesPerPixel, 2);
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 31; ++x) {
                std::copy_n(colour, bytesPerPixel, source.at(x, y));
            }
        }
        for (int mode : kEveryMode) {
            for (const auto& size : sizes) {
                PixelBuffer target(size[0], size[1], bytesPerPixel);
                ASSERT_TRUE(resample(source.view, target.view, mode));
                for (int y = 0; y < size[1]; ++y) {
                    for (int x = 0; x < size[0]; ++x) {
                        ASSERT_TRUE(std::equal(colour, colour + bytesPerPixel, target.at(x, y)))
                            << "mode " << mode << " to " << size[0] << "x" << size[1];
                    }
                }
            }
        }
    }
}

// A one-pixel checkerboard shrunk by 3.2: a proper filter sees an even grey, a filter that only
// looks at a few source pixels per target pixel sees stripes of black and white.
TEST(ResamplerTest, ShrinkingAFineCheckerboardAveragesOnlyWithPrefilteringModes) {
    PixelBuffer source(64, 64, 3);
    fillCheckerboard(source);
    struct Case {
        int mode;
        bool averages;
    };
    const Case cases[] = {{7, true}, {2, true}, {6, true}, {5, false}, {3, false}, {4, false}};
    for (const Case& c : cases) {
        PixelBuffer target(20, 20, 3);
        ASSERT_TRUE(resample(source.view, target.view, c.mode));
        int lowest = 255;
        int highest = 0;
        for (std::uint8_t value : target.bytes) {
            lowest = std::min<int>(lowest, value);
            highest = std::max<int>(highest, value);
        }
        if (c.averages) {
            EXPECT_GE(lowest, 120) << "mode " << c.mode;
            EXPECT_LE(highest, 135) << "mode " << c.mode;
        } else {
            EXPECT_GE(highest - lowest, 100) << "mode " << c.mode;
        }
    }
}

// Squashing a million rows into one makes the vertical kernel a million rows wide; the scaler must
// still get by with a few rows of working memory rather than one buffered row per kernel tap.
TEST(ResamplerTest, AThinTargetOfAVeryTallPictureAveragesEveryRow) {
    PixelBuffer source(2, 1000000, 3);
    for (int y = 0; y < source.view.height; ++y) {
        std::fill_n(source.at(0, y), 6, y % 2 ? 255 : 0);
    }
    PixelBuffer target(2000, 1, 3);
    ASSERT_TRUE(resample(source.view, target.view, 7));
    const auto [lowest, highest] = std::minmax_element(target.bytes.begin(), target.bytes.end());
    EXPECT_GE(*lowest, 126);
    EXPECT_LE(*highest, 129);
}

// Straight alpha: the fourth byte is filtered on its own and never changes the colour bytes.
TEST(ResamplerTest, ColourChannelsAreTheSameWithOrWithoutAnAlphaByte) {
    PixelBuffer colour(29, 23, 3);
    fillNoise(colour, 7);
    PixelBuffer withAlpha(29, 23, 4);
    fillNoise(withAlpha, 8);
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 29; ++x) {
            std::copy_n(colour.at(x, y), 3, withAlpha.at(x, y));
        }
    }
    for (int mode : kEveryMode) {
        for (const auto& size : {std::pair{11, 9}, std::pair{70, 41}, std::pair{29, 5}}) {
            PixelBuffer colourOut(size.first, size.second, 3);
            PixelBuffer alphaOut(size.first, size.second, 4);
            ASSERT_TRUE(resample(colour.view, colourOut.view, mode));
            ASSERT_TRUE(resample(withAlpha.view, alphaOut.view, mode));
            for (int y = 0; y < size.second; ++y) {
                for (int x = 0; x < size.first; ++x) {
                    ASSERT_TRUE(
                        std::equal(colourOut.at(x, y), colourOut.at(x, y) + 3, alphaOut.at(x, y)))
                        << "mode " << mode << " pixel " << x << "," << y;
                }
            }
        }
    }
}

// Catmull-Rom reproduces straight ramps, so an enlarged ramp stays a ramp away from the borders.
TEST(ResamplerTest, BicubicEnlargementKeepsARampStraight) {
    PixelBuffer source(16, 1, 3);
    for (int x = 0; x < 16; ++x) {
        std::fill_n(source.at(x, 0), 3, 10 + 15 * x);
    }
    PixelBuffer target(64, 1, 3);
    ASSERT_TRUE(resample(source.view, target.view, 7));
    for (int x = 8; x < 56; ++x) {
        const double sourceX = (x + 0.5) / 4.0 - 0.5;
        EXPECT_NEAR(target.at(x, 0)[1], 10 + 15 * sourceX, 0.51) << x;
    }
}

// The wide kernels sum the horizontal taps in another order, so a pixel may round the other way,
// never more. Odd widths and sizes below a vector's width reach every tail of the wide loops.
TEST(ResamplerTest, Avx2KernelsGiveTheBaselinePictureWithinOneStep) {
    const ResampleRowKernels* avx2 = avx2RowKernels();
    if (avx2 == nullptr) {
        GTEST_SKIP() << "this processor lacks AVX2";
    }
    const int sizes[][2] = {{1, 1}, {3, 2}, {47, 33}, {120, 91}, {301, 7}, {16, 200}};
    for (int bytesPerPixel : {3, 4}) {
        PixelBuffer source(53, 41, bytesPerPixel, 3);
        fillNoise(source, 21);
        for (int mode : kEveryMode) {
            for (const auto& size : sizes) {
                PixelBuffer baseline(size[0], size[1], bytesPerPixel);
                PixelBuffer wide(size[0], size[1], bytesPerPixel, 5);
                ASSERT_TRUE(resampleWith(source.view, baseline.view, mode, baselineRowKernels()));
                ASSERT_TRUE(resampleWith(source.view, wide.view, mode, *avx2));
                int largest = 0;
                for (int y = 0; y < size[1]; ++y) {
                    for (int x = 0; x < size[0]; ++x) {
                        for (int c = 0; c < bytesPerPixel; ++c) {
                            largest = std::max(largest,
                                               std::abs(baseline.at(x, y)[c] - wide.at(x, y)[c]));
                        }
                    }
                }
                EXPECT_LE(largest, 1) << bytesPerPixel << " bytes, mode " << mode << " to "
                                      << size[0] << "x" << size[1];
            }
        }
    }
}

TEST(ResamplerTest, RefusesWhatItCannotScaleAndLeavesTheTargetAlone) {
    PixelBuffer source(8, 8, 4);
    fillNoise(source, 3);
    PixelView empty{};
    PixelBuffer twoBytes(4, 4, 2);
    struct Case {
        const char* what;
        const PixelView& from;
        int targetBytes;
        int mode;
    };
    const Case cases[] = {
        {"unknown mode", source.view, 4, 8},          {"negative mode", source.view, 4, -1},
        {"depth mismatch", source.view, 3, 7},        {"empty source", empty, 4, 7},
        {"two bytes per pixel", twoBytes.view, 2, 5},
    };
    for (const Case& c : cases) {
        PixelBuffer target(4, 4, c.targetBytes);
        std::fill(target.bytes.begin(), target.bytes.end(), 42);
        EXPECT_FALSE(resample(c.from, target.view, c.mode)) << c.what;
        EXPECT_TRUE(std::all_of(target.bytes.begin(), target.bytes.end(), [](std::uint8_t b) {
            return b == 42;
        })) << c.what;
    }
    EXPECT_FALSE(resample(source.view, empty, 7));
}

}  // namespace
}  // namespace lumenreel
