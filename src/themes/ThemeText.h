#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumenreel {

// The lines of a text whose lines end at CR, LF or CR LF; a final end of line starts no line.
std::vector<std::string_view> textLines(std::string_view text);

// The text's first line (empty for an empty text).
std::string firstTextLine(std::span<const std::uint8_t> bytes);

// A whole decimal 32-bit integer, optionally negative, surrounding blanks allowed; nothing for
// anything else (letters, an empty line, a value out of range).
std::optional<std::int32_t> parseDecimal(std::string_view line);

}  // namespace lumenreel
