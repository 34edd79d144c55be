#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/MoviePositions.h"
#include "app/PlayerSettings.h"

namespace lumenreel {

// The player's settings and the movies' positions, read from their files at start and written
// back at the end. A missing file leaves the defaults; one that cannot be used is ignored with a
// message and replaced at the next save. Without a file name nothing is read or kept.
class PlayerMemory {
public:
    struct Files {
        std::optional<std::filesystem::path> settings;
        std::optional<std::filesystem::path> positions;
    };
    // lumenreel/player.conf in the XDG config folder, lumenreel/positions in the state folder.
    static Files xdgFiles();

    explicit PlayerMemory(Files files) : m_files(std::move(files)) {}

    // One message for each file that was ignored.
    std::vector<std::string> load();
    // One message for each file that could not be written; the folders are made as needed.
    std::vector<std::string> save() const;

    PlayerSettings& settings() { return m_settings; }
    MoviePositions& positions() { return m_positions; }

private:
    Files m_files;
    PlayerSettings m_settings;
    MoviePositions m_positions;
};

}  // namespace lumenreel
