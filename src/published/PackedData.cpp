#include "published/PackedData.h"

#include "storage/GzipCompression.h"

namespace lumenreel::zcd {

std::optional<std::vector<std::uint8_t>> inflatePacked(std::span<const std::uint8_t> packed,
                                                       std::size_t limit, std::string& reason) {
    GzipMemReader reader(packed, limit);
    if (reader.IsTruncated()) {
        reason = "inflates to more than " + std::to_string(limit) + " bytes";
        return std::nullopt;
    }
    if (reader.IsBad()) {
        reason = "bad compressed data";
        return std::nullopt;
    }
    return reader.Detach();
}

std::vector<std::uint8_t> deflatePacked(std::span<const std::uint8_t> data) {
    return GzipMemWriter(data).Detach();
}

}  // namespace lumenreel::zcd
