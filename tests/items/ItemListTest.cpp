#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "items/DrawCommonItemListManager.h"
#include "items/ItemChildren.h"
#include "items/ItemSchema.h"
#include "items/OpaqueItem.h"
#include "items/SoundEffectItem.h"
#include "support/StoredKeyPrint.h"

namespace lumenreel::test {
namespace {

constexpr Guid kUnknownKind = Guid::fromString("{01234567-89AB-CDEF-0123-456789ABCDEF}");

std::vector<std::uint8_t> storedList(CDrawCommonItemListManager& list) {
    return keyedBytes([&](CSerializeInterface& archive) { EXPECT_TRUE(list.serialize(archive)); });
}

void readList(CDrawCommonItemListManager& list, const std::vector<std::uint8_t>& bytes) {
    readKeyed(bytes, [&](CSerializeInterface& archive) { EXPECT_TRUE(list.serialize(archive)); });
}

TEST(ItemList, KnownAndUnknownKindsRoundTrip) {
    CDrawCommonItemListManager list;
    auto sound = std::make_unique<CSoundEffectItem>();
    sound->properties().name = "click";
    sound->setPosition(12, 34);
    sound->addChild(77);
    const std::int32_t soundSerial = sound->serialNumber();
    CDrawItem_link placement;
    placement.visStart = 0.5f;
    placement.fadeType = kFadeOut;
    list.insert(placement, std::move(sound));
    auto unknown = std::make_unique<COpaqueItem>(kUnknownKind);
    unknown->properties().name = "from elsewhere";
    list.insert({}, std::move(unknown));
    CDrawItem_link reference;
    reference.status = 1;
    reference.uniqueId = 4242;
    list.insert(reference, nullptr);

    const std::vector<std::uint8_t> original = storedList(list);
    CDrawCommonItemListManager read;
    readList(read, original);
    ASSERT_EQ(read.count(), 3);
    EXPECT_TRUE(read.problems().empty());
    CDrawCommonItem* item = read.itemAt(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->typeId(), kSoundEffectTypeId);
    EXPECT_EQ(item->serialNumber(), soundSerial);
    EXPECT_EQ(item->properties().name, "click");
    EXPECT_EQ(item->position(), (Point{12, 34}));
    EXPECT_EQ(item->children(), std::vector<std::int32_t>{77});
    EXPECT_FLOAT_EQ(read.placementAt(0)->visStart, 0.5f);
    EXPECT_EQ(read.placementAt(0)->fadeType, kFadeOut);
    ASSERT_NE(read.itemAt(1), nullptr);
    EXPECT_EQ(read.itemAt(1)->typeId(), kUnknownKind);
    EXPECT_EQ(read.itemAt(1)->properties().name, "from elsewhere");
    EXPECT_EQ(read.itemAt(2), nullptr);
    EXPECT_EQ(read.placementAt(2)->uniqueId, 4242);
    // Written back, the list (the unknown item included) is what was read, byte for byte.
    EXPECT_EQ(storedList(read), original);
}

TEST(ItemList, AnUnknownKindKeepsEveryKeyItWasStoredWith) {
    const std::vector<std::uint8_t> original = keyedBytes([](CSerializeInterface& archive) {
        archive.EnterSection("ITEMS_MANAGER");
        archive.SetKey("num_all_links");
        archive.WriteInt32B(1);
        archive.EnterSection("Link0");
        CDrawItem_link link;
        link.uniqueId = 31;
        link.zPosition = 0;
        link.serialize(archive);
        archive.EnterSection("OBJECT_DATA");
        archive.SetKey("guid");
        archive.WriteBytes(kUnknownKind.bytes.data(), 16);
        archive.SetKey("effect_id");
        archive.WriteInt32B(31);
        archive.SetKey("child_cnt");
        archive.WriteInt32B(0);
        archive.EnterSection("BASE_OBJECT");
        archive.LeaveSection();
        archive.SetKey("position_x");
        archive.WriteInt32B(5);
        archive.SetKey("position_y");
        archive.WriteInt32B(6);
        archive.SetKey("itemname");
        archive.WriteString("from a newer editor");
        archive.SetKey("tint");
        archive.WriteInt32B(0x123456);
        archive.EnterSection("SHAPE");
        archive.SetKey("corner");
        archive.WriteRect({1, 2, 3, 4});
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
    });
    CDrawCommonItemListManager read;
    readList(read, original);
    ASSERT_EQ(read.count(), 1);
    ASSERT_NE(read.itemAt(0), nullptr);
    EXPECT_EQ(read.itemAt(0)->properties().name, "from a newer editor");

    auto keysOf = [](const std::vector<std::uint8_t>& bytes) {
        std::vector<StoredKey> keys;
        readKeyed(bytes, [&](CSerializeInterface& archive) {
            EXPECT_TRUE(archive.ExchangeSectionKeys(keys));
        });
        return keys;
    };
    // Written back, it holds every key it was read with.
    EXPECT_EQ(keysOf(storedList(read)), keysOf(original));
}

TEST(ItemList, OutOfRangeIndexesYieldNone) {
    CDrawCommonItemListManager list;
    list.insert({}, std::make_unique<CSoundEffectItem>());
    EXPECT_EQ(list.itemAt(-1), nullptr);
    EXPECT_EQ(list.placementAt(1), nullptr);
}

TEST(ItemList, InsertAtTheZPositionAndRenumber) {
    CDrawCommonItemListManager list;
    auto a = std::make_unique<CSoundEffectItem>();
    auto b = std::make_unique<CSoundEffectItem>();
    CDrawCommonItem* first = a.get();
    CDrawCommonItem* second = b.get();
    list.insert({}, std::move(a));
    CDrawItem_link front;
    front.zPosition = 0;
    list.insert(front, std::move(b));
    EXPECT_EQ(list.itemAt(0), second);
    EXPECT_EQ(list.placementOf(*first)->zPosition, 1);
    list.remove(*second);
    EXPECT_EQ(list.placementOf(*first)->zPosition, 0);
}

// Writes one placement whose item record the callback fills after its type id.
std::vector<std::uint8_t> onePlacement(int storedCount,
                                       const std::function<void(CSerializeInterface&)>& item) {
    return keyedBytes([&](CSerializeInterface& archive) {
        archive.EnterSection("ITEMS_MANAGER");
        archive.SetKey("num_all_links");
        archive.WriteInt32B(storedCount);
        archive.EnterSection("Link0");
        CDrawItem_link link;
        link.serialize(archive);
        archive.EnterSection("OBJECT_DATA");
        archive.SetKey("guid");
        archive.WriteBytes(kSoundEffectTypeId.bytes.data(), 16);
        item(archive);
        archive.LeaveSection();
        archive.LeaveSection();
        archive.LeaveSection();
    });
}

TEST(ItemList, ABadItemIsSkippedWithItsReason) {
    CDrawCommonItemListManager list;
    readList(list, onePlacement(1, [](CSerializeInterface& archive) {
                 archive.SetKey("child_cnt");
                 archive.WriteInt32B(-5);
             }));
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0], "placement 0: child count -5 out of range");
}

