#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CaptureFixtures.h"

namespace lumenreel::test {
namespace {

// Screens that scroll and change (several chains), an unchanged repeat (a clone), a picture of
// another size and a few small ones, in 24 and 32 bits.
struct Sequence {
    std::vector<CImageExt> images;
    std::vector<std::uint32_t> ids;

    std::vector<const CImageExt*> pointers() const {
        std::vector<const CImageExt*> all;
        for (const CImageExt& image : images)
            all.push_back(&image);
        return all;
    }
};

Sequence encodeMixedSequence(CCaptureEncoderExt& encoder) {
    Sequence sequence;
    sequence.images = screenPictures(70, 96, 64);
    sequence.images.push_back(copyOf(sequence.images.back()));
    sequence.images.push_back(flatPicture(40, 30, 32));
    CImageExt changed32 = flatPicture(40, 30, 32);
    fillRect(changed32, 18, 12, 5, 7, 0x00FF00);
    sequence.images.push_back(std::move(changed32));
    sequence.images.push_back(flatPicture(5, 9, 24));
    for (auto& image : noisePictures(40, 50, 40, 7, 3))
        sequence.images.push_back(std::move(image));
    for (const CImageExt& image : sequence.images)
        sequence.ids.push_back(*encoder.addPicture(image));
    return sequence;
}

TEST(CaptureRebuildTest, WrittenAndReadSequenceRebuildsExactlyInAnyOrder) {
    CCaptureEncoderExt encoder;
    const Sequence sequence = encodeMixedSequence(encoder);
    expectRebuildsInAnyOrder(encoder, sequence.ids, sequence.pointers(), 1);

    CCaptureEncoderExt loaded;
    ASSERT_TRUE(readEncoder(loaded, writtenEncoder(encoder))) << loaded.lastError();
    ASSERT_EQ(loaded.pictureCount(), encoder.pictureCount());
    EXPECT_EQ(loaded.nextFreeId(), encoder.nextFreeId());
    for (int i = 0; i < encoder.pictureCount(); ++i) {
        EXPECT_EQ(loaded.pictureAt(i)->id, encoder.pictureAt(i)->id);
        EXPECT_EQ(loaded.pictureAt(i)->keyId, encoder.pictureAt(i)->keyId);
        EXPECT_EQ(loaded.pictureAt(i)->clone, encoder.pictureAt(i)->clone);
    }
    expectRebuildsInAnyOrder(loaded, sequence.ids, sequence.pointers(), 2);

    // The reference image came back with the stream: a further picture continues the last chain.
    CImageExt next = copyOf(sequence.images.back());
    next.setPixel(1, 1, 0xABCDEF);
    const auto added = loaded.addPicture(next);
    ASSERT_TRUE(added);
    EXPECT_FALSE(loaded.picture(*added)->isKey());
    EXPECT_EQ(loaded.picture(*added)->nodes.size(), 1u);
    CImageExt rebuilt;
    ASSERT_TRUE(loaded.pictureImage(rebuilt, *added));
    EXPECT_TRUE(rebuilt.equals(next));
}

TEST(CaptureRebuildTest, ReplayNeverGoesBeyondTheChainOrTheWorkingImage) {
    CCaptureEncoderExt encoder;
    const auto images = screenPictures(66, 64, 48);  // two full chains of 33
    std::vector<std::uint32_t> ids;
    for (const CImageExt& image : images)
        ids.push_back(*encoder.addPicture(image));
    CImageExt rebuilt;

    for (int k = 0; k < 66; ++k) {  // sequential playback draws one picture on the one before
        ASSERT_TRUE(encoder.pictureImage(rebuilt, ids[k]));
        EXPECT_EQ(encoder.lastReplayLength(), 1) << k;
    }
    std::mt19937 random(5);
    for (int n = 0; n < 200; ++n) {
        const int k = static_cast<int>(random() % 66);
        ASSERT_TRUE(encoder.pictureImage(rebuilt, ids[k]));
        EXPECT_LE(encoder.lastReplayLength(), k % 33 + 1) << k;
        EXPECT_TRUE(rebuilt.equals(images[k])) << k;
    }
    // Picture 20 after picture 10 of the same chain replays only pictures 11 to 20.
    encoder.pictureImage(rebuilt, ids[10]);
    encoder.pictureImage(rebuilt, ids[20]);
    EXPECT_EQ(encoder.lastReplayLength(), 10);
    // Picture 40 after picture 20 starts from its own key picture (33).
    encoder.pictureImage(rebuilt, ids[40]);
    EXPECT_EQ(encoder.lastReplayLength(), 8);
}

TEST(CaptureRebuildTest, TargetsOfThePicturesSizeKeepTheirDepth) {
    CCaptureEncoderExt encoder;
    const CImageExt image = flatPicture(16, 12, 24);
    encoder.addPicture(image);
    CImageExt target;
    target.create(16, 12, 32);
    ASSERT_TRUE(encoder.pictureImageAt(target, 0));
    EXPECT_EQ(target.bpp(), 32);
    EXPECT_TRUE(samePixels(target, image));
    EXPECT_EQ(target.pixel(5, 5) >> 24, 0xFFu);
    EXPECT_FALSE(encoder.pictureImageAt(target, 1));
}

}  // namespace
}  // namespace lumenreel::test
