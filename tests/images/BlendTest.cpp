#include "images/Blend.h"

#include <cstring>

#include <gtest/gtest.h>

#include <random>

#include "ImagePatterns.h"
#include "images/BlendKernel.h"
#include "images/ImageExt.h"

namespace {

CImageExt filled(int width, int height, int bits, std::uint32_t value) {
    CImageExt image;
    image.create(width, height, bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, value);
    return image;
}

// Each colour byte through the two tables, the fourth byte of the destination kept.
std::uint32_t byTables(std::uint32_t source, std::uint32_t destination,
                       const lumenreel::BlendTables& t) {
    std::uint32_t out = destination & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned s = (source >> shift) & 0xFF, d = (destination >> shift) & 0xFF;
        out |= ((t.source[s] + t.destination[d]) & 0xFFu) << shift;
    }
    return out;
}

}  // namespace

TEST(BlendTest, TablesFollowTheSinglePrecisionFormula) {
    const auto half = lumenreel::makeBlendTables(128);
    const float a = 128.0f / 255.0f;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(half.source[i], static_cast<int>(a * static_cast<float>(i)));
        EXPECT_EQ(half.destination[i], static_cast<int>((1.0f - a) * static_cast<float>(i)));
    }
    EXPECT_EQ(half.source[255], 128);
    EXPECT_EQ(half.destination[255], 126);
}

TEST(BlendTest, EveryAlphaMatchesTheTablesForBothSourceDepths) {
    std::mt19937 random(7);
    for (int bits : {24, 32}) {
        CImageExt source = lumenreel::test::makePattern(37, 3, bits);
        CImageExt start;
        start.create(37, 3, 32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 37; ++x)
                start.setPixel(x, y, random());
        for (int alpha = 0; alpha < 256; ++alpha) {
            CImageExt target;
            start.copyTo(target);
            source.blendInto(target, 0, 0, alpha, 0xFFFFFFFF, false);
            const auto tables = lumenreel::makeBlendTables(alpha);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 37; ++x) {
                    ASSERT_EQ(target.pixel(x, y),
                              byTables(source.pixel(x, y), start.pixel(x, y), tables))
                        << "alpha " << alpha << " at " << x << "," << y << " bits " << bits;
                }
            }
        }
    }
}

TEST(BlendTest, FullAlphaCopiesAndZeroAlphaLeavesTheDestination) {
    const CImageExt source = lumenreel::test::makePattern(6, 4, 32);
    CImageExt copied = filled(6, 4, 32, 0x7F00FF00);
    source.blendInto(copied, 0, 0, 255, 0xFFFFFFFF, false);
    CImageExt untouched = filled(6, 4, 32, 0x7F00FF00);
    source.blendInto(untouched, 0, 0, 0, 0xFFFFFFFF, false);
    source.blendInto(untouched, 0, 0, 256, 0xFFFFFFFF, false);  // opacities wrap at 256
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(copied.pixel(x, y), 0x7F000000u | (source.pixel(x, y) & 0xFFFFFF));
            EXPECT_EQ(untouched.pixel(x, y), 0x7F00FF00u);
        }
    }
}

TEST(BlendTest, KeyRules) {
    struct Case {
        const char* what;
        std::uint32_t sourcePixel;
        std::uint32_t key;
        bool use32BitKey;
        bool skipped;
    };
    const Case cases[] = {
        {"colour key matches whatever the alpha", 0x12FFFFFF, 0xFFFFFF, false, true},
        {"colour key differs", 0x00FEFEFE, 0xFFFFFF, false, false},
        {"key above 0xFFFFFF skips nothing", 0xFFFFFFFF, 0xFFFFFFFF, false, false},
        {"32-bit key needs the whole pixel", 0xFFFFFFFF, 0x00FFFFFF, true, false},
        {"32-bit key zero skips keyed-out pixels", 0x00000000, 0, true, true},
        {"32-bit key zero keeps opaque black", 0xFF000000, 0, true, false},
    };
    for (const Case& c : cases) {
        const CImageExt source = filled(2, 2, 32, c.sourcePixel);
        CImageExt target = filled(3, 3, 32, 0xFF336699);
        source.blendInto(target, 1, 1, 255, c.key, c.use32BitKey);
        const std::uint32_t expected =
            c.skipped ? 0xFF336699u : (0xFF000000u | (c.sourcePixel & 0xFFFFFF));
        EXPECT_EQ(target.pixel(2, 2), expected) << c.what;
        EXPECT_EQ(target.pixel(0, 0), 0xFF336699u) << c.what;
    }
    // A 24-bit source compares its colour bytes with the key too.
    const CImageExt white24 = filled(1, 1, 24, 0xFFFFFF);
    CImageExt target = filled(1, 1, 32, 0xFF010203);
    white24.blendInto(target, 0, 0, 255, 0xFFFFFF, false);
    EXPECT_EQ(target.pixel(0, 0), 0xFF010203u);
}

