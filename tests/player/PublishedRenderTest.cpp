#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "images/Resampler.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;
using zcd::WriterPlacement;

constexpr int kWidth = 64, kHeight = 48;

CImageExt pictureOf(int w, int h, const std::function<std::uint32_t(int, int)>& colourAt) {
    CImageExt image;
    image.create(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colourAt(x, y));
    return image;
}

std::vector<std::uint8_t> pngOf(const CImageExt& image) {
    std::vector<std::uint8_t> png;
    EXPECT_TRUE(encodePng(image, png));
    return png;
}

// Pixel values are B | G << 8 | R << 16; stored colours are R | G << 8 | B << 16.
std::uint32_t pixelOfColour(std::uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// One colour byte blended as stored pictures expect: truncated single-precision weights.
std::uint8_t mix(std::uint32_t source, std::uint32_t destination, int alpha) {
    float a = static_cast<float>(alpha) / 255.0f;
    return static_cast<std::uint8_t>(
        static_cast<int>(a * static_cast<float>(source)) +
        static_cast<int>((1.0f - a) * static_cast<float>(destination)));
}

// Blends a w × h overlay whose pixels colourAt gives (nothing: transparent) at (left, top).
void blendExpected(CImageExt& frame, int left, int top, int w, int h, int alpha,
                   const std::function<std::optional<std::uint32_t>(int, int)>& colourAt) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto colour = colourAt(x, y);
            int fx = left + x, fy = top + y;
            if (!colour || fx < 0 || fy < 0 || fx >= frame.width() || fy >= frame.height())
                continue;
            std::uint32_t under = frame.pixel(fx, fy), over = *colour, result = 0xFF000000;
            for (int shift : {0, 8, 16})
                result |= std::uint32_t{mix((over >> shift) & 0xFF, (under >> shift) & 0xFF, alpha)}
                          << shift;
            frame.setPixel(fx, fy, result);
        }
}

// A rectangle outline `inside` pixels thick along the inner edge of a w × h box, filled or not.
std::function<std::optional<std::uint32_t>(int, int)> ringOf(int w, int h, int inside,
                                                             std::uint32_t frame,
                                                             std::optional<std::uint32_t> fill) {
    return [=](int x, int y) -> std::optional<std::uint32_t> {
        bool ring = x < inside || y < inside || x >= w - inside || y >= h - inside;
        return ring ? std::optional(frame) : fill;
    };
}

