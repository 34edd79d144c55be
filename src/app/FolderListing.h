#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lumenreel {

// What the built-in file list offers in one folder: its folders, then its movie files (*.zcd,
// *.zcs in any case), each group by name regardless of case; hidden entries are left out.
struct FolderListing {
    struct Entry {
        std::string name;
        bool folder = false;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    std::filesystem::path folder;
    std::vector<Entry> entries;
    // Why the folder could not be read; its entries are then empty.
    std::string error;
};

FolderListing listFolder(const std::filesystem::path& folder);

// True for a name the player opens as a movie.
bool isMovieFileName(const std::string& name);

}  // namespace lumenreel
