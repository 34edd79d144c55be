#pragma once

#include <cstdint>

class CSerializeInterface;

namespace lumenreel {

// A colour stored as 4 bytes: red, green, blue, zero. A record of another length is not read and
// the colour keeps its value.
void exchangeColour(CSerializeInterface& archive, const char* key, std::uint32_t& colour);

}  // namespace lumenreel