TEST(BlendTest, ClipsAtEveryEdgeAndRefusesNon32BitDestinations) {
    const CImageExt source = lumenreel::test::makePattern(4, 4, 32);
    for (int offset : {-3, -1, 2, 3, 4, 100}) {
        CImageExt target = filled(4, 4, 32, 0);
        source.blendInto(target, offset, offset, 255, 0xFFFFFFFF, false);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool covered =
                    x - offset >= 0 && x - offset < 4 && y - offset >= 0 && y - offset < 4;
                const std::uint32_t expected =
                    covered ? (source.pixel(x - offset, y - offset) & 0xFFFFFF) : 0;
                ASSERT_EQ(target.pixel(x, y), expected) << offset << " " << x << "," << y;
            }
        }
    }
    CImageExt shallow = filled(4, 4, 24, 0x123456);
    source.blendInto(shallow, 0, 0, 255, 0xFFFFFFFF, false);
    EXPECT_EQ(shallow.pixel(1, 1), 0x123456u);
}

TEST(BlendTest, BlendOntoA24BitTargetGoesThroughA32BitCopy) {
    CImageExt source = filled(3, 2, 32, 0xFF0000FF);
    source.setPixel(1, 1, 0xFFFFFFFF);
    CImageExt target = filled(4, 4, 24, 0x00FF00);
    source.blendOnto(target.view(), 2, -1, 255, 0xFFFFFF, false);
    EXPECT_EQ(target.pixel(2, 0), 0x0000FFu);
    EXPECT_EQ(target.pixel(3, 0), 0x00FF00u);  // keyed white
    EXPECT_EQ(target.pixel(2, 1), 0x00FF00u);  // below the picture
    EXPECT_EQ(target.pixel(1, 0), 0x00FF00u);
    source.drawBlended(target.view(), 0, 2, 0);
    EXPECT_EQ(target.pixel(0, 2), 0x00FF00u);
}

TEST(BlendTest, EveryVectorUnitGivesTheScalarResult) {
    using lumenreel::detail::BlendUnit;
    std::mt19937 random(11);
    std::vector<std::uint8_t> source(4 * 29), start(4 * 29);
    for (auto& byte : source)
        byte = static_cast<std::uint8_t>(random());
    for (auto& byte : start)
        byte = static_cast<std::uint8_t>(random());
    std::memcpy(source.data() + 8, "\x10\x20\x30\x00", 4);  // one keyed pixel
    const lumenreel::detail::KeyTest key{0x00FFFFFF, 0x302010};
    for (int alpha : {1, 77, 128, 254}) {
        const auto sm = static_cast<std::uint16_t>(alpha * 257);
        const auto dm = static_cast<std::uint16_t>((255 - alpha) * 257);
        std::vector<std::uint8_t> expected;
        for (BlendUnit unit : {BlendUnit::scalar, BlendUnit::sse2, BlendUnit::avx2}) {
            std::vector<std::uint8_t> target = start;
            lumenreel::detail::blendRow32On(unit, source.data(), target.data(), 29, sm, dm, key);
            if (expected.empty())
                expected = target;
            else
                EXPECT_EQ(target, expected) << "alpha " << alpha;
        }
        EXPECT_EQ(std::memcmp(expected.data() + 8, start.data() + 8, 4), 0);
    }
}
