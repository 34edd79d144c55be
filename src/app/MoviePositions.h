#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumenreel {

// Where each movie opened from a file was left, for the next time it is opened. Kept as text,
// the least recently left first, one movie a line:
//
//     lumenreel-player positions 1
//     42.500 /home/ann/movies/tour.zcd
//
// Only the newest kCapacity movies are kept, and a movie whose path holds a line break (LF or CR)
// is not.
class MoviePositions {
public:
    static constexpr std::size_t kCapacity = 200;
    static constexpr std::string_view kHeader = "lumenreel-player positions 1";

    std::optional<float> find(const std::filesystem::path& movie) const;
    void remember(const std::filesystem::path& movie, float seconds);
    void forget(const std::filesystem::path& movie);

    std::string text() const;
    // Nothing, with the reason, when any line is not a time and an absolute path.
    static std::optional<MoviePositions> parse(std::string_view text, std::string& problem);

private:
    std::vector<std::pair<std::string, float>> m_entries;
};

}  // namespace lumenreel
