#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Base64 with the standard alphabet and '=' padding, as stored byte blocks appear in XML text.
namespace lumenreel {

std::string base64Encode(std::span<const std::uint8_t> bytes);

// White space anywhere is skipped (hand-formatted files wrap long lines). Any other character
// outside the alphabet, a misplaced '=', or a length that is not a whole number of quads fails.
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

}  // namespace lumenreel
