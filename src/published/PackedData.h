#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumenreel::zcd {

// Inflates one compressed block of a published demo. Fails (with a reason) on bad or incomplete
// data and on output beyond the limit.
std::optional<std::vector<std::uint8_t>> inflatePacked(std::span<const std::uint8_t> packed,
                                                       std::size_t limit, std::string& reason);
std::vector<std::uint8_t> deflatePacked(std::span<const std::uint8_t> data);

}  // namespace lumenreel::zcd
