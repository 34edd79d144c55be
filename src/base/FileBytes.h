#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumenreel {

// A whole file read into memory, or why it could not be.
struct FileBytes {
    std::vector<std::uint8_t> bytes;
    // Empty when bytes hold the file; otherwise one line for the user.
    std::string error;
    // The path names nothing; callers that report a missing input differently look here.
    bool missing = false;

    bool ok() const { return error.empty(); }
};

// Reads a regular file of at most limit bytes. Directories, pipes and devices are refused before
// any read, and no more than limit + 1 bytes are ever read, so a file whose size is not what its
// metadata says cannot make the caller allocate more than the limit.
FileBytes readFileBytes(const std::filesystem::path& path, std::uint64_t limit);

}  // namespace lumenreel