// Three 2 s frames of a 64 × 48 demo with a master highlight fading in over the whole movie, an
// image over a fading highlight on the second frame, a fading caption picture on the third and a
// mask cursor moving from the first frame's position to the second's.
class PublishedRenderTest : public ::testing::Test {
protected:
    PublishedRenderTest() {
        for (int i = 0; i < 3; ++i)
            pictures.push_back(pictureOf(kWidth, kHeight, [i](int x, int y) {
                return static_cast<std::uint32_t>((x * 4 + i * 60) | (y * 5) << 8 |
                                                  ((x + y + i * 30) & 0xFF) << 16);
            }));
        gradient = pictureOf(12, 8, [](int x, int y) {
            return static_cast<std::uint32_t>(x * 20 | (y * 30) << 8 | 0x80 << 16);
        });
        captionPicture = pictureOf(10, 6, [](int x, int y) -> std::uint32_t {
            if (y >= 2 && y < 4 && x >= 3 && x < 7)
                return 0x000000;
            if (x < 2)
                return 0xFF2010;
            return 0xFFFFFF;
        });
        cursorMask = pictureOf(3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0 : 0xFFFFFF; });
        cursorColour =
            pictureOf(3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0x00FF00 : 0x000080; });

        for (int i = 0; i < 3; ++i)
            content.frames.push_back({{10 + i, 2.0f, 0.5f, 1.5f}, &pictures[i]});
        content.masterFrameId = 9;
        content.poolPictures = {pngOf(gradient)};
        content.images.push_back({0, 1, {5, 5, 17, 13}});
        content.imagePlacements.push_back(placement(1, 11, 1, 0.25f, 1));
        content.highlights.push_back({2, {10, 8, 30, 28}, 0x0000FF, 0xFFFFFF, 2.0f, false});
        WriterPlacement fadeIn = placement(NKWXDecodersEncoders::kFadeIn, 11, 2, 0.0f, 0);
        fadeIn.timing = {1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
        content.highlightPlacements.push_back(fadeIn);
        content.highlights.push_back({3, {40, 30, 60, 45}, 0xFFFFFF, 0x123456, 3.0f, true});
        WriterPlacement master = placement(NKWXDecodersEncoders::kFadeIn, 9, 3, 0.5f, 0, 6.0f);
        master.timing = {4.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
        content.highlightPlacements.push_back(master);
        content.captionsAreImages = true;
        content.captionImages = {pngOf(captionPicture)};
        content.captions.push_back({});
        content.captions.back().id = 4;
        content.captions.back().rect = {2, 30, 12, 36};
        WriterPlacement fadeOut = placement(NKWXDecodersEncoders::kFadeOut, 12, 4, 0.0f, 0);
        fadeOut.timing = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
        content.captionPlacements.push_back(fadeOut);
        content.cursors.push_back({{0, 0}, pngOf(cursorMask), pngOf(cursorColour)});
        content.cursorPlacements = {{0, 10, false, 10, 30}, {0, 11, true, 50, 30}};

        std::string error;
        auto file = zcd::writeZcd(content, error);
        EXPECT_TRUE(file) << error;
        EXPECT_TRUE(reader.Load(*file)) << reader.lastError();
        source.SetReader(&reader);
    }

    static WriterPlacement placement(int kind, int frame, int object, float transparency, int order,
                                     float end = 2.0f) {
        WriterPlacement p;
        p.kind = kind;
        p.frameId = frame;
        p.objectId = object;
        p.transparency = transparency;
        p.end = end;
        p.order = order;
        return p;
    }

    // The moment t as drawn independently of the player: background, master highlight at movie
    // time, the frame's overlays by order at local time, then the cursor.
    CImageExt expectedAt(int frame, float local, float movieTime,
                         std::optional<zcd::Point> cursor) const {
        CImageExt expected;
        expected.from24(pictures[frame], false);
        float masterFade = movieTime < 4.0f ? movieTime / 4.0f : 0.5f;
        blendExpected(expected, 40, 30, 20, 15, static_cast<int>(masterFade * 255.0f),
                      ringOf(20, 15, 2, 0xFEFEFE, std::nullopt));
        if (frame == 1) {
            float fade = local <= 1.0f ? local : 1.0f;
            blendExpected(expected, 10, 8, 20, 20, static_cast<int>(fade * 255.0f),
                          ringOf(20, 20, 1, pixelOfColour(0x0000FF), 0xFEFEFE));
            blendExpected(expected, 5, 5, 12, 8, static_cast<int>(0.75f * 255.0f),
                          [&](int x, int y) { return gradient.pixel(x, y) & 0xFFFFFF; });
        }
        if (frame == 2 && local < 2.0f) {
            float fade = local >= 1.0f ? 1.0f - (local - 1.0f) : 1.0f;
            blendExpected(expected, 2, 30, 10, 6, static_cast<int>(fade * 255.0f),
                          [&](int x, int y) -> std::optional<std::uint32_t> {
                              std::uint32_t c = captionPicture.pixel(x, y) & 0xFFFFFF;
                              if (c == 0xFFFFFF)
                                  return std::nullopt;
                              return c;
                          });
        }
        if (!cursor)
            return expected;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                std::uint32_t under = expected.pixel(cursor->x + x, cursor->y + y);
                std::uint32_t drawn = (under & cursorMask.pixel(x, y)) ^ cursorColour.pixel(x, y);
                expected.setPixel(cursor->x + x, cursor->y + y, (drawn & 0xFFFFFF) | 0xFF000000);
            }
        return expected;
    }

    std::vector<CImageExt> pictures;
    CImageExt gradient, captionPicture, cursorMask, cursorColour;
    zcd::ZcdContent content;
    CExternalFormatReader reader;
    CDocImp source;
};

