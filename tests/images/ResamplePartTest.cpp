#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "images/PixelBuffer.h"
#include "images/Resampler.h"

namespace lumenreel {
namespace {

using test::PixelBuffer;

void fillNoise(PixelBuffer& picture, const Rect& part, std::mt19937& random) {
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            for (int c = 0; c < picture.view.bytesPerPixel; ++c) {
                picture.at(x, y)[c] = static_cast<std::uint8_t>(random());
            }
        }
    }
}

struct Scale {
    Size source;
    Size target;
};

// Enlarging across more than one strip of columns, shrinking, both at once, and the same size.
const Scale kScales[] = {
    {{150, 40}, {610, 90}}, {{610, 90}, {150, 40}}, {{97, 61}, {40, 200}},
    {{64, 48}, {64, 48}},   {{300, 20}, {7, 3}},
};

struct Change {
    const char* name;
    std::vector<Rect> parts;  // past a smaller source's far edges, moved in to end on them
};

const Change kChanges[] = {
    {"cursor", {{30, 10, 42, 29}}},
    {"pixel", {{5, 5, 6, 6}}},
    {"top-left corner", {{0, 0, 3, 2}}},
    {"bottom-right corner", {{1000 - 4, 1000 - 3, 1000, 1000}}},
    {"left and right edges", {{0, 4, 1, 30}, {1000 - 1, 0, 1000, 12}}},
    {"several", {{3, 2, 20, 9}, {40, 15, 41, 40}, {12, 30, 90, 33}}},
    {"whole frame", {{0, 0, 1000, 1000}}},
};

Rect placed(const Rect& part, Size size) {
    const int width = std::min(static_cast<int>(part.width()), size.width);
    const int height = std::min(static_cast<int>(part.height()), size.height);
    const int left = std::min(part.left, size.width - width);
    const int top = std::min(part.top, size.height - height);
    return {left, top, left + width, top + height};
}

// A picture resampled in full, then brought up to date by resampling only what the changes reach,
// must be byte for byte the full resample of the changed source.
TEST(ResamplePartTest, UpdatingWhatChangesReachGivesTheFullResample) {
    std::mt19937 random(22);
    for (int bytesPerPixel : {3, 4}) {
        for (int mode : {1, 5, 7}) {
            for (const Scale& scale : kScales) {
                for (const Change& change : kChanges) {
                    SCOPED_TRACE(testing::Message()
                                 << change.name << ", mode " << mode << ", " << bytesPerPixel
                                 << " bytes, " << scale.source.width << "x" << scale.source.height
                                 << " to " << scale.target.width << "x" << scale.target.height);
                    const Size from = scale.source, to = scale.target;
                    PixelBuffer source(from.width, from.height, bytesPerPixel, 2);
                    fillNoise(source, {0, 0, from.width, from.height}, random);
                    PixelBuffer updated(to.width, to.height, bytesPerPixel, 1);
                    ASSERT_TRUE(resample(source.view, updated.view, mode));

                    const ResampleReach reach(from, to, mode);
                    std::vector<Rect> sourceParts;
                    for (const Rect& part : change.parts) {
                        sourceParts.push_back(placed(part, from));
                        fillNoise(source, sourceParts.back(), random);
                    }
                    for (const Rect& part : sourceParts) {
                        ASSERT_TRUE(
                            resamplePart(source.view, updated.view, mode, reach.targetOf(part)));
                    }
                    PixelBuffer full(to.width, to.height, bytesPerPixel, 1);
                    ASSERT_TRUE(resample(source.view, full.view, mode));
                    for (int y = 0; y < to.height; ++y) {
                        ASSERT_TRUE(
                            std::equal(full.at(0, y), full.at(to.width, y), updated.at(0, y)))
                            << "row " << y;
                    }
                }
            }
        }
    }
}

// The update is worth doing only if a small change reaches a small part.
TEST(ResamplePartTest, ACursorSizedChangeReachesOnlyItsNeighbourhood) {
    const ResampleReach reach({1024, 768}, {1920, 1080}, 7);
    const Rect part = reach.targetOf({500, 400, 532, 432});
    // 32 source pixels are 60 target pixels (56.25 rows); the kernel adds about 4 either side.
    EXPECT_GE(part.left, 500 * 1920 / 1024 - 8);
    EXPECT_LE(part.right, 532 * 1920 / 1024 + 8);
    EXPECT_GE(part.top, 400 * 1080 / 768 - 8);
    EXPECT_LE(part.bottom, 432 * 1080 / 768 + 8);
    EXPECT_EQ(reach.targetOf({10, 10, 10, 20}), Rect{});
}

}  // namespace
}  // namespace lumenreel
