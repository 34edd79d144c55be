#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CImageExt;

namespace lumenreel {

// PNG through libpng. Pictures with transparency decode to 32 bits (BGRA), others to 24 (BGR);
// 16-bit, grey and palette files are reduced to 8-bit colour. On failure the reason holds
// libpng's own words (or why the picture was refused before decoding).
bool decodePng(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason);
bool decodePng(std::span<const std::uint8_t> bytes, CImageExt& image);
// A 24-bit image is written as RGB, a 32-bit one as RGBA with its alpha kept.
bool encodePng(const CImageExt& image, std::vector<std::uint8_t>& out);

}  // namespace lumenreel
