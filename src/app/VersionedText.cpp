#include "app/VersionedText.h"

#include <algorithm>

namespace lumenreel {
namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

bool isComment(std::string_view line) {
    return line.empty() || line.front() == '#';
}

}  // namespace

std::optional<std::vector<std::string>> versionedEntries(std::string_view text,
                                                         std::string_view header,
                                                         std::string& problem) {
    if (text.find('\0') != std::string_view::npos) {
        problem = "it holds bytes that are no text";
        return std::nullopt;
    }
    const std::vector<std::string_view> lines = linesOf(text);
    if (lines.empty() || lines.front() != header) {
        problem = "it does not start with \"" + std::string(header) + "\"";
        return std::nullopt;
    }
    std::vector<std::string> entries;
    for (auto line = lines.begin() + 1; line != lines.end(); ++line)
        if (!isComment(*line))
            entries.emplace_back(*line);
    return entries;
}

std::string versionedText(std::string_view header, const std::vector<std::string>& entries) {
    std::string text(header);
    text += '\n';
    for (const std::string& entry : entries) {
        text += entry;
        text += '\n';
    }
    return text;
}

}  // namespace lumenreel
