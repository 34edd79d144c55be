#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumenreel {

// The small text files the player keeps about its user: a first line naming what the file holds
// and the version of its form ("lumenreel-player settings 1"), then one entry a line. Empty
// lines and lines starting with '#' are comments.

// The entries of a text that opens with this header; nothing, with the reason, for any other
// text (another version, another kind of file, bytes that are no text).
std::optional<std::vector<std::string>> versionedEntries(std::string_view text,
                                                         std::string_view header,
                                                         std::string& problem);

// The header line, then each entry on its own line.
std::string versionedText(std::string_view header, const std::vector<std::string>& entries);

}  // namespace lumenreel
