#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CaptureFixtures.h"
#include "capture/ImageEncoderCache.h"
#include "capture/ImagePNGManager.h"
#include "images/PngCodec.h"

namespace lumenreel::test {
namespace {

// A cache that counts its decodes.
class CountingCache : public CImagePNGCache {
public:
    using CImagePNGCache::CImagePNGCache;
    bool decodeInto(CImageExt& image) override {
        ++decodes;
        return CImagePNGCache::decodeInto(image);
    }
    int decodes = 0;
};

CImageExt decodeFromPng(const CKWXMemFile& file) {
    CImageExt image;
    decodePng(file.Bytes(), image);
    return image;
}

CImageExt pictureOf(std::uint32_t colour) {
    CImageExt image;
    image.create(6, 4, 24);
    fillRect(image, 0, 0, 6, 4, colour);
    return image;
}

TEST(ImagePNGManagerTest, TheOldestLoanIsTakenBackWhenEveryBitmapIsOut) {
    CImagePNGManager manager(2);
    manager.configure();
    CountingCache a(&manager), b(&manager), c(&manager);
    a.setFromImage(pictureOf(0x0000FF));
    b.setFromImage(pictureOf(0x00FF00));
    c.setFromImage(pictureOf(0xFF0000));
    EXPECT_EQ(manager.registration(a), 1);
    EXPECT_EQ(manager.registration(c), 3);

    CImageExt* forA = a.decoded();
    CImageExt* forB = b.decoded();
    ASSERT_TRUE(forA && forB);
    EXPECT_NE(forA, forB);
    EXPECT_EQ(b.decoded(), forB);  // asked twice in a row: decoded once
    EXPECT_EQ(b.decodes, 1);
    EXPECT_EQ(c.decoded(), forA);  // the third takes A's bitmap
    EXPECT_EQ(forA->pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(manager.loanOf(a), nullptr);
    EXPECT_EQ(a.decoded(), forB);  // and A, asked again, takes B's
    EXPECT_EQ(a.decodes, 2);
    EXPECT_EQ(forB->pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
}

TEST(ImagePNGManagerTest, AGivenBackBitmapIsTheFirstReused) {
    CImagePNGManager manager(2);
    manager.configure();
    CountingCache a(&manager), b(&manager), c(&manager);
    for (CountingCache* cache : {&a, &b, &c})
        cache->setFromImage(pictureOf(0x123456));
    a.decoded();
    CImageExt* forB = b.decoded();
    b.setFromImage(pictureOf(0x654321));  // stale: given back
    EXPECT_EQ(manager.loanOf(b), nullptr);
    EXPECT_EQ(c.decoded(), forB);
    EXPECT_NE(manager.loanOf(a), nullptr);
    {
        CountingCache gone(&manager);
        gone.setFromImage(pictureOf(0x111111));
        gone.decoded();
    }
    // The cache that went gave its bitmap back: a new one never shares a bitmap with another.
    CountingCache d(&manager);
    d.setFromImage(pictureOf(0x222222));
    const CImageExt* forD = d.decoded();
    EXPECT_TRUE(forD == manager.loanOf(d) && forD != manager.loanOf(a) &&
                forD != manager.loanOf(c));
    EXPECT_EQ(CountingCache(&manager).decoded(), nullptr);  // an empty cache borrows nothing
}

TEST(ImagePNGCacheTest, ThePlainFormRoundTripsAndRefusesLengthsBeyondTheFile) {
    CImagePNGCache cache;
    cache.setFromImage(pictureOf(0x336699));
    CKWXMemFile file;
    ASSERT_TRUE(cache.archive(file, true));
    file.SeekTo(0);
    CImagePNGCache loaded;
    ASSERT_TRUE(loaded.archive(file, false));
    EXPECT_EQ(loaded.width(), 6);
    CImageExt image;
    ASSERT_TRUE(loaded.decodeInto(image));
    EXPECT_TRUE(image.equals(pictureOf(0x336699)));

    CKWXOleStreamFile png(loaded.pngBytes());
    CImagePNGCache fromStream;
    ASSERT_TRUE(fromStream.setFromPngStream(png));
    EXPECT_EQ(fromStream.height(), 4);

    auto bytes = file.Detach();
    bytes[3] = 0x7F;  // a PNG length of about 2 GiB
    CKWXOleStreamFile damaged(bytes);
    CImagePNGCache refused;
    EXPECT_FALSE(refused.archiveRead(damaged));
    EXPECT_TRUE(refused.isEmpty());
}

class ImageEncoderCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager.configure(1);
        ASSERT_EQ(manager.bitmapCount(), 1);
    }
    CImagePNGManager manager;
    CCaptureEncoderExt encoder;
};

TEST_F(ImageEncoderCacheTest, APictureMovesIntoTheEncoderAndBackOut) {
    CImageEncoderCache cache(&manager, &encoder);
    const CImageExt first = flatPicture(20, 12, 24);
    encoder.addPicture(first);
    CImageExt second = copyOf(first);
    fillRect(second, 3, 3, 4, 4, 0x00FF00);
    cache.setFromImage(second);
    ASSERT_TRUE(cache.moveIntoEncoder());
    EXPECT_EQ(cache.pictureId(), 2u);
    EXPECT_TRUE(cache.pngBytes().empty());
    EXPECT_FALSE(cache.isEmpty());
    const CImageExt* shown = cache.decoded();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->equals(second));

