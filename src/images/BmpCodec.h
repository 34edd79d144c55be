#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CImageExt;

namespace lumenreel {

// Windows bitmap files: core and info headers (up to version 5), 1, 4 and 8 bits with a palette,
// 16 and 32 bits plain or with bit-field masks, 24 bits, bottom-up or top-down rows. 32-bit files
// decode to 32 bits (alpha from the alpha mask, else opaque), the others to 24. Run-length
// compressed files are refused.
bool decodeBmp(std::span<const std::uint8_t> bytes, CImageExt& image);
// Writes the image at its own depth (24 or 32 bits), bottom-up, uncompressed.
bool encodeBmp(const CImageExt& image, std::vector<std::uint8_t>& out);
// Writes a 1-bit black-and-white file, as cursor masks are stored: pixels brighter than mid-grey
// become 1 (white).
bool encodeMonochromeBmp(const CImageExt& image, std::vector<std::uint8_t>& out);

}  // namespace lumenreel
