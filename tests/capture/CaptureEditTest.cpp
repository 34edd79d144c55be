#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "CaptureFixtures.h"

namespace lumenreel::test {
namespace {

// Two chains of screens (33 and 12 pictures) with a clone at position 5.
class CaptureEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        images = screenPictures(45, 64, 48);
        images[5] = copyOf(images[4]);
        for (const CImageExt& image : images)
            ids.push_back(*encoder.addPicture(image));
        ASSERT_TRUE(encoder.picture(ids[5])->clone);
        ASSERT_TRUE(encoder.picture(ids[33])->isKey());
    }

    void removeAt(std::size_t index) {
        ASSERT_TRUE(encoder.removePicture(ids[index]));
        ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(index));
        images.erase(images.begin() + static_cast<std::ptrdiff_t>(index));
    }

    std::vector<const CImageExt*> pointers() const {
        std::vector<const CImageExt*> all;
        for (const CImageExt& image : images)
            all.push_back(&image);
        return all;
    }

    // The rest rebuild as before, also after a write and a read, and the stream goes on.
    void expectStillWhole(unsigned seed) {
        expectRebuildsInAnyOrder(encoder, ids, pointers(), seed);
        CCaptureEncoderExt loaded;
        ASSERT_TRUE(readEncoder(loaded, writtenEncoder(encoder))) << loaded.lastError();
        expectRebuildsInAnyOrder(loaded, ids, pointers(), seed + 1);
        CImageExt next = copyOf(images.back());
        next.setPixel(0, 0, 0x123456);
        const auto added = encoder.addPicture(next);
        ASSERT_TRUE(added);
        CImageExt rebuilt;
        ASSERT_TRUE(encoder.pictureImage(rebuilt, *added));
        EXPECT_TRUE(rebuilt.equals(next));
    }

    CCaptureEncoderExt encoder;
    std::vector<CImageExt> images;
    std::vector<std::uint32_t> ids;
};

TEST_F(CaptureEditTest, RemovingAnyKindOfPictureKeepsTheOthersWhole) {
    constexpr std::size_t kLast = ~std::size_t{0};
    constexpr std::size_t kSecondKey = kLast - 1;
    const struct {
        const char* name;
        std::size_t index;
    } cases[] = {{"a delta in the middle of a chain", 10},
                 {"the key of the first chain", 0},
                 {"a clone", 4},
                 {"the picture before a clone", 3},
                 {"the last picture", kLast},
                 {"the key of the second chain", kSecondKey}};
    unsigned seed = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t index = c.index == kLast ? ids.size() - 1 : c.index;
        if (c.index == kSecondKey)
            for (index = 1; !encoder.picture(ids[index])->isKey(); ++index) {
            }
        CImageExt before;
        encoder.pictureImage(before, ids[index]);  // a working image that is about to go
        removeAt(index);
        expectStillWhole(seed += 2);
        // The picture expectStillWhole added is not one of ours.
        encoder.removePicture(encoder.pictureAt(encoder.pictureCount() - 1)->id);
    }
}

TEST_F(CaptureEditTest, ANewKeyTakesOverTheChain) {
    removeAt(0);
    const SCapturePictureExt* key = encoder.picture(ids[0]);
    EXPECT_TRUE(key->isKey());
    for (std::size_t i = 1; i < 32; ++i)
        EXPECT_EQ(encoder.picture(ids[i])->keyId, ids[0]);
}

TEST_F(CaptureEditTest, RemovingTheUnusedKeepsThoseInUse) {
    std::set<std::uint32_t> inUse;
    std::vector<std::uint32_t> keptIds;
    std::vector<CImageExt> kept;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i % 3 == 1) {
            inUse.insert(ids[i]);
            keptIds.push_back(ids[i]);
            kept.push_back(copyOf(images[i]));
        }
    }
    EXPECT_EQ(encoder.removeUnused(inUse), 30);
    EXPECT_EQ(encoder.pictureCount(), 15);
    ids = keptIds;
    images = std::move(kept);
    expectStillWhole(40);
    EXPECT_FALSE(encoder.removePicture(9999));
}

}  // namespace
}  // namespace lumenreel::test
