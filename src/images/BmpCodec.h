#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CImageExt;

namespace lumenreel {

// Windows bitmap files: core and info headers (up to version 5), 1, 4 and 8 bits with a palette
// (4 and 8 also run-length coded), 16 and 32 bits plain or with bit-field masks, 24 bits,
// bottom-up or top-down rows. 32-bit files decode to 32 bits (alpha from the alpha mask, else
// opaque), the others to 24.
bool decodeBmp(std::span<const std::uint8_t> bytes, CImageExt& image);

struct BmpWriteOptions {
    // 0 (or the image's own 24 or 32) writes the pixels as they are; 1, 4 and 8 write a palette;
    // 16 writes 5 bits per channel, or 5-6-5 with bit-field masks when rgb565 is set.
    int bitsPerPixel = 0;
    bool rgb565 = false;
    // Colours 0x00RRGGBB for the palette depths; empty builds it from the picture's own colours.
    // Writing fails when the picture has a colour the palette lacks, or more than the depth holds.
    std::vector<std::uint32_t> palette;
};

// Writes the image bottom-up, uncompressed; out is left empty when it cannot be written.
bool encodeBmp(const CImageExt& image, const BmpWriteOptions& options,
               std::vector<std::uint8_t>& out);
// Writes the image at its own depth (24 or 32 bits).
bool encodeBmp(const CImageExt& image, std::vector<std::uint8_t>& out);
// Writes a 1-bit black-and-white file, as cursor masks are stored: pixels brighter than mid-grey
// become 1 (white).
bool encodeMonochromeBmp(const CImageExt& image, std::vector<std::uint8_t>& out);

}  // namespace lumenreel
