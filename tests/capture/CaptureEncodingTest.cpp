#include <gtest/gtest.h>

#include <vector>

#include "CaptureFixtures.h"

namespace lumenreel::test {
namespace {

struct NodeShape {
    int x, y, width, height;
    friend bool operator==(const NodeShape&, const NodeShape&) = default;
};

std::vector<NodeShape> nodesOf(const SCapturePictureExt& picture) {
    std::vector<NodeShape> shapes;
    for (const auto& node : picture.nodes)
        shapes.push_back({node->x, node->y, node->image.width(), node->image.height()});
    return shapes;
}

TEST(CaptureEncodingTest, FirstPictureIsOneNodeCoveringIt) {
    CCaptureEncoderExt encoder;
    const auto id = encoder.addPicture(flatPicture(21, 11, 24));
    ASSERT_TRUE(id);
    EXPECT_EQ(*id, 1u);
    const SCapturePictureExt* picture = encoder.picture(*id);
    EXPECT_TRUE(picture->isKey());
    EXPECT_EQ(nodesOf(*picture), (std::vector<NodeShape>{{0, 0, 21, 11}}));
}

struct ChangeCase {
    const char* name;
    int width, height;
    Rect changed;
    std::vector<NodeShape>
        nodes;  // in quadrant order: top-left, bottom-left, top-right, bottom-right
};

class CaptureChangeTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(CaptureChangeTest, ChangedRectanglesBecomeOneNodePerQuadrant) {
    const ChangeCase& c = GetParam();
    CCaptureEncoderExt encoder;
    const CImageExt first = flatPicture(c.width, c.height, 24);
    CImageExt second = copyOf(first);
    fillRect(second, c.changed.left, c.changed.top, static_cast<int>(c.changed.width()),
             static_cast<int>(c.changed.height()), 0xFF0000);
    encoder.addPicture(first);
    const auto id = encoder.addPicture(second);
    ASSERT_TRUE(id);
    const SCapturePictureExt* picture = encoder.picture(*id);
    EXPECT_FALSE(picture->isKey());
    EXPECT_EQ(picture->keyId, 1u);
    EXPECT_EQ(nodesOf(*picture), c.nodes);
    CImageExt rebuilt;
    ASSERT_TRUE(encoder.pictureImage(rebuilt, *id));
    EXPECT_TRUE(rebuilt.equals(second));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureChangeTest,
    ::testing::Values(
        ChangeCase{"OnePixelBottomRight", 20, 10, {15, 7, 16, 8}, {{15, 7, 1, 1}}},
        ChangeCase{"OnePixelTopLeftCorner", 20, 10, {0, 0, 1, 1}, {{0, 0, 1, 1}}},
        ChangeCase{"CrossingBothMiddles",
                   20,
                   10,
                   {8, 3, 13, 8},
                   {{8, 3, 2, 2}, {8, 5, 2, 3}, {10, 3, 3, 2}, {10, 5, 3, 3}}},
        // Odd sizes: the left quadrants are 10 wide and the right 11, the top 5 high, the bottom 6.
        ChangeCase{"OddSizeFirstRightColumn", 21, 11, {10, 5, 11, 6}, {{10, 5, 1, 1}}},
        ChangeCase{"OddSizeLastLeftColumn", 21, 11, {9, 4, 10, 5}, {{9, 4, 1, 1}}},
        ChangeCase{
            "OddSizeWholeRightHalf", 21, 11, {10, 0, 21, 11}, {{10, 0, 11, 5}, {10, 5, 11, 6}}},
        ChangeCase{"SmallestDeltaSize", 8, 8, {0, 7, 8, 8}, {{0, 7, 4, 1}, {4, 7, 4, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    int width, height;
    bool key;
};

class CaptureKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CaptureKeyTest, PicturesSevenPixelsOrLessAcrossAreAlwaysWhole) {
    const KeyCase& c = GetParam();
    CCaptureEncoderExt encoder;
    const CImageExt first = flatPicture(c.width, c.height, 24);
    CImageExt second = copyOf(first);
    second.setPixel(0, 0, 0x123456);
    encoder.addPicture(first);
    const auto id = encoder.addPicture(second);
    ASSERT_TRUE(id);
    EXPECT_EQ(encoder.picture(*id)->isKey(), c.key);
    CImageExt rebuilt;
    ASSERT_TRUE(encoder.pictureImage(rebuilt, *id));
    EXPECT_TRUE(rebuilt.equals(second));
}

INSTANTIATE_TEST_SUITE_P(Cases, CaptureKeyTest,
                         ::testing::Values(KeyCase{"EightBySeven", 8, 7, true},
                                           KeyCase{"SevenByEight", 7, 8, true},
                                           KeyCase{"OneByOne", 1, 1, true},
                                           KeyCase{"EightByEight", 8, 8, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CaptureEncodingTest, AnotherSizeStartsAChain) {
    CCaptureEncoderExt encoder;
    encoder.addPicture(flatPicture(20, 10, 24));
    const auto id = encoder.addPicture(flatPicture(20, 11, 24));
    EXPECT_TRUE(encoder.picture(*id)->isKey());
}

// Clones kept in a chain count as its pictures: the 34th picture starts a new chain either way.
TEST(CaptureEncodingTest, TheThirtyFourthPictureStartsANewChain) {
    for (const bool changing : {true, false}) {
        SCOPED_TRACE(changing ? "changing pictures" : "clones");
        CCaptureEncoderExt encoder;
        CImageExt image = flatPicture(16, 16, 24);
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < 34; ++i) {
            if (changing)
                image.setPixel(i % 16, i / 16, 0x010101u * static_cast<std::uint32_t>(i + 1));
            ids.push_back(*encoder.addPicture(image));
        }
        for (int i = 1; i < 33; ++i) {
            EXPECT_EQ(encoder.picture(ids[i])->keyId, ids[0]);
            EXPECT_EQ(encoder.picture(ids[i])->clone, !changing);
        }
        EXPECT_TRUE(encoder.picture(ids[33])->isKey());
    }
}

TEST(CaptureEncodingTest, AFourthByteAloneIsNoChange) {
    CCaptureEncoderExt encoder;
    CImageExt image = flatPicture(16, 16, 32);
    encoder.addPicture(image);
    image.setPixel(3, 3, (image.pixel(3, 3) & 0xFFFFFFu) | 0x12000000u);
    const auto clone = encoder.addPicture(image);
    ASSERT_TRUE(clone);
    EXPECT_TRUE(encoder.picture(*clone)->clone);
    EXPECT_TRUE(encoder.picture(*clone)->nodes.empty());

    encoder.setKeepClones(false);
    EXPECT_FALSE(encoder.addPicture(image));
    EXPECT_EQ(encoder.pictureCount(), 2);
    image.setPixel(3, 3, 0xFF000000u);
    const auto changed = encoder.addPicture(image);
    ASSERT_TRUE(changed);
    EXPECT_EQ(*changed, 4u);  // the dropped clone used up an id
}

TEST(CaptureEncodingTest, ClearStartsOver) {
    CCaptureEncoderExt encoder;
    encoder.setKeepClones(false);
    encoder.addPicture(flatPicture(16, 16, 24));
    encoder.clear();
    EXPECT_EQ(encoder.pictureCount(), 0);
    EXPECT_EQ(*encoder.addPicture(flatPicture(16, 16, 24)), 1u);
    EXPECT_TRUE(encoder.addPicture(flatPicture(16, 16, 24)));  // clones are kept again
    EXPECT_FALSE(encoder.addPicture(CImageExt()));
}

}  // namespace
}  // namespace lumenreel::test
