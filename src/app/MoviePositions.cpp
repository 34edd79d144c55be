#include "app/MoviePositions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "app/VersionedText.h"

namespace lumenreel {
namespace {

// Far beyond any movie; a larger time is no position (and would not print in a few digits).
constexpr float kMaxSeconds = 1e7f;

bool isPosition(float seconds) {
    return std::isfinite(seconds) && seconds >= 0.0f && seconds <= kMaxSeconds;
}

std::optional<float> secondsOf(std::string_view text) {
    float seconds = -1.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !isPosition(seconds))
        return std::nullopt;
    return seconds;
}

std::string secondsText(float seconds) {
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), seconds,
                                            std::chars_format::fixed, 3);
    return error == std::errc() ? std::string(digits.data(), end) : "0";
}

}  // namespace

std::optional<float> MoviePositions::find(const std::filesystem::path& movie) const {
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const auto& each) { return each.first == movie.string(); });
    if (entry == m_entries.end())
        return std::nullopt;
    return entry->second;
}

void MoviePositions::remember(const std::filesystem::path& movie, float seconds) {
    forget(movie);
    if (movie.string().find_first_of("\r\n") != std::string::npos || !isPosition(seconds))
        return;
    m_entries.emplace_back(movie.string(), seconds);
    if (m_entries.size() > kCapacity)
        m_entries.erase(m_entries.begin(), m_entries.end() - kCapacity);
}

void MoviePositions::forget(const std::filesystem::path& movie) {
    std::erase_if(m_entries, [&](const auto& each) { return each.first == movie.string(); });
}

std::string MoviePositions::text() const {
    std::vector<std::string> lines;
    for (const auto& [movie, seconds] : m_entries)
        lines.push_back(secondsText(seconds) + " " + movie);
    return versionedText(kHeader, lines);
}

std::optional<MoviePositions> MoviePositions::parse(std::string_view text, std::string& problem) {
    const std::optional<std::vector<std::string>> entries =
        versionedEntries(text, kHeader, problem);
    if (!entries)
        return std::nullopt;
    MoviePositions positions;
    for (const std::string& entry : *entries) {
        const std::size_t space = entry.find(' ');
        const std::optional<float> seconds =
            space == std::string::npos ? std::nullopt : secondsOf(entry.substr(0, space));
        const std::filesystem::path movie =
            space == std::string::npos ? std::string() : entry.substr(space + 1);
        if (!seconds || !movie.is_absolute()) {
            problem = "\"" + entry + "\" is no time and movie path";
            return std::nullopt;
        }
        positions.remember(movie, *seconds);
    }
    return positions;
}

}  // namespace lumenreel
