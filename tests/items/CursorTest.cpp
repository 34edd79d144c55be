#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "images/ImageExt.h"
#include "items/CursorMovement.h"
#include "items/DrawCommonItemListManager.h"
#include "items/DrawItemCursor.h"
#include "items/ItemSchema.h"

namespace lumenreel::test {
namespace {

CursorProperties cursorAt(int x, int y, int moveType, float start, float end) {
    CursorProperties properties;
    properties.x = x;
    properties.y = y;
    properties.moveType = moveType;
    properties.startTime = start;
    properties.endTime = end;
    return properties;
}

struct IntervalCase {
    float start, end, duration;
    float expectedStart, expectedEnd;
};

class MoveInterval : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(MoveInterval, FromThePropertiesAndTheDuration) {
    const IntervalCase c = GetParam();
    const CursorMoveInterval interval =
        cursorMoveInterval(cursorAt(0, 0, 0, c.start, c.end), c.duration);
    EXPECT_FLOAT_EQ(interval.start, c.expectedStart);
    EXPECT_FLOAT_EQ(interval.end, c.expectedEnd);
}

INSTANTIATE_TEST_SUITE_P(Cases, MoveInterval,
                         ::testing::Values(IntervalCase{1, 3, 4, 1, 3},     // as stored
                                           IntervalCase{3, 1, 4, 0, 4},     // end before start
                                           IntervalCase{1, 9, 4, 1, 4},     // cut to duration
                                           IntervalCase{-2, 2, 4, 0, 2},    // start raised
                                           IntervalCase{1, 3, -5, 1, 0}));  // negative duration

struct GlideCase {
    Point to;
    int moveType;
    float time;
    Point expected;
};

class Glide : public ::testing::TestWithParam<GlideCase> {};

// From (10, 20), moving between 1 s and 3 s of a 4-second frame.
TEST_P(Glide, EasedAlongTheLineOrCurve) {
    const GlideCase c = GetParam();
    const CursorProperties from = cursorAt(10, 20, c.moveType, 1.0f, 3.0f);
    const CursorProperties to = cursorAt(c.to.x, c.to.y, 0, 0.0f, 0.0f);
    EXPECT_EQ(cursorPointAt(from, &to, 4.0f, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Glide,
    ::testing::Values(GlideCase{{111, 71}, 0, 2.0f, {60, 45}},   // midpoint, truncated
                      GlideCase{{111, 71}, 0, 0.5f, {10, 20}},   // before the move
                      GlideCase{{111, 71}, 0, 3.5f, {111, 71}},  // after it
                      GlideCase{{111, 71}, 0, 1.5f, {24, 27}},   // (1 − cos(π/4)) / 2 of the way
                      // Curved: control points (60, 32) and (85, 45); at p = 0.5 the curve is
                      // (P0 + 3·P1 + 3·P2 + P3) / 8 = (555 / 8, 321 / 8), truncated (69, 40).
                      GlideCase{{110, 70}, 1, 2.0f, {69, 40}},
                      // 4 pixels or less is always straight: (3, −1) rounds the curve away.
                      GlideCase{{13, 19}, 1, 2.0f, {11, 19}},
                      GlideCase{{14, 20}, 1, 2.0f, {12, 20}}));

TEST(Cursor, TheLastVisibleFrameDoesNotMove) {
    const CursorProperties from = cursorAt(5, 6, 1, 0.0f, 1.0f);
    EXPECT_EQ(cursorPointAt(from, nullptr, 1.0f, 0.7f), (Point{5, 6}));
}

// A 4 × 4 colour cursor: red where the mask is black, the frame showing through at (3, 3).
std::unique_ptr<CursorImage> redCursor(int hotspotX, int hotspotY) {
    CImageExt mask = filled(4, 4, 0xFF000000);
    mask.setPixel(3, 3, 0xFFFFFFFF);
    CImageExt colour = filled(4, 4, 0xFFFF0000);
    colour.setPixel(3, 3, 0xFF000000);
    return CursorImage::fromImages(hotspotX, hotspotY, std::move(mask), std::move(colour));
}

TEST(Cursor, NewImageKeepsTheTipWhereItWas) {
    CDrawItem_zcCursor cursor;
    cursor.setImageAt(redCursor(1, 1), {50, 60});
    EXPECT_EQ(cursor.position(), (Point{49, 59}));
    cursor.setImage(redCursor(3, 2));
    EXPECT_EQ(cursor.position(), (Point{47, 58}));
    EXPECT_EQ(cursor.bounds(), (Rect{42, 52, 58, 68}));
}

TEST(Cursor, DrawsItsPictureAtThePosition) {
    CImageExt frame = filled(10, 10, 0xFF204060);
    CDrawItem_zcCursor cursor;
    cursor.setImage(redCursor(0, 0));
    cursor.setPosition(2, 5);
    cursor.draw(frame, {});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool covered = x >= 2 && x < 6 && y >= 5 && y < 9 && !(x == 5 && y == 8);
            EXPECT_EQ(frame.pixel(x, y) & 0xFFFFFF, covered ? 0xFF0000u : 0x204060u)
                << x << "," << y;
        }
}

TEST(Cursor, ClickMarkerCoversTheTip) {
    CImageExt frame = filled(40, 40, 0xFF000000);
    CDrawItem_zcCursor cursor;
    cursor.drawClickMarker(frame);
    EXPECT_EQ(frame.pixel(0, 0) & 0xFFFFFF, 0u);  // no image, no marker
    cursor.setImageAt(redCursor(0, 0), {20, 20});
    cursor.drawClickMarker(frame);
    // Marker 0x148200 is red 0, green 130, blue 20: B = 0x14 · 190/255, G = 0x82 · 190/255.
    const std::uint32_t centre = frame.pixel(20, 20);
    EXPECT_NEAR(static_cast<int>((centre >> 8) & 0xFF), 130 * 190 / 255, 1);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), 20 * 190 / 255, 1);
    EXPECT_EQ(frame.pixel(20, 31) & 0xFFFFFF, 0u);
}

TEST(Cursor, RoundTripsWithItsBitmaps) {
    CDrawCommonItemListManager list;
    auto cursor = std::make_unique<CDrawItem_zcCursor>();
    cursor->setImageAt(redCursor(2, 1), {30, 40});
    cursor->cursorProperties().moveType = 0;
    cursor->cursorProperties().endTime = 2.5f;
    list.insert({}, std::move(cursor));
    auto bytes = keyedBytes([&](CSerializeInterface& archive) { list.serialize(archive); });
    CDrawCommonItemListManager read;
    readKeyed(bytes, [&](CSerializeInterface& archive) { read.serialize(archive); });
    ASSERT_EQ(read.count(), 1);
    auto* back = dynamic_cast<CDrawItem_zcCursor*>(read.itemAt(0));
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->image(), nullptr);
    EXPECT_EQ(back->image()->hotspotX(), 2);
    EXPECT_EQ(back->position(), (Point{28, 39}));
    EXPECT_EQ(back->cursorProperties().moveType, 0);
    EXPECT_FLOAT_EQ(back->cursorProperties().endTime, 2.5f);
    EXPECT_TRUE(back->image()->colour().equals(redCursor(2, 1)->colour()));
}

