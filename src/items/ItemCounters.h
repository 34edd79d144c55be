#pragma once

#include <cstdint>

class CSerializeInterface;

namespace lumenreel {

// The process-wide numbering of items: the serial number the next item takes, and the running
// numbers that name new captions, pictures, highlights and sound effects. A document stores them
// and sets them when it is read.
struct ItemCounters {
    std::int32_t nextSerial = 1;
    std::int32_t smoke = 1;
    std::int32_t image = 1;
    std::int32_t highlight = 1;
    std::int32_t sound = 1;
};

ItemCounters& itemCounters();

// Hands out the next serial number and moves the counter on.
std::int32_t takeItemSerial();

// Writes or reads the "Effects_ids_pool" section. The older form has no "pool_id_for_sound" (its
// values follow each other unnamed, so it must not be asked for); reading without it sets that
// number to 1. False when the section cannot be entered.
bool serializeEffectsIdsPool(CSerializeInterface& archive, bool withSoundNumber = true);

}  // namespace lumenreel
