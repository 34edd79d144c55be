#include "images/WhiteKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "images/ImageExt.h"

namespace {

// Pure white next to the colours that share two of its channels, and colours one step off white
// in each channel: a key that ignores a channel takes one of them for white.
const std::vector<std::uint32_t> kNearWhite = {0xFFFFFF, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                               0xFEFFFF, 0xFFFEFF, 0xFFFFFE, 0x000000};

// kNearWhite repeated along a row long enough for every vector width.
CImageExt rowOfNearWhites(int repeats) {
    CImageExt picture;
    picture.create(static_cast<int>(kNearWhite.size()) * repeats, 1, 32);
    for (int x = 0; x < picture.width(); ++x)
        picture.setPixel(x, 0, 0x80000000u | kNearWhite[x % kNearWhite.size()]);
    return picture;
}

TEST(WhiteKeyTest, OnlyPureWhiteBecomesTransparent) {
    CImageExt picture = rowOfNearWhites(1);
    lumenreel::keyWhite(picture);
    for (int x = 0; x < picture.width(); ++x) {
        const std::uint32_t colour = kNearWhite[x];
        EXPECT_EQ(picture.pixel(x, 0), colour == 0xFFFFFF ? 0u : 0xFF000000u | colour)
            << std::hex << colour;
    }
}

TEST(WhiteKeyTest, OtherDepthsAreLeftAlone) {
    CImageExt picture;
    picture.create(1, 1, 24);
    picture.setPixel(0, 0, 0xFFFFFF);
    lumenreel::keyWhite(picture);
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
}

// A keyed overlay as pictures are drawn: white keyed out, then blended with the whole-pixel key 0,
// or directly with the colour key white. Either way only white leaves the background, at every
// opacity and on every vector width.
TEST(WhiteKeyTest, KeyedBlendsSkipOnlyWhite) {
    const std::uint32_t background = 0xFF204060;
    for (bool keyedFirst : {true, false})
        for (int alpha : {255, 128}) {
            CImageExt overlay = rowOfNearWhites(5);
            if (keyedFirst)
                lumenreel::keyWhite(overlay);
            CImageExt target;
            target.create(overlay.width(), 1, 32);
            for (int x = 0; x < target.width(); ++x)
                target.setPixel(x, 0, background);
            overlay.blendInto(target, 0, 0, alpha, keyedFirst ? 0u : 0xFFFFFFu, keyedFirst);
            for (int x = 0; x < target.width(); ++x) {
                const std::uint32_t colour = kNearWhite[x % kNearWhite.size()];
                const std::uint32_t shown = target.pixel(x, 0);
                if (colour == 0xFFFFFF) {
                    EXPECT_EQ(shown, background) << "x " << x << " alpha " << alpha;
                    continue;
                }
                if (alpha == 255)
                    EXPECT_EQ(shown, 0xFF000000u | colour)
                        << std::hex << colour << " alpha " << std::dec << alpha;
                else
                    EXPECT_NE(shown, background) << std::hex << colour;
            }
        }
}

}  // namespace
