#include "themes/BalloonAreas.h"

#include <array>

#include "themes/ThemeText.h"

namespace lumenreel {

namespace {

constexpr int kLinesPerEntry = 7;
constexpr const char* kValueNames[] = {"split x",       "split y",         "text area left",
                                       "text area top", "text area right", "text area bottom"};

BalloonAreasEntry parseEntry(const std::vector<std::string_view>& lines, std::size_t first) {
    std::array<std::int32_t, 6> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<std::int32_t> value = parseDecimal(lines[first + i]);
        if (!value)
            return {std::nullopt, std::string(kValueNames[i]) + " is not a number"};
        values[i] = *value;
    }
    return {BalloonAreas{{values[0], values[1]}, {values[2], values[3], values[4], values[5]}}, {}};
}

}  // namespace

std::vector<BalloonAreasEntry> parseBalloonAreas(std::string_view text) {
    const std::vector<std::string_view> lines = textLines(text);
    std::vector<BalloonAreasEntry> entries;
    for (std::size_t first = 0;
         entries.size() < kBalloonTemplateSlots && first + kLinesPerEntry <= lines.size();
         first += kLinesPerEntry)
        entries.push_back(parseEntry(lines, first));
    return entries;
}

std::string balloonAreasProblem(const BalloonAreas& areas, int width, int height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (areas.split.x < 0 || areas.split.y < 0 || areas.split.x >= width || areas.split.y >= height)
        return "split point (" + std::to_string(areas.split.x) + ", " +
               std::to_string(areas.split.y) + ") outside the " + size + " template";
    const Rect& a = areas.textArea;
    if (a.left > a.right || a.top > a.bottom)
        return "text area inverted";
    if (a.left < 0 || a.top < 0 || a.right > width || a.bottom > height)
        return "text area outside the " + size + " template";
    return {};
}

}  // namespace lumenreel
