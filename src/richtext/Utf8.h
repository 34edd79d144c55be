#pragma once

#include <string>
#include <string_view>

namespace lumenreel {

void appendUtf8(std::string& out, char32_t character);

// Decodes the character at text[pos] and moves pos past it; a malformed sequence gives U+FFFD
// for its first byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos);

}  // namespace lumenreel