TEST_F(PublishedRenderTest, WholeFramesMatchAnIndependentComposition) {
    struct Case {
        float t;
        int frame;
        std::optional<zcd::Point> cursor;
    };
    // Straight move from (10, 30) to (50, 30) between 0.5 s and 1.5 s of the first frame; the
    // second frame's cursor stays, having no next cursor to go to; the third frame has none.
    const Case cases[] = {{0.25f, 0, zcd::Point{10, 30}}, {1.0f, 0, zcd::Point{30, 30}},
                          {1.75f, 0, zcd::Point{50, 30}}, {2.5f, 1, zcd::Point{50, 30}},
                          {3.0f, 1, zcd::Point{50, 30}},  {5.5f, 2, std::nullopt},
                          {6.0f, 2, std::nullopt}};
    CImageExt target;
    ASSERT_TRUE(target.create(kWidth, kHeight, 32));
    for (const Case& c : cases) {
        ASSERT_TRUE(source.RenderAt(c.t, target)) << c.t;
        float local = c.t - 2.0f * static_cast<float>(c.frame);
        CImageExt expected = expectedAt(c.frame, local, c.t, c.cursor);
        EXPECT_EQ(target.countDifferences(expected, 0, 0, kWidth, kHeight, 0, 0), 0)
            << "at t = " << c.t;
        EXPECT_TRUE(target.equals(expected)) << "at t = " << c.t;
    }
}

TEST_F(PublishedRenderTest, ABitmapOfAnotherSizeHoldsTheWholeMomentStretched) {
    content.bitmapSize = {kWidth * 2, kHeight * 2};
    std::string error;
    auto file = zcd::writeZcd(content, error);
    ASSERT_TRUE(file) << error;
    CExternalFormatReader large;
    ASSERT_TRUE(large.Load(*file)) << large.lastError();
    CDocImp largeSource;
    largeSource.SetReader(&large);
    ASSERT_EQ(largeSource.BitmapSize(), (zcd::Size{kWidth * 2, kHeight * 2}));

    CImageExt target;
    ASSERT_TRUE(target.create(kWidth * 2, kHeight * 2, 32));
    ASSERT_TRUE(largeSource.RenderAt(3.0f, target));
    CImageExt expected;
    ASSERT_TRUE(expected.create(kWidth * 2, kHeight * 2, 32));
    resample(expectedAt(1, 1.0f, 3.0f, zcd::Point{50, 30}).view(), expected.view(),
             CImageExt::kHighQualityBicubic);
    EXPECT_TRUE(target.equals(expected));
    EXPECT_NE(target.pixel(kWidth * 2 - 1, kHeight * 2 - 1) & 0xFFFFFF, 0u)
        << "the far corner shows the picture, not black";
}

// Image objects are blended whole: unlike keyed overlays, their black pixels are drawn.
TEST_F(PublishedRenderTest, ImageObjectsDrawTheirBlackPixels) {
    content.poolPictures = {pngOf(pictureOf(12, 8, [](int, int) { return 0x000000; }))};
    std::string error;
    auto file = zcd::writeZcd(content, error);
    ASSERT_TRUE(file) << error;
    CExternalFormatReader black;
    ASSERT_TRUE(black.Load(*file)) << black.lastError();
    CDocImp blackSource;
    blackSource.SetReader(&black);
    CImageExt target, expected;
    ASSERT_TRUE(target.create(kWidth, kHeight, 32));
    ASSERT_TRUE(blackSource.RenderAt(2.5f, target));
    expected.from24(pictures[1], false);
    blendExpected(expected, 5, 5, 12, 8, static_cast<int>(0.75f * 255.0f),
                  [](int, int) { return std::optional<std::uint32_t>(0); });
    // Outside the highlight fading in below it.
    for (zcd::Point at : {zcd::Point{5, 5}, zcd::Point{9, 12}, zcd::Point{16, 7}})
        EXPECT_EQ(target.pixel(at.x, at.y), expected.pixel(at.x, at.y)) << at.x << "," << at.y;
}

