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

using Decode = bool (*)(std::span<const std::uint8_t>, CImageExt&, std::string&);

struct Codec {
    const char* name;
    Decode decode;
};

// The BMP decoder tells no reason; the format name alone has to do.
bool decodeBmpFile(std::span<const std::uint8_t> bytes, CImageExt& image, std::string&) {
    return decodeBmp(bytes, image);
}

const Codec* codecFor(ImageFormat format) {
    static constexpr Codec kPng{"PNG", decodePng};
    static constexpr Codec kJpeg{"JPEG", decodeJpeg};
    static constexpr Codec kBmp{"BMP", decodeBmpFile};
    switch (format) {
        case ImageFormat::png:
            return &kPng;
        case ImageFormat::jpeg:
            return &kJpeg;
        case ImageFormat::bmp:
            return &kBmp;
        case ImageFormat::unknown:
            break;
    }
    return nullptr;
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

bool decodeImage(std::span<const std::uint8_t> bytes, CImageExt& image, std::string& reason) {
    const Codec* codec = codecFor(detectImageFormat(bytes));
    if (!codec) {
        reason = "not a PNG, JPEG or BMP file";
        return false;
    }
    std::string decoderReason;
    if (codec->decode(bytes, image, decoderReason))
        return true;
    reason =
        std::string(codec->name) + ": " + (decoderReason.empty() ? "undecodable" : decoderReason);
    return false;
}

bool decodeImage(std::span<const std::uint8_t> bytes, CImageExt& image) {
    std::string unused;
    return decodeImage(bytes, image, unused);
}

}  // namespace lumenreel