    CKWXMemFile png;
    ASSERT_TRUE(cache.copyPngTo(png));
    EXPECT_EQ(png.GetPosition(), 0u);
    EXPECT_TRUE(decodeFromPng(png).equals(second));

    ASSERT_TRUE(cache.detachFromEncoder(true));
    EXPECT_EQ(cache.pictureId(), 0u);
    EXPECT_EQ(encoder.pictureCount(), 1);
    ASSERT_TRUE(cache.decoded());
    EXPECT_TRUE(cache.decoded()->equals(second));
}

TEST_F(ImageEncoderCacheTest, AStoredIdIsAllThatIsRead) {
    encoder.addPicture(flatPicture(20, 12, 24));
    const auto bytes = storeKeyed([](CSerializeInterface& ar) {
        ar.SetKey("m_image_enc_uid");
        ar.WriteInt32A(1u);
        ar.SetKey("stream_size");
        ar.WriteInt32A(3u);
        ar.SetKey("image_raw_data");
        ar.WriteBytes("abc", 3);
        return ar.GetStatus();
    });
    CImageEncoderCache cache(&manager, &encoder);
    ASSERT_TRUE(
        loadKeyed(bytes, [&](CSerializeInterface& ar) { return cache.serialize(ar, false); }));
    EXPECT_EQ(cache.pictureId(), 1u);
    EXPECT_TRUE(cache.pngBytes().empty());
    EXPECT_EQ(cache.width(), 20);
    ASSERT_TRUE(cache.decoded());
    EXPECT_TRUE(cache.decoded()->equals(flatPicture(20, 12, 24)));

    CImageEncoderCache stale(&manager, &encoder);  // an id the encoder does not hold
    stale.bind(42, 20, 12);
    EXPECT_FALSE(stale.decoded());
}

TEST_F(ImageEncoderCacheTest, ThePictureItselfRoundTripsThroughTheKeyedForm) {
    CImageEncoderCache cache(&manager, &encoder);
    cache.setFromImage(pictureOf(0xA0B0C0));
    const auto bytes =
        storeKeyed([&](CSerializeInterface& ar) { return cache.serialize(ar, true); });
    CImageEncoderCache loaded(&manager, &encoder);
    ASSERT_TRUE(
        loadKeyed(bytes, [&](CSerializeInterface& ar) { return loaded.serialize(ar, false); }));
    EXPECT_EQ(loaded.pictureId(), 0u);
    EXPECT_EQ(loaded.height(), 4);
    ASSERT_TRUE(loaded.decoded());
    EXPECT_TRUE(loaded.decoded()->equals(pictureOf(0xA0B0C0)));

    // Asked for its id only, a cache without one stores 0 and loads empty.
    const auto idOnly =
        storeKeyed([&](CSerializeInterface& ar) { return cache.serialize(ar, false); });
    CImageEncoderCache empty(&manager, &encoder);
    ASSERT_TRUE(
        loadKeyed(idOnly, [&](CSerializeInterface& ar) { return empty.serialize(ar, false); }));
    EXPECT_TRUE(empty.isEmpty());
}

TEST_F(ImageEncoderCacheTest, ForgettingRemovesThePictureAndLeavesTheManager) {
    CImageEncoderCache cache(&manager);
    cache.bind(*encoder.addPicture(flatPicture(20, 12, 24)), 20, 12);
    EXPECT_FALSE(cache.decoded());  // no encoder to ask yet: the bitmap is not kept on loan
    cache.setEncoder(&encoder);
    ASSERT_TRUE(cache.decoded());
    EXPECT_TRUE(cache.decoded()->equals(flatPicture(20, 12, 24)));
    cache.forget(true);
    EXPECT_EQ(encoder.pictureCount(), 0);
    EXPECT_EQ(manager.registration(cache), 0);
    EXPECT_TRUE(cache.isEmpty());
}

}  // namespace
}  // namespace lumenreel::test
