#include "themes/ThemeText.h"

#include <charconv>

namespace lumenreel {

std::vector<std::string_view> textLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::string firstTextLine(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, end));
}

std::optional<std::int32_t> parseDecimal(std::string_view line) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    std::int32_t value = 0;
    const char* end = line.data() + line.size();
    auto [stop, error] = std::from_chars(line.data(), end, value);
    if (line.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

}  // namespace lumenreel
