#include "app/ProgramImage.h"

#include <array>
#include <cstring>

#include "base/ByteOrder.h"
#include "base/File.h"

namespace lumenreel {

namespace {

constexpr std::size_t kHeaderBytes = 64;
constexpr std::uint8_t kClass64 = 2;
constexpr std::uint8_t kLittleEndian = 1;
constexpr std::size_t kSectionTableOffset = 0x28;
constexpr std::size_t kSectionEntrySize = 0x3A;
constexpr std::size_t kSectionCount = 0x3C;

}  // namespace

std::optional<std::uint64_t> programImageEnd(CFile& file) {
    std::array<std::uint8_t, kHeaderBytes> header{};
    if (file.Seek(0, CFile::SeekFrom::begin) != 0 ||
        file.Read(header.data(), header.size()) != header.size())
        return std::nullopt;
    if (std::memcmp(header.data(),
                    "\x7F"
                    "ELF",
                    4) != 0 ||
        header[4] != kClass64 || header[5] != kLittleEndian)
        return std::nullopt;
    const std::uint64_t table = loadLE<std::uint64_t>(header.data() + kSectionTableOffset);
    const std::uint64_t entry = loadLE<std::uint16_t>(header.data() + kSectionEntrySize);
    const std::uint64_t count = loadLE<std::uint16_t>(header.data() + kSectionCount);
    return table + entry * count;
}

}  // namespace lumenreel