TEST(ItemList, AHugePlacementCountIsRefused) {
    CDrawCommonItemListManager list;
    readList(list, onePlacement(2000000000, [](CSerializeInterface&) {}));
    EXPECT_EQ(list.count(), 0);
    ASSERT_FALSE(list.problems().empty());
    EXPECT_EQ(list.problems()[0], "placement count 2000000000 out of range");
}

TEST(ItemList, AMissingPlacementEndsTheListWithAReason) {
    CDrawCommonItemListManager list;
    readList(list, onePlacement(3, [](CSerializeInterface& archive) {
                 archive.SetKey("child_cnt");
                 archive.WriteInt32B(0);
                 archive.EnterSection("BASE_OBJECT");
                 archive.LeaveSection();
             }));
    EXPECT_EQ(list.count(), 1);
    ASSERT_EQ(list.problems().size(), 1u);
    EXPECT_EQ(list.problems()[0], "placement 1: missing");
}

}  // namespace
}  // namespace lumenreel::test

namespace lumenreel::test {
namespace {

TEST(ItemChildren, ANewSerialNumberIsFollowedByEveryChildList) {
    CDrawCommonItemListManager list;
    std::vector<CDrawCommonItem*> items;
    for (int i = 0; i < 3; ++i) {
        auto item = std::make_unique<CSoundEffectItem>();
        items.push_back(item.get());
        list.insert({}, std::move(item));
    }
    items[0]->addChild(40);
    items[0]->addChild(41);
    items[2]->addChild(40);
    items[2]->addChild(50);
    items[2]->addChild(41);
    EXPECT_EQ(findChildOwner(list, 50), items[2]);
    EXPECT_EQ(findChildOwner(list, 99), nullptr);
    changeSerialNumber(*items[1], list, 40, 50);
    EXPECT_EQ(items[1]->serialNumber(), 50);
    EXPECT_EQ(items[0]->children(), (std::vector<std::int32_t>{50, 41}));
    // 50 was already a child there: the old entry goes instead of doubling it.
    EXPECT_EQ(items[2]->children(), (std::vector<std::int32_t>{50, 41}));
}

}  // namespace
}  // namespace lumenreel::test
