#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CImageExt;

namespace lumenreel {

// JPEG through libjpeg-turbo: decodes to 24 bits (grey and CMYK files included); a file that
// ends before its last scan is refused rather than padded with grey. On failure the reason holds
// libjpeg's own message (or why the picture was refused).
bool decodeJpeg(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason);
// Baseline JPEG at the given quality (clamped to 0..100); the alpha of a 32-bit image is dropped.
bool encodeJpeg(const CImageExt& image, int quality, std::vector<std::uint8_t>& out);

}  // namespace lumenreel
