#include "ImagePatterns.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumenreel::test {

std::uint32_t patternColour(int x, int y, int colours) {
    const std::uint32_t index = static_cast<std::uint32_t>(x * 7 + y * 13) % colours;
    // Spread the indices over the cube so neighbouring colours differ in every channel.
    return ((index * 53) % 256) << 16 | ((index * 97 + 31) % 256) << 8 | ((index * 151 + 7) % 256);
}

CImageExt makePattern(int width, int height, int bitsPerPixel, int colours) {
    CImageExt image;
    image.create(width, height, bitsPerPixel);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | patternColour(x, y, colours));
    }
    return image;
}

void writePpm(const std::filesystem::path& path, const CImageExt& image) {
    std::string header =
        "P6\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n255\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y);
            bytes.push_back(static_cast<std::uint8_t>(p >> 16));
            bytes.push_back(static_cast<std::uint8_t>(p >> 8));
            bytes.push_back(static_cast<std::uint8_t>(p));
        }
    }
    writeBytes(path, bytes);
}

void writePam(const std::filesystem::path& path, const CImageExt& image) {
    std::string header = "P7\nWIDTH " + std::to_string(image.width()) + "\nHEIGHT " +
                         std::to_string(image.height()) +
                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    const std::vector<std::uint8_t> pixels = rgbaOf(image);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    writeBytes(path, bytes);
}

std::vector<std::uint8_t> rgbaByConvert(const std::filesystem::path& path) {
    const auto raw = path.string() + ".rgba";
    const auto result =
        runCommand("convert " + shellQuote(path.string()) + " -depth 8 rgba:" + shellQuote(raw));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return readBytes(raw);
}

std::vector<std::uint8_t> rgbaOf(const CImageExt& image) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(p >> 16));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p));
            out.push_back(image.bpp() == 32 ? static_cast<std::uint8_t>(p >> 24) : 0xFF);
        }
    }
    return out;
}

CImageExt decodeFile(const std::filesystem::path& path) {
    CImageExt image;
    image.loadFromBytes(readBytes(path));
    return image;
}

}  // namespace lumenreel::test
