#include <gtest/gtest.h>

#include <cstdlib>

#include <zlib.h>

#include "ItemFixtures.h"
#include "images/ImageExt.h"
#include "items/DrawCommonItemListManager.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"
#include "items/ItemSchema.h"

namespace lumenreel::test {
namespace {

struct AspectCase {
    bool autosize, aspect;
    Size wanted, expected;
};

class PictureSize : public ::testing::TestWithParam<AspectCase> {};

TEST_P(PictureSize, FollowsAutosizeAndKeepAspect) {
    const AspectCase c = GetParam();
    CDrawItem_zcImage item;
    auto& record = item.imageProperties();
    item.setSourcePicture(std::make_unique<CImageExt>(filled(200, 100, 0xFF336699)));
    record.autosize = c.autosize;
    record.aspect = c.aspect;
    record.width = c.wanted.width;
    record.height = c.wanted.height;
    item.rebuildDisplayImage();
    ASSERT_NE(item.displayImage(), nullptr);
    EXPECT_EQ((Size{item.displayImage()->width(), item.displayImage()->height()}), c.expected);
    EXPECT_EQ((Size{record.width, record.height}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureSize,
    ::testing::Values(AspectCase{false, true, {100, 100}, {100, 50}},   // only width reduced
                      AspectCase{false, true, {400, 100}, {400, 200}},  // only width raised
                      AspectCase{false, true, {300, 300}, {600, 300}},  // both: cover
                      AspectCase{false, false, {100, 100}, {100, 100}},
                      AspectCase{true, true, {100, 100}, {200, 100}},  // autosize keeps its own
                      AspectCase{false, true, {0, 100}, {200, 100}},
                      // Covering 16000 × 2 would take 16000 × 8000 pixels, past the image
                      // limits: the picture keeps its own size.
                      AspectCase{false, true, {16000, 2}, {200, 100}}));

TEST(Picture, WithoutADisplayImageItIsA50PixelSquare) {
    CDrawItem_zcImage item;
    item.setPosition(7, 9);
    EXPECT_EQ(item.bounds(), (Rect{7, 9, 57, 59}));
}

TEST(Picture, AMissingPictureBecomesABlackSquare) {
    CDrawItem_zcImage item;
    item.setResourceFolder("/nonexistent-folder");
    item.rebuildDisplayImage();
    ASSERT_NE(item.displayImage(), nullptr);
    EXPECT_EQ(item.displayImage()->width(), 32);
    EXPECT_EQ(item.displayImage()->pixel(31, 31) & 0xFFFFFF, 0u);
}

// A 4 × 3 picture on a 10 × 10 frame, fading in over its 2-second placement: at 0.5 s it is a
// quarter opaque, as the test composes it.
TEST(Picture, BlendsAtItsFadeOntoTheFrame) {
    FakeDocument document;
    document.frames.resize(1);
    document.frames[0].duration = 2.0f;
    CDrawItem_zcImage item;
    item.setDocument(&document);
    item.setSourcePicture(std::make_unique<CImageExt>(filled(4, 3, 0xFFFF8000)));
    item.setPosition(3, 2);
    item.rebuildDisplayImage();
    document.place(0, item, 0.0f, 2.0f, kFadeIn, 2.0f);
    CImageExt frame = filled(10, 10, 0xFF102030);
    item.draw(frame, document.contextAt(0, item, 0.5f));
    const int alpha = static_cast<int>(0.25f * 255.0f);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool covered = x >= 3 && x < 7 && y >= 2 && y < 5;
            expectColour(frame.pixel(x, y),
                         covered ? blended(0xFF8000, 0x102030, alpha) : 0x102030u);
        }
}

TEST(Picture, FullTransparencyDrawsNothing) {
    CDrawItem_zcImage item;
    item.setSourcePicture(std::make_unique<CImageExt>(filled(4, 4, 0xFFFFFFFF)));
    item.imageProperties().transparency = 1.0f;
    item.rebuildDisplayImage();
    CImageExt frame = filled(8, 8, 0xFF000000);
    item.draw(frame, {});
    EXPECT_TRUE(frame.equals(filled(8, 8, 0xFF000000)));
}

struct EffectiveFadeCase {
    int fadeType;
    bool prev, next;
    int expected;
};

class PictureEffectiveFade : public ::testing::TestWithParam<EffectiveFadeCase> {};

TEST_P(PictureEffectiveFade, DoesNotFadeWhereItContinues) {
    const EffectiveFadeCase c = GetParam();
    FakeDocument document;
    document.frames.resize(3);
    CDrawItem_zcImage item;
    item.setDocument(&document);
    document.place(1, item, 0.0f, 1.0f, c.fadeType);
    if (c.prev)
        document.place(0, item, 0.0f, 1.0f, 0);
    if (c.next)
        document.place(2, item, 0.0f, 1.0f, 0);
    EXPECT_EQ(item.effectiveFadeType(document.contextAt(1, item, 0.5f)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureEffectiveFade,
    ::testing::Values(EffectiveFadeCase{1, true, false, 0}, EffectiveFadeCase{1, false, true, 1},
                      EffectiveFadeCase{2, false, true, 0}, EffectiveFadeCase{2, true, false, 2},
                      EffectiveFadeCase{3, true, true, 0}, EffectiveFadeCase{3, false, true, 1},
                      EffectiveFadeCase{3, true, false, 2}, EffectiveFadeCase{3, false, false, 3},
                      EffectiveFadeCase{0, true, true, 0}));

CImageExt drawnHighlight(bool noFill, std::uint32_t frameColour, float transparency) {
    CDrawItem_zcHiglight item;
    auto& record = item.highlightProperties();
    record.width = 20;
    record.height = 20;
    record.frameSize = 4;
    record.frameColour = frameColour;
    record.fillColour = 0x0000FF;
    record.noFill = noFill;
    record.transparency = transparency;
    item.setPosition(5, 5);
    item.rebuildDisplayImage();
    CImageExt frame = filled(30, 30, 0xFF000000);
    item.draw(frame, {});
    return frame;
}

TEST(Highlight, WhiteOutlineStaysVisibleAsAlmostWhite) {
    CImageExt frame = drawnHighlight(true, 0xFFFFFF, 0.0f);
    EXPECT_EQ(frame.pixel(5, 5) & 0xFFFFFF, 0xFEFEFEu);
    EXPECT_EQ(frame.pixel(24, 15) & 0xFFFFFF, 0xFEFEFEu);
    EXPECT_EQ(frame.pixel(15, 15) & 0xFFFFFF, 0u);  // unfilled: the frame shows through
    EXPECT_EQ(frame.pixel(2, 2) & 0xFFFFFF, 0u);
}

TEST(Highlight, FillBlendsAtTheItemsTransparency) {
    CImageExt frame = drawnHighlight(false, 0x00FF00, 0.5f);
    const int alpha = static_cast<int>(0.5f * 255.0f);
    // Colour values are 0x00BBGGRR; pixels read back as B | G << 8 | R << 16.
    expectColour(frame.pixel(15, 15), blended(0xFF0000, 0, alpha));
    expectColour(frame.pixel(5, 15), blended(0x00FF00, 0, alpha));
}

TEST(Highlight, ANegativeWidthSkipsTheItemWithItsReason) {
    auto bytes = keyedBytes([](CSerializeInterface& archive) {
        CDrawItem_zcHiglight item;
        item.highlightProperties().width = -40;
        archive.EnterSection("ITEMS_MANAGER");
        archive.SetKey("num_all_links");
        archive.WriteInt32B(1);
        archive.EnterSection("Link0");
        CDrawItem_link link;
        link.serialize(archive);
        archive.EnterSection("OBJECT_DATA");
        item.serialize(archive);
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
    });
    CDrawCommonItemListManager list;
    readKeyed(bytes, [&](CSerializeInterface& archive) { list.serialize(archive); });
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0], "placement 0: picture size -40 x 50 out of range");
}

TEST(Highlight, AColourRecordOfTheWrongLengthKeepsTheDefault) {
    auto bytes = keyedBytes([](CSerializeInterface& archive) {
        archive.SetKey("frame_color");
        const std::uint8_t three[3] = {1, 2, 3};
        archive.WriteBytes(three, 3);
    });
    HighlightProperties record;
    readKeyed(bytes, [&](CSerializeInterface& archive) { record.serialize(archive); });
    EXPECT_EQ(record.frameColour, 0x0000A0u);
}

TEST(Picture, PicturesAreKeptInTheDocumentsPoolAndCopiesShareThem) {
    FakeDocument document;
    std::vector<std::uint8_t> bytes;
    {
        CDrawCommonItemListManager list;
        auto picture = std::make_unique<CDrawItem_zcImage>();
        picture->setDocument(&document);
        picture->setSourcePicture(std::make_unique<CImageExt>(filled(6, 5, 0xFF123456)));
        CDrawItem_zcImage copy;
        copy.setDocument(&document);
        copy.setProperties(picture->properties());
        ASSERT_EQ(document.pictures.size(), 1u);
        EXPECT_EQ(document.pictures.find(copy.imageProperties().source.image())->count, 2);
        list.insert({}, std::move(picture));
        bytes = keyedBytes([&](CSerializeInterface& archive) { list.serialize(archive); });
    }
    // The last holder gone, the pool frees the picture.
    EXPECT_EQ(document.pictures.size(), 0u);

    CDrawCommonItemListManager read;
    readKeyed(bytes, [&](CSerializeInterface& archive) { read.serialize(archive, &document); });
    auto* back = dynamic_cast<CDrawItem_zcImage*>(read.itemAt(0));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(document.pictures.size(), 1u);
    EXPECT_NE(document.pictures.find(back->imageProperties().source.image()), nullptr);
}

TEST(Picture, RoundTripsWithItsPictureAndHighlightWithItsColours) {
    CDrawCommonItemListManager list;
    auto picture = std::make_unique<CDrawItem_zcImage>();
    picture->setSourcePicture(std::make_unique<CImageExt>(filled(6, 5, 0xFF123456)));
    picture->imageProperties().aspect = false;
    list.insert({}, std::move(picture));
    auto highlight = std::make_unique<CDrawItem_zcHiglight>();
    highlight->highlightProperties().fillColour = 0x00AB12;
    highlight->highlightProperties().noFill = true;
    list.insert({}, std::move(highlight));
    auto bytes = keyedBytes([&](CSerializeInterface& archive) { list.serialize(archive); });
    CDrawCommonItemListManager read;
    readKeyed(bytes, [&](CSerializeInterface& archive) { read.serialize(archive); });
    ASSERT_EQ(read.count(), 2);
    auto* back = dynamic_cast<CDrawItem_zcImage*>(read.itemAt(0));
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->imageProperties().source.holdsPixels());
    EXPECT_TRUE(back->imageProperties().source.image()->equals(filled(6, 5, 0xFF123456)));
    EXPECT_FALSE(back->imageProperties().aspect);
    auto* light = dynamic_cast<CDrawItem_zcHiglight*>(read.itemAt(1));
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->highlightProperties().fillColour, 0x00AB12u);
    EXPECT_TRUE(light->highlightProperties().noFill);
    EXPECT_FLOAT_EQ(light->highlightProperties().transparency, 0.5f);
}

}  // namespace
}  // namespace lumenreel::test

