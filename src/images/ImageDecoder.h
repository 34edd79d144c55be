#pragma once

#include <cstdint>
#include <span>
#include <string>

class CImageExt;

namespace lumenreel {

enum class ImageFormat { unknown, png, jpeg, bmp };

// The format the bytes are in, told by their signature.
ImageFormat detectImageFormat(std::span<const std::uint8_t> bytes);
// Decodes PNG, JPEG or BMP bytes into a 24- or 32-bit picture; false (image untouched) otherwise,
// with the reason naming the format and, for PNG and JPEG, holding the decoder's own words.
bool decodeImage(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason);
bool decodeImage(std::span<const std::uint8_t> bytes, CImageExt& image);

}  // namespace lumenreel
