#include "app/ResourceTrailer.h"

#include <zlib.h>

#include <cstring>

#include "base/ByteOrder.h"
#include "base/ByteReader.h"
#include "base/File.h"

namespace lumenreel {
namespace {

std::uint32_t crcOf(const std::vector<std::uint8_t>& bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const uInt chunk = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        left -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

TrailerContents damaged(std::uint64_t fileSize, std::string problem) {
    TrailerContents contents;
    contents.status = TrailerContents::Status::damaged;
    contents.problem = std::move(problem);
    contents.programSize = fileSize;
    return contents;
}

}  // namespace

std::vector<std::uint8_t> makeResourceTrailer(const ResourceTable& resources) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> table;
    for (const auto& [id, bytes] : resources) {
        appendLE<std::uint32_t>(table, id);
        appendLE<std::uint64_t>(table, out.size());
        appendLE<std::uint64_t>(table, bytes.size());
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    out.insert(out.end(), table.begin(), table.end());
    const std::uint64_t appended = out.size();
    const std::uint32_t crc = crcOf(out);
    out.insert(out.end(), std::begin(trailer::kMagic), std::end(trailer::kMagic));
    appendLE<std::uint32_t>(out, trailer::kVersion);
    appendLE<std::uint32_t>(out, static_cast<std::uint32_t>(resources.size()));
    appendLE<std::uint64_t>(out, appended);
    appendLE<std::uint32_t>(out, crc);
    appendLE<std::uint32_t>(out, 0);
    return out;
}

TrailerContents readResourceTrailer(CFile& file) {
    TrailerContents contents;
    const std::uint64_t fileSize = file.GetLength();
    contents.programSize = fileSize;
    if (fileSize < trailer::kFooterSize)
        return contents;
    std::uint8_t footer[trailer::kFooterSize];
    if (!file.SeekTo(fileSize - trailer::kFooterSize) || !file.ReadExact(footer, sizeof footer))
        return damaged(fileSize, "the end of the program cannot be read");
    if (std::memcmp(footer, trailer::kMagic, sizeof trailer::kMagic) != 0)
        return contents;

    ByteReader reader(std::span<const std::uint8_t>(footer + sizeof trailer::kMagic,
                                                    sizeof footer - sizeof trailer::kMagic));
    const std::uint32_t version = reader.u32();
    const std::uint32_t count = reader.u32();
    const std::uint64_t appended = reader.u64();
    const std::uint32_t storedCrc = reader.u32();
    if (version != trailer::kVersion)
        return damaged(fileSize, "unknown bundle version " + std::to_string(version));
    if (count > trailer::kMaxEntries)
        return damaged(fileSize, "too many bundled resources");
    const std::uint64_t tableSize = std::uint64_t{count} * trailer::kEntrySize;
    if (appended > trailer::kMaxAppendedBytes || appended > fileSize - trailer::kFooterSize ||
        tableSize > appended)
        return damaged(fileSize, "the bundled data does not fit in the program");

    const std::uint64_t start = fileSize - trailer::kFooterSize - appended;
    std::vector<std::uint8_t> payload(appended);
    if (!file.SeekTo(start) || !file.ReadExact(payload.data(), payload.size()))
        return damaged(fileSize, "the bundled data cannot be read");
    if (crcOf(payload) != storedCrc)
        return damaged(fileSize, "the bundled data is corrupted (checksum mismatch)");

    const std::uint64_t dataSize = appended - tableSize;
    ByteReader table(std::span<const std::uint8_t>(payload).subspan(dataSize));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t id = table.u32();
        const std::uint64_t offset = table.u64();
        const std::uint64_t size = table.u64();
        if (offset > dataSize || size > dataSize - offset)
            return damaged(fileSize, "a bundled resource lies outside the bundled data");
        if (contents.resources.count(id) != 0)
            return damaged(fileSize, "resource " + std::to_string(id) + " is bundled twice");
        contents.resources[id].assign(payload.begin() + static_cast<std::ptrdiff_t>(offset),
                                      payload.begin() + static_cast<std::ptrdiff_t>(offset + size));
    }
    contents.status = TrailerContents::Status::ok;
    contents.programSize = start;
    return contents;
}

}  // namespace lumenreel