namespace lumenreel::test {
namespace {

// A 200 × 100 picture at (50, 50) with its name label: the plate's padding row 5 pixels below the
// top shows the dark plate blended at 90 over the picture; without a name the frame holds only
// the picture.
TEST(NameLabel, PlateAndTextOverThePictureOnlyWithAName) {
    auto drawn = [](const std::string& name, float labelOpacity) {
        CDrawItem_zcImage item;
        item.setSourcePicture(std::make_unique<CImageExt>(filled(200, 100, 0xFF808080)));
        item.properties().name = name;
        item.setPosition(50, 50);
        item.rebuildDisplayImage();
        CImageExt frame = filled(300, 200, 0xFF000000);
        ItemDrawContext context;
        context.labelOpacity = labelOpacity;
        item.draw(frame, context);
        return frame;
    };
    const CImageExt plain = drawn("", 1.0f);
    expectColour(plain.pixel(150, 55), 0x808080);
    EXPECT_TRUE(drawn("Label", 0.0f).equals(plain));
    const CImageExt labelled = drawn("Label", 1.0f);
    expectColour(labelled.pixel(150, 55), blended(0x0A0A0A, 0x808080, 90));
    int textPixels = 0;
    for (int y = 57; y < 80; ++y)
        for (int x = 100; x < 200; ++x)
            textPixels += (labelled.pixel(x, y) & 0xFF) > 0xE0;
    EXPECT_GT(textPixels, 10);
    expectColour(labelled.pixel(150, 90), 0x808080);  // below the plate
}

}  // namespace
}  // namespace lumenreel::test

