#include "themes/ThemeFixtures.h"

#include <zlib.h>

#include "images/PngCodec.h"
#include "support/TestSupport.h"

namespace lumenreel::test {

CImageExt plainTemplate(int width, int height) {
    CImageExt picture;
    picture.create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            picture.setPixel(x, y, edge ? 0xFFFFFF : 0xE0E0E0);
        }
    return picture;
}

std::vector<std::uint8_t> pngBytes(const CImageExt& picture) {
    std::vector<std::uint8_t> bytes;
    encodePng(picture, bytes);
    return bytes;
}

namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift : {24, 16, 8, 0})
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    png.insert(png.end(), body.begin(), body.end());
    appendBigEndian(png, static_cast<std::uint32_t>(crc32(0, body.data(), body.size())));
}

}  // namespace

std::vector<std::uint8_t> pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", {});
    appendChunk(png, "IEND", {});
    return png;
}

void writeItemSet(const std::filesystem::path& root, const std::string& folder,
                  const std::string& name, const char* areas,
                  const std::vector<std::vector<std::uint8_t>>& pictures) {
    const std::filesystem::path dir = root / "BALLOONS" / folder;
    std::filesystem::create_directories(dir);
    writeBytes(dir / "itemname.txt", std::vector<std::uint8_t>(name.begin(), name.end()));
    if (areas) {
        const std::string text = areas;
        writeBytes(dir / "areas.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    for (std::size_t i = 0; i < pictures.size(); ++i)
        if (!pictures[i].empty())
            writeBytes(dir / ("balloon" + std::to_string(i) + ".png"), pictures[i]);
}

std::string areasEntry(int sx, int sy, int left, int top, int right, int bottom) {
    std::string text;
    for (int value : {sx, sy, left, top, right, bottom, 0})
        text += std::to_string(value) + "\n";
    return text;
}

}  // namespace lumenreel::test
