#include "items/ItemCounters.h"

#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

ItemCounters& itemCounters() {
    static ItemCounters counters;
    return counters;
}

std::int32_t takeItemSerial() {
    return itemCounters().nextSerial++;
}

bool serializeEffectsIdsPool(CSerializeInterface& archive, bool withSoundNumber) {
    if (!archive.EnterSection(kSectionEffectsIdsPool))
        return false;
    ItemCounters& counters = itemCounters();
    std::int32_t reserved = 0;
    auto exchange = [&](const char* key, std::int32_t& value) {
        archive.SetKey(key);
        archive.Exchange(value);
    };
    exchange("pool_id_for_smoke", counters.smoke);
    exchange("pool_id_for_image", counters.image);
    exchange("pool_id_for_highlight", counters.highlight);
    for (const char* key : {"pool_id_unknown0", "pool_id_unknown1", "pool_id_unknown2"}) {
        reserved = 0;
        exchange(key, reserved);
    }
    archive.SetKey("pool_id_for_sound");
    const bool hasSound = withSoundNumber && archive.Exchange(counters.sound);
    if (!hasSound && !archive.IsStoring())
        counters.sound = 1;
    archive.LeaveSection();
    return true;
}

}  // namespace lumenreel
