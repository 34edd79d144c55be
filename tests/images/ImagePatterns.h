#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "images/ImageExt.h"

namespace lumenreel::test {

// A picture whose pixel (x, y) takes one of `colours` distinct colours (0x00RRGGBB, alpha 0xFF),
// so palette formats can hold it exactly.
CImageExt makePattern(int width, int height, int bitsPerPixel, int colours = 1000);
std::uint32_t patternColour(int x, int y, int colours);

// Writes the colour bytes as a binary PPM, the form every outside tool reads.
void writePpm(const std::filesystem::path& path, const CImageExt& image);
// Writes all four bytes of a 32-bit picture as a PAM with alpha.
void writePam(const std::filesystem::path& path, const CImageExt& image);
// Pixels of any picture file as ImageMagick decodes them: 4 bytes (R, G, B, A) per pixel.
std::vector<std::uint8_t> rgbaByConvert(const std::filesystem::path& path);
// The same pixels of one of ours, as R, G, B, A (a 24-bit picture reading A as 0xFF).
std::vector<std::uint8_t> rgbaOf(const CImageExt& image);

CImageExt decodeFile(const std::filesystem::path& path);

}  // namespace lumenreel::test
