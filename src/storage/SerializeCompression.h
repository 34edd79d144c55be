#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Compressed blobs of the serialization interface: one gzip member at the highest level.
namespace lumenreel {

std::vector<std::uint8_t> compressBlob(std::span<const std::uint8_t> data);

// The member's content; nothing when it is damaged or would exceed the limit. Data without the
// gzip magic is its own content.
std::optional<std::vector<std::uint8_t>> decompressBlob(std::span<const std::uint8_t> member,
                                                        std::uint64_t limit);

}  // namespace lumenreel
