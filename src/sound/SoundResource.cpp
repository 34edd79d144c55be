#include "sound/SoundResource.h"

#include <array>

#include "base/ByteOrder.h"

namespace lumenreel {

Guid guidFromWords(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    std::array<std::uint8_t, 16> bytes{};
    storeLE(bytes.data(), a);
    storeLE(bytes.data() + 4, b);
    storeLE(bytes.data() + 8, c);
    storeLE(bytes.data() + 12, d);
    return Guid::fromBytes(bytes);
}

}  // namespace lumenreel
