#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CFile;

namespace lumenreel {

// Resources appended to a copy of the player program: their bytes one after another, a table of
// (id, offset, size) records, and a fixed footer at the very end holding a magic, the count, the
// size of everything appended and a CRC-32 of it. The footer is what the player looks for first,
// so a program without one is simply a program without appended resources.
namespace trailer {
inline constexpr char kMagic[8] = {'L', 'R', 'B', 'U', 'N', 'D', 'L', 'E'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kFooterSize = 32;
inline constexpr std::uint32_t kEntrySize = 20;
inline constexpr std::uint32_t kMaxEntries = 16;
// A bundled movie is read into memory whole; refuse sizes no movie reaches.
inline constexpr std::uint64_t kMaxAppendedBytes = std::uint64_t{1} << 31;
}  // namespace trailer

using ResourceTable = std::map<std::uint32_t, std::vector<std::uint8_t>>;

// The bytes to append to a program for these resources.
std::vector<std::uint8_t> makeResourceTrailer(const ResourceTable& resources);

struct TrailerContents {
    enum class Status { absent, ok, damaged };
    Status status = Status::absent;
    std::string problem;  // why a damaged trailer was ignored
    // Where the program proper ends: the whole file unless a trailer was found.
    std::uint64_t programSize = 0;
    ResourceTable resources;
};

// Looks for a trailer at the end of the file and checks all of it before trusting any of it.
TrailerContents readResourceTrailer(CFile& file);

}  // namespace lumenreel
