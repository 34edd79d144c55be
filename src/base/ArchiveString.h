#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteReader.h"

class CFile;

// The archive string form of stored 8-bit strings: a length prefix (one byte below 255; else 0xFF
// and 16 bits below 0xFFFE; else 0xFF, 0xFFFF and 32 bits) and the characters, no terminator.
namespace lumenreel {

void appendArchiveString(std::vector<std::uint8_t>& out, std::string_view text);
bool writeArchiveString(CFile& file, std::string_view text);

// Reads one string; also accepts the UTF-16 form (prefix 0xFF 0xFFFE, then a length in characters)
// and converts it to the ANSI code page. Fails on a length longer than the data that remains.
std::optional<std::string> readArchiveString(ByteReader& reader);
std::optional<std::string> readArchiveString(CFile& file);

}  // namespace lumenreel
