#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CImageExt;

namespace lumenreel {

// PNG through libpng. Pictures with transparency decode to 32 bits (BGRA), others to 24 (BGR);
// 16-bit, grey and palette files are reduced to 8-bit colour.
bool decodePng(std::span<const std::uint8_t> bytes, CImageExt& image);
// A 24-bit image is written as RGB, a 32-bit one as RGBA with its alpha kept.
bool encodePng(const CImageExt& image, std::vector<std::uint8_t>& out);

}  // namespace lumenreel