// Order n draws the first placement of order n; an order below 0 or at or past the count draws
// nothing.
TEST_F(PublishedRenderTest, ThePlacementOrderDecidesWhatIsDrawn) {
    struct Case {
        const char* name;
        std::vector<std::int32_t> orders;  // of a red and a blue highlight, in that order
        std::uint32_t shown;               // at their common centre
    };
    const std::uint32_t background = pictures[0].pixel(25, 25) & 0xFFFFFF;
    const Case cases[] = {{"the first of two with order 0", {0, 0}, 0xFF0000},
                          {"the lower order under the higher", {1, 0}, 0xFF0000},
                          {"the order of the count", {1}, background},
                          {"a negative order", {-1}, background}};
    for (const Case& c : cases) {
        zcd::ZcdContent frameOnly = content;
        for (std::size_t i = 0; i < c.orders.size(); ++i) {
            std::int32_t id = 20 + static_cast<std::int32_t>(i);
            frameOnly.highlights.push_back(
                {id, {20, 20, 30, 30}, 0x000000, i == 0 ? 0x0000FFu : 0xFF0000u, 1.0f, false});
            frameOnly.highlightPlacements.push_back(placement(0, 10, id, 0.0f, c.orders[i]));
        }
        std::string error;
        auto file = zcd::writeZcd(frameOnly, error);
        ASSERT_TRUE(file) << error;
        CExternalFormatReader ordered;
        ASSERT_TRUE(ordered.Load(*file)) << ordered.lastError();
        CDocImp orderedSource;
        orderedSource.SetReader(&ordered);
        CImageExt target;
        ASSERT_TRUE(target.create(kWidth, kHeight, 32));
        ASSERT_TRUE(orderedSource.RenderAt(1.0f, target));
        EXPECT_EQ(target.pixel(25, 25) & 0xFFFFFF, c.shown) << c.name;
    }
}

TEST_F(PublishedRenderTest, ACursorWhoseBitmapsDoNotFitIsLeftOutOfTheMoment) {
    content.cursors[0].colourFile = pngOf(pictureOf(4, 4, [](int, int) { return 0x00FF00; }));
    std::string error;
    auto file = zcd::writeZcd(content, error);
    ASSERT_TRUE(file) << error;
    CExternalFormatReader broken;
    ASSERT_TRUE(broken.Load(*file)) << broken.lastError();
    ASSERT_FALSE(broken.skipped().empty());
    EXPECT_EQ(broken.skipped().front(), "cursor 0 has no usable bitmaps");
    CDocImp brokenSource;
    brokenSource.SetReader(&broken);

    CImageExt target;
    ASSERT_TRUE(target.create(kWidth, kHeight, 32));
    ASSERT_TRUE(brokenSource.RenderAt(1.0f, target));
    EXPECT_TRUE(target.equals(expectedAt(0, 1.0f, 1.0f, std::nullopt)));
}

TEST_F(PublishedRenderTest, SourceAnswersFromTheReader) {
    EXPECT_TRUE(source.IsLoaded());
    EXPECT_EQ(source.FrameCount(), 3);
    EXPECT_FLOAT_EQ(source.Duration(), 6.0f);
    EXPECT_EQ(source.FrameAtTime(0.0f), 0);
    EXPECT_EQ(source.FrameAtTime(2.0f), 0);  // a frame lasts up to and including its end
    EXPECT_EQ(source.FrameAtTime(2.01f), 1);
    EXPECT_EQ(source.FrameAtTime(6.0f), 2);
    EXPECT_EQ(source.FrameAtTime(7.0f), 2);
    EXPECT_FLOAT_EQ(source.FrameStartTime(2), 4.0f);
    EXPECT_EQ(source.DisplaySize(), (zcd::Size{kWidth, kHeight}));
    EXPECT_EQ(source.BitmapSize(), (zcd::Size{kWidth, kHeight}));
}

TEST_F(PublishedRenderTest, NoDocumentIsNoMovie) {
    source.SetDocument(nullptr);
    EXPECT_FALSE(source.IsLoaded());
    EXPECT_TRUE(source.IsEmpty());
    EXPECT_EQ(source.GetReader(), nullptr);
    EXPECT_FLOAT_EQ(source.Duration(), 0.0f);
    CImageExt target;
    target.create(kWidth, kHeight, 32);
    EXPECT_FALSE(source.RenderAt(1.0f, target));
}

}  // namespace
}  // namespace lumenreel::test
