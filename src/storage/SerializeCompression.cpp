#include "storage/SerializeCompression.h"

#include <algorithm>
#include <limits>

#include "storage/GzipCompression.h"

namespace lumenreel {

std::vector<std::uint8_t> compressBlob(std::span<const std::uint8_t> data) {
    return GzipMemWriter(data).Detach();
}

std::optional<std::vector<std::uint8_t>> decompressBlob(std::span<const std::uint8_t> member,
                                                        std::uint64_t limit) {
    auto outputLimit = static_cast<std::size_t>(
        std::min<std::uint64_t>(limit, std::numeric_limits<std::size_t>::max()));
    GzipMemReader reader(member, outputLimit);
    if (reader.IsBad() || reader.IsTruncated())
        return std::nullopt;
    return reader.Detach();
}

}  // namespace lumenreel
