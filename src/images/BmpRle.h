#pragma once

#include <array>
#include <cstdint>
#include <span>

class CImageExt;

namespace lumenreel {

// Expands run-length coded bitmap rows (8 or 4 bits per index, rows stored bottom-up) into a
// 24-bit picture of the given size. Runs and jumps that reach past the picture are clipped, and
// pixels the data never sets keep palette colour 0. False when the data ends before the picture
// or its end marker.
bool decodeBmpRle(std::span<const std::uint8_t> data, int bitsPerIndex, int width, int height,
                  const std::array<std::uint32_t, 256>& palette, CImageExt& image);

}  // namespace lumenreel
