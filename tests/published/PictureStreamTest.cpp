#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "DemoPictures.h"
#include "published/ImageSequenceDecoder.h"
#include "published/PackedData.h"
#include "published/PictureStreamEncoder.h"
#include "published/ZcdPrimitives.h"

using lumenreel::test::noisePictures;
using lumenreel::test::samePixels;
using lumenreel::test::screenPictures;
using lumenreel::zcd::PictureStreamOptions;
using lumenreel::zcd::PictureStreamStats;
using NKWXDecodersEncoders::CImageSequenceDecoder;
using Form = PictureStreamOptions::PixelForm;

namespace {

std::vector<std::uint8_t> encode(const std::vector<CImageExt>& pictures,
                                 const PictureStreamOptions& options,
                                 PictureStreamStats* stats = nullptr) {
    std::vector<const CImageExt*> pointers;
    for (const auto& p : pictures)
        pointers.push_back(&p);
    std::string error;
    auto stream = lumenreel::zcd::encodePictureStream(pointers, options, error, stats);
    EXPECT_TRUE(stream) << error;
    return stream.value_or(std::vector<std::uint8_t>{});
}

// Asks for every picture in the given order and compares it with the original.
void expectComposes(CImageSequenceDecoder& decoder, const std::vector<CImageExt>& pictures,
                    const std::vector<int>& order) {
    CImageExt out;
    for (int i : order) {
        ASSERT_TRUE(decoder.GetPicture(out, i));
        ASSERT_TRUE(samePixels(out, pictures[i])) << "picture " << i;
    }
}

std::vector<int> scrambled(int count, unsigned seed) {
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    return order;
}

struct RoundTripCase {
    const char* name;
    bool screen;
    int colours;  // noise only
    Form form;
    int keyInterval;
    int expectedBits;
};

class PictureStreamRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(PictureStreamRoundTrip, ComposesEveryPictureInAnyOrder) {
    const auto& c = GetParam();
    auto pictures =
        c.screen ? screenPictures(23, 300, 220) : noisePictures(23, 75, 53, c.colours, 7);
    PictureStreamOptions options;
    options.pixelForm = c.form;
    options.keyInterval = c.keyInterval;
    PictureStreamStats stats;
    auto stream = encode(pictures, options, &stats);
    EXPECT_EQ(stats.bitsPerPixel, c.expectedBits);

