#pragma once

#include <cstddef>
#include <cstdint>

// Field values of the bitmap file format shared by its reader and writer.
namespace lumenreel {

inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;
inline constexpr std::uint32_t kCompressionBitFields = 3;
inline constexpr std::uint32_t kCompressionAlphaBitFields = 6;
inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::uint32_t kCoreHeaderSize = 12;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kVersion4HeaderSize = 108;

}  // namespace lumenreel
