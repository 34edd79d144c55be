#pragma once

#include <cstdint>
#include <vector>

#include "base/Guid.h"

class CSerializeInterface;

namespace lumenreel {

// The "guid" key: the first four bytes of the class identifier.
void exchangeClassWord(CSerializeInterface& archive, const Guid& classId);
// True when a stored count of bytes could be in the archive at all, so a damaged count never
// turns into a huge allocation.
bool archiveCanHold(CSerializeInterface& archive, std::uint64_t bytes);
// Loads a byte block of the current key, or nothing when it is not there in full.
std::vector<std::uint8_t> loadBlock(CSerializeInterface& archive, const char* key,
                                    std::uint32_t size);

}  // namespace lumenreel
