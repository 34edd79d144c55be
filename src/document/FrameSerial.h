#pragma once

#include <cstdint>

namespace lumenreel {

// The process-wide frame serial counter: the last serial number given to a frame. A document
// stores it and reading one sets it.
std::int32_t& frameSerialCounter();

}  // namespace lumenreel
