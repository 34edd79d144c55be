#pragma once

#include <optional>
#include <string_view>

// Groups of RTF control words the reader treats alike.
namespace lumenreel {

// Destinations whose text is not part of the document (tables, metadata, pictures, notes).
bool isSkippedDestination(std::string_view word);
// The underline styles; all draw as a single underline.
bool isUnderlineWord(std::string_view word);
// The character a control word such as \tab or \emdash stands for.
std::optional<char32_t> characterOfWord(std::string_view word);

}  // namespace lumenreel
