#include "sound/SoundStorage.h"

#include "storage/SerializeInterface.h"

namespace lumenreel {

void exchangeClassWord(CSerializeInterface& archive, const Guid& classId) {
    std::uint8_t word[4] = {classId.bytes[0], classId.bytes[1], classId.bytes[2], classId.bytes[3]};
    archive.SetKey("guid");
    archive.ExchangeBytes(word, sizeof word);
}

bool archiveCanHold(CSerializeInterface& archive, std::uint64_t bytes) {
    return bytes <= archive.GetLength();
}

std::vector<std::uint8_t> loadBlock(CSerializeInterface& archive, const char* key,
                                    std::uint32_t size) {
    if (size == 0 || !archiveCanHold(archive, size))
        return {};
    std::vector<std::uint8_t> bytes(size);
    archive.SetKey(key);
    if (!archive.ExchangeBytes(bytes.data(), size))
        return {};
    return bytes;
}

}  // namespace lumenreel