namespace lumenreel::test {
namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift : {24, 16, 8, 0})
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A PNG whose header claims width × height, with no pixel data.
std::vector<std::uint8_t> pngClaiming(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> chunk = {'I', 'H', 'D', 'R'};
    appendBigEndian(chunk, width);
    appendBigEndian(chunk, height);
    chunk.insert(chunk.end(), {8, 2, 0, 0, 0});
    appendBigEndian(png, 13);
    png.insert(png.end(), chunk.begin(), chunk.end());
    appendBigEndian(png, static_cast<std::uint32_t>(
                             crc32(0, chunk.data(), static_cast<unsigned>(chunk.size()))));
    return png;
}

TEST(Picture, APictureAboveTheImageLimitsSkipsTheItem) {
    const std::vector<std::uint8_t> png = pngClaiming(20000, 20000);
    auto bytes = keyedBytes([&](CSerializeInterface& archive) {
        CDrawItem_zcImage item;
        archive.EnterSection("ITEMS_MANAGER");
        archive.SetKey("num_all_links");
        archive.WriteInt32B(1);
        archive.EnterSection("Link0");
        CDrawItem_link link;
        link.serialize(archive);
        archive.EnterSection("OBJECT_DATA");
        archive.SetKey("guid");
        archive.WriteBytes(kImageTypeId.bytes.data(), 16);
        archive.SetKey("effect_id");
        archive.WriteInt32B(5);
        archive.SetKey("child_cnt");
        archive.WriteInt32B(0);
        archive.EnterSection("BASE_OBJECT");
        archive.LeaveSection();
        archive.SetKey("no_image_data");
        archive.WriteBool(false);
        archive.EnterSection("IMAGEEXT_DATA");
        archive.SetKey("image_data_size");
        archive.WriteInt32A(static_cast<std::uint32_t>(png.size()));
        archive.SetKey("image_raw_data");
        archive.WriteBytes(png.data(), png.size());
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
    });
    CDrawCommonItemListManager list;
    readKeyed(bytes, [&](CSerializeInterface& archive) { list.serialize(archive); });
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0], "placement 0: picture cannot be read");
}

}  // namespace
}  // namespace lumenreel::test
