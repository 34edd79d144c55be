#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumenreel {

// A self-running demo: the player program with the movie (and optionally a skin package that
// replaces the compiled-in one) appended as resources. A trailer the program already carries
// is replaced, not stacked.
bool makeBundle(std::span<const std::uint8_t> player, std::span<const std::uint8_t> movie,
                std::optional<std::span<const std::uint8_t>> skin, std::vector<std::uint8_t>& out,
                std::string& reason);

}  // namespace lumenreel