TEST(Cursor, ABitmapSizeBeyondTheLimitSkipsTheItem) {
    auto bytes = keyedBytes([](CSerializeInterface& archive) {
        archive.EnterSection("ITEMS_MANAGER");
        archive.SetKey("num_all_links");
        archive.WriteInt32B(1);
        archive.EnterSection("Link0");
        CDrawItem_link link;
        link.serialize(archive);
        archive.EnterSection("OBJECT_DATA");
        archive.SetKey("guid");
        archive.WriteBytes(kCursorTypeId.bytes.data(), 16);
        archive.SetKey("child_cnt");
        archive.WriteInt32B(0);
        archive.EnterSection("BASE_OBJECT");
        archive.LeaveSection();
        const std::uint8_t header[20] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
        archive.SetKey("icon_info");
        archive.WriteBytes(header, sizeof header);
        archive.EnterSection("BITMAP_DATA0");
        archive.SetKey("size");
        archive.WriteInt32B(0x7FFFFFFF);
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
    });
    CDrawCommonItemListManager list;
    readKeyed(bytes, [&](CSerializeInterface& archive) { list.serialize(archive); });
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0],
              "placement 0: BITMAP_DATA0: bitmap of 2147483647 bytes cannot be read");
}

}  // namespace
}  // namespace lumenreel::test

namespace lumenreel::test {
namespace {

// A straight path from (20, 40) to (120, 40): green near its start, red near its end, 8 pixels
// short of each tip, with the arrowhead's strokes behind the end.
TEST(CursorPath, StraightArrowBetweenTheTips) {
    CImageExt frame = filled(160, 80, 0xFF000000);
    CDrawItem_zcCursor from, to;
    from.cursorProperties().moveType = 0;
    CDrawItem_zcCursor bare;
    from.drawPathPreview(frame, bare, 1.0f);
    EXPECT_TRUE(frame.equals(filled(160, 80, 0xFF000000)));  // no picture, no path
    from.setImageAt(redCursor(0, 0), {20, 40});
    to.setImageAt(redCursor(0, 0), {120, 40});
    from.drawPathPreview(frame, to, 1.0f);
    const std::uint32_t nearStart = frame.pixel(30, 40), nearEnd = frame.pixel(108, 40);
    EXPECT_GT((nearStart >> 8) & 0xFF, 100u);  // green
    EXPECT_LT((nearStart >> 16) & 0xFF, 60u);
    EXPECT_GT((nearEnd >> 16) & 0xFF, 100u);         // red
    EXPECT_EQ(frame.pixel(24, 40) & 0xFFFFFF, 0u);   // short of the start tip
    EXPECT_EQ(frame.pixel(116, 40) & 0xFFFFFF, 0u);  // short of the end tip
    EXPECT_NE(frame.pixel(104, 34) & 0xFFFFFF, 0u);  // an arrowhead stroke
    EXPECT_EQ(frame.pixel(70, 20) & 0xFFFFFF, 0u);
}

TEST(CursorPath, ShortMovesDrawNoPath) {
    CImageExt frame = filled(60, 60, 0xFF000000);
    CDrawItem_zcCursor from, to;
    from.setImageAt(redCursor(0, 0), {20, 20});
    to.setImageAt(redCursor(0, 0), {34, 20});
    from.drawPathPreview(frame, to, 1.0f);
    EXPECT_TRUE(frame.equals(filled(60, 60, 0xFF000000)));
}

}  // namespace
}  // namespace lumenreel::test
