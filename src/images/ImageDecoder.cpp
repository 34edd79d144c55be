#include "images/ImageDecoder.h"

#include <algorithm>
#include <array>

#include "images/BmpCodec.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"

namespace lumenreel {

namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> signature) {
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
}

}  // namespace

ImageFormat detectImageFormat(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 8> kPng = {0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};
    static constexpr std::array<std::uint8_t, 3> kJpeg = {0xFF, 0xD8, 0xFF};
    static constexpr std::array<std::uint8_t, 2> kBmp = {'B', 'M'};
    if (startsWith(bytes, kPng))
        return ImageFormat::png;
    if (startsWith(bytes, kJpeg))
        return ImageFormat::jpeg;
    if (startsWith(bytes, kBmp))
        return ImageFormat::bmp;
    return ImageFormat::unknown;
}

bool decodeImage(std::span<const std::uint8_t> bytes, CImageExt& image) {
    switch (detectImageFormat(bytes)) {
        case ImageFormat::png:
            return decodePng(bytes, image);
        case ImageFormat::jpeg:
            return decodeJpeg(bytes, image);
        case ImageFormat::bmp:
            return decodeBmp(bytes, image);
        case ImageFormat::unknown:
            break;
    }
    return false;
}

}  // namespace lumenreel
