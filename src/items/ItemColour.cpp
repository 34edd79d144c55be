#include "items/ItemColour.h"

#include <array>

#include "storage/SerializeInterface.h"

namespace lumenreel {

void exchangeColour(CSerializeInterface& archive, const char* key, std::uint32_t& colour) {
    std::array<std::uint8_t, 4> bytes{};
    for (int i = 0; i < 3; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(colour >> (8 * i));
    archive.SetKey(key);
    if (!archive.ExchangeBytes(bytes.data(), bytes.size()) || archive.IsStoring())
        return;
    colour = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16;
}

}  // namespace lumenreel
