#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "items/ItemCounters.h"
#include "items/SoundEffectItem.h"

namespace lumenreel::test {
namespace {

// A sound effect item has only the common behaviour and a point as bounds; these tests give it
// a 20 × 10 box.
class BoxItem : public CSoundEffectItem {
public:
    Rect bounds() override {
        return {position().x, position().y, position().x + 20, position().y + 10};
    }
};

TEST(CommonItem, SerialComesFromTheCounterAndTheNameFromItsNextValue) {
    itemCounters().nextSerial = 1;
    CSoundEffectItem first;
    EXPECT_EQ(first.serialNumber(), 1);
    EXPECT_EQ(first.properties().name, "!Sound2");
    CSoundEffectItem second;
    EXPECT_EQ(second.serialNumber(), 2);
    EXPECT_EQ(second.defaultName(7), "!Sound7");
}

struct HitCase {
    Point point;
    int expected;
};

class HitTest : public ::testing::TestWithParam<HitCase> {};

// The box is (100, 100)–(120, 110); grown by 4 it is (96, 96)–(124, 114).
TEST_P(HitTest, CornersBeforeEdgesBeforeInside) {
    BoxItem item;
    item.setPosition(100, 100);
    EXPECT_EQ(item.hitTest(GetParam().point), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    ::testing::Values(HitCase{{97, 97}, kHitTopLeft}, HitCase{{122, 112}, kHitBottomRight},
                      HitCase{{122, 97}, kHitTopRight}, HitCase{{97, 112}, kHitBottomLeft},
                      HitCase{{110, 97}, kHitTop}, HitCase{{110, 113}, kHitBottom},
                      HitCase{{99, 105}, kHitLeft}, HitCase{{120, 105}, kHitRight},
                      HitCase{{105, 105}, kHitInside}, HitCase{{95, 100}, kHitNone},
                      HitCase{{124, 100}, kHitNone}));

TEST(CommonItem, KeepInsideLeavesFivePixelsInTheFrame) {
    FakeDocument document;
    BoxItem item;
    item.setDocument(&document);
    item.setPosition(-100, 700);
    item.keepInside({});
    EXPECT_EQ(item.position(), (Point{-15, 475}));
    item.setPosition(900, -50);
    item.keepInside({});
    EXPECT_EQ(item.position(), (Point{635, -5}));
}

TEST(CommonItem, KeepInsideWithoutDocumentDoesNothing) {
    BoxItem item;
    item.setPosition(-100, -100);
    item.keepInside({0, 0, 10, 10});
    EXPECT_EQ(item.position(), (Point{-100, -100}));
}

TEST(CommonItem, ChildrenStayUniqueAndInOrder) {
    CSoundEffectItem item;
    for (int serial : {5, 7, 5, 9})
        item.addChild(serial);
    item.removeChild(7);
    EXPECT_EQ(item.children(), (std::vector<std::int32_t>{5, 9}));
}

TEST(CommonItem, PropertiesCloneAndCopyWholeRecords) {
    CSoundEffectItem item;
    item.properties().name = "beep";
    auto copy = item.properties().clone();
    EXPECT_EQ(copy->name, "beep");
    copy->x = 40;
    CSoundEffectItem other;
    other.setProperties(*copy);
    EXPECT_EQ(other.position().x, 40);
    EXPECT_EQ(other.properties().name, "beep");
}

TEST(ItemCounters, PoolRoundTripsAndAnOldFormSetsTheSoundNumberToOne) {
    itemCounters() = {1, 4, 5, 6, 7};
    auto bytes = keyedBytes([](CSerializeInterface& archive) { serializeEffectsIdsPool(archive); });
    itemCounters() = {};
    readKeyed(bytes,
              [](CSerializeInterface& archive) { EXPECT_TRUE(serializeEffectsIdsPool(archive)); });
    EXPECT_EQ(itemCounters().smoke, 4);
    EXPECT_EQ(itemCounters().highlight, 6);
    EXPECT_EQ(itemCounters().sound, 7);

    auto old = keyedBytes([](CSerializeInterface& archive) {
        archive.EnterSection("Effects_ids_pool");
        archive.SetKey("pool_id_for_smoke");
        archive.WriteInt32B(3);
        archive.LeaveSection();
    });
    readKeyed(old, [](CSerializeInterface& archive) { serializeEffectsIdsPool(archive); });
    EXPECT_EQ(itemCounters().smoke, 3);
    EXPECT_EQ(itemCounters().sound, 1);
}

// The older form stores the six numbers one after the other; the value after them belongs to
// whatever comes next and must stay unread.
TEST(ItemCounters, TheOlderFormLeavesTheNextValueAlone) {
    CKWXOleStreamFile stream;
    {
        CSerializeInterface writer(stream, CSerializeInterface::modeStore);
        for (std::int32_t value : {11, 12, 13, 0, 0, 0, 777})
            writer.WriteInt32B(value);
        writer.Flush();
    }
    stream.Rewind();
    itemCounters().sound = 9;
    CSerializeInterface reader(stream, CSerializeInterface::modeLoad);
    EXPECT_TRUE(serializeEffectsIdsPool(reader, false));
    EXPECT_EQ(itemCounters().smoke, 11);
    EXPECT_EQ(itemCounters().highlight, 13);
    EXPECT_EQ(itemCounters().sound, 1);
    EXPECT_EQ(reader.ReadInt32B(), 777);
}

// The older form holds nothing of a sound effect item after its type id: what follows belongs to
// the next record.
TEST(SoundEffect, TheOlderFormReadsNothingOfIt) {
    CKWXOleStreamFile stream;
    {
        CSerializeInterface writer(stream, CSerializeInterface::modeStore);
        writer.WriteInt32B(777);
        writer.Flush();
    }
    stream.Rewind();
    CSerializeInterface reader(stream, CSerializeInterface::modeLoad);
    CSoundEffectItem item;
    const std::int32_t serial = item.serialNumber();
    EXPECT_TRUE(item.serialize(reader, false));
    EXPECT_EQ(item.serialNumber(), serial);
    EXPECT_EQ(reader.ReadInt32B(), 777);
}

}  // namespace
}  // namespace lumenreel::test