    for (unsigned seed : {1u, 2u}) {
        CImageSequenceDecoder decoder;
        ASSERT_TRUE(decoder.Load(stream)) << decoder.lastError();
        ASSERT_EQ(decoder.GetPictureCount(), 23);
        expectComposes(decoder, pictures, scrambled(23, seed));
    }
    CImageSequenceDecoder inOrder;
    ASSERT_TRUE(inOrder.Load(stream));
    std::vector<int> forward(23), backward(23);
    std::iota(forward.begin(), forward.end(), 0);
    std::reverse_copy(forward.begin(), forward.end(), backward.begin());
    expectComposes(inOrder, pictures, forward);
    expectComposes(inOrder, pictures, backward);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PictureStreamRoundTrip,
    testing::Values(RoundTripCase{"noise24_k30", false, 100000, Form::automatic, 30, 24},
                    RoundTripCase{"noise24_k1", false, 100000, Form::automatic, 1, 24},
                    RoundTripCase{"noise24_k4", false, 100000, Form::automatic, 4, 24},
                    RoundTripCase{"noisePalette_k5", false, 200, Form::automatic, 5, 8},
                    RoundTripCase{"noisePalette3_k7", false, 3, Form::automatic, 7, 2},
                    RoundTripCase{"noiseForced24_k5", false, 200, Form::bgr24, 5, 24},
                    RoundTripCase{"screen_k30", true, 0, Form::bgr24, 30, 24},
                    RoundTripCase{"screenPalette_k6", true, 0, Form::automatic, 6, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureStreamEncoder, ScreenCapturesUseEveryPlacementList) {
    auto pictures = screenPictures(12, 300, 220);
    PictureStreamStats stats;
    encode(pictures, {}, &stats);
    EXPECT_EQ(stats.fullPictures, 1);
    EXPECT_GT(stats.listA, 0);  // repeated icons and text pieces
    EXPECT_GT(stats.listB, 0);  // unchanged desktop
    EXPECT_GT(stats.listC, 0);  // scrolled text
    EXPECT_GT(stats.smallTiles + stats.largeTiles, 0);

    PictureStreamOptions plain;
    plain.reuseTiles = false;
    plain.detectScrolling = false;
    PictureStreamStats plainStats;
    auto plainStream = encode(pictures, plain, &plainStats);
    EXPECT_EQ(plainStats.listA + plainStats.listC, 0);
    CImageSequenceDecoder decoder;
    ASSERT_TRUE(decoder.Load(plainStream)) << decoder.lastError();
    expectComposes(decoder, pictures, scrambled(12, 3));
}

TEST(PictureStreamEncoder, RefusesWhatTheFormatCannotHold) {
    std::string error;
    CImageExt a, b;
    a.create(10, 10, 24);
    b.create(11, 10, 24);
    std::vector<const CImageExt*> mixed{&a, &b};
    EXPECT_FALSE(lumenreel::zcd::encodePictureStream(mixed, {}, error));
    auto noisy = noisePictures(2, 40, 40, 100000, 1);
    std::vector<const CImageExt*> many{&noisy[0], &noisy[1]};
    PictureStreamOptions palette;
    palette.pixelForm = Form::palette;
    EXPECT_FALSE(lumenreel::zcd::encodePictureStream(many, palette, error));
    EXPECT_EQ(error, "pictures use more than 256 colours");
}

// A stream built by hand: picture 0 is the only full picture (palette indexes); every later
// picture first copies all of picture 0 with list B, then gets one small tile of its own.
std::vector<std::uint8_t> copyOfPictureZeroStream(int count, int keyInterval) {
    const int w = 6, h = 4;
    lumenreel::zcd::ZcdOut head, body;
    head.string("ZCE");
    head.i32(0x00010001);
    head.u8(8);
    head.i32(keyInterval);
    head.i32(count);
    head.i32(1);
    head.i32(w);
    head.i32(h);
    for (int i = 0; i < 256; ++i)
        body.bytes(std::vector<std::uint8_t>{std::uint8_t(i), 0, 0, 0});
    body.i32(1);
    body.i32(0);
    for (int i = 0; i < w * h; ++i)
        body.u8(static_cast<std::uint8_t>(i));
    body.i32(count - 1);  // tiles, all small
    body.i32(count - 1);
    for (int p = 1; p < count; ++p) {
        body.u16(static_cast<std::uint16_t>(p));
        body.i32(1);
        for (int v : {p % w, 1, 1, 1})
            body.u8(static_cast<std::uint8_t>(v));
    }
    body.i32(0);
    body.i32(0);  // list A short
    body.i32(0);
    body.i32(0);  // list A long
    body.i32(count - 1);
    for (int p = 1; p < count; ++p) {
        body.u16(static_cast<std::uint16_t>(p));
        body.i32(1);
        body.i32(0);
        for (int v : {0, 0, w, h})
            body.u16(static_cast<std::uint16_t>(v));
    }
    body.i32(0);  // list C
    for (int p = 1; p < count; ++p)
        body.u8(static_cast<std::uint8_t>(200 + p));
    auto stream = head.take();
    auto packed = lumenreel::zcd::deflatePacked(body.data());
    stream.insert(stream.end(), packed.begin(), packed.end());
    return stream;
}

TEST(ImageSequenceDecoder, PicturesThatStartWithACopyOfPictureZero) {
    const int count = 9;
    for (int keyInterval : {30, 4}) {
        auto stream = copyOfPictureZeroStream(count, keyInterval);
        CImageSequenceDecoder decoder;
        ASSERT_TRUE(decoder.Load(stream)) << decoder.lastError();
        for (int i : {5, 0, 8, 1, 4, 4, 7, 2}) {
            CImageExt out;
            ASSERT_TRUE(decoder.GetPicture(out, i));
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x) {
                    int index = (i > 0 && y == 1 && x == i % 6) ? 200 + i : y * 6 + x;
                    ASSERT_EQ(out.pixel(x, y) & 0xFFFFFF, static_cast<std::uint32_t>(index))
                        << "picture " << i << " at " << x << "," << y;
                }
        }
        EXPECT_FALSE(decoder.GetPicture(*std::make_unique<CImageExt>(), count));
        // Node ids: pictures, one unused id, the full-picture record's id, then the tiles.
        EXPECT_EQ(decoder.FindNode(3)->pictureIndex, 3);
        EXPECT_EQ(decoder.FindNode(count), nullptr);
        EXPECT_EQ(decoder.FindNode(count + 2)->pictureIndex, 1);
        EXPECT_EQ(decoder.FindNode(count + 2 + count - 1), nullptr);
    }
}

TEST(ImageSequenceDecoder, TracesHeaderAndSectionCounts) {
    std::string log;
    CImageSequenceDecoder decoder;
    decoder.SetTraceLog([&](std::string_view line) { log += line; });
    ASSERT_TRUE(decoder.Load(copyOfPictureZeroStream(5, 30)));
    for (const char* line :
         {"keyframe interval: 30\r\n", "num_all_images: 5\r\n", "resx: 6\r\n", "resy: 4\r\n",
          "version: 65537\r\n", "bpp: 8\r\n", "num full images: 1\r\n", "Num all small nodes:4\r\n",
          "Num all large nodes:0\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_NE(log.find("after decode size: "), std::string::npos);
}

TEST(ImageSequenceDecoder, EveryTruncationFailsCleanly) {
    auto pictures = screenPictures(4, 64, 48);
    PictureStreamOptions options;
    options.keyInterval = 2;
    auto stream = encode(pictures, options);
    for (std::size_t cut = 0; cut < stream.size(); ++cut) {
        CImageSequenceDecoder decoder;
        EXPECT_FALSE(decoder.Load(std::span(stream).first(cut))) << "cut at " << cut;
        EXPECT_FALSE(decoder.lastError().empty());
    }
}

// Inflated-body damage: a tile outside its picture and groups that overrun their total refuse
// the stream before any pixel is drawn; a placement naming a later picture is left out.
TEST(ImageSequenceDecoder, RefusesInconsistentBodies) {
    auto good = copyOfPictureZeroStream(3, 30);
    CImageSequenceDecoder probe;
    ASSERT_TRUE(probe.Load(good));
    std::string reason;
    // The packed part follows the codec name (4 + 1 + 3 bytes), six int32 and a byte.
    const std::size_t headSize = 8 + 1 + 4 * 6;
    auto body = *lumenreel::zcd::inflatePacked(std::span(good).subspan(headSize), 1 << 20, reason);
    const std::size_t listB = 1024 + 4 + 4 + 24 + 8 + 2 * (6 + 4) + 4 + 4 + 4 + 4 + 4;
    struct Damage {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
        const char* error;
    };
    for (const auto& d : {Damage{"copy of a later picture", listB + 6, 2, nullptr},
                          Damage{"tile outside", 1024 + 4 + 4 + 24 + 8 + 6, 6, "tile outside"},
                          Damage{"group overrun", listB + 2, 3, "exceed"}}) {
        auto damaged = body;
        damaged[d.offset] = d.value;
        std::vector<std::uint8_t> stream(good.begin(), good.begin() + headSize);
        auto packed = lumenreel::zcd::deflatePacked(damaged);
        stream.insert(stream.end(), packed.begin(), packed.end());
        CImageSequenceDecoder decoder;
        if (!d.error) {
            ASSERT_TRUE(decoder.Load(stream)) << d.name << ": " << decoder.lastError();
            ASSERT_EQ(decoder.skipped().size(), 1u) << d.name;
            EXPECT_NE(decoder.skipped().front().find("list B entry of picture 1 names nothing"),
                      std::string::npos)
                << decoder.skipped().front();
            continue;
        }
        EXPECT_FALSE(decoder.Load(stream)) << d.name;
        EXPECT_NE(decoder.lastError().find(d.error), std::string::npos)
            << d.name << ": " << decoder.lastError();
    }
}

}  // namespace
