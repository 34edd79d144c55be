#include "items/LogFont.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumenreel {

namespace {

constexpr std::size_t kWeightAt = 16;
constexpr std::size_t kItalicAt = 20;
constexpr std::size_t kCharsetAt = 23;
constexpr std::size_t kFaceAt = 28;
constexpr std::size_t kFaceLength = 32;
constexpr int kBoldWeight = 700;
// Pixel heights as fonts are made at 96 dots per inch; a damaged height stays readable.
constexpr int kMaxPixelHeight = 512;

std::int32_t int32At(const LogFontBytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t{bytes[at + i]} << (8 * i);
    return static_cast<std::int32_t>(value);
}

}  // namespace

LogFontBytes defaultLogFont() {
    LogFontBytes bytes{};
    bytes[0] = 16;
    bytes[kCharsetAt] = 1;
    std::memcpy(bytes.data() + kFaceAt, "Arial", 5);
    return bytes;
}

LogFont decodeLogFont(const LogFontBytes& bytes) {
    LogFont font;
    font.height = int32At(bytes, 0);
    font.weight = int32At(bytes, kWeightAt);
    font.italic = bytes[kItalicAt] != 0;
    font.underline = bytes[kItalicAt + 1] != 0;
    font.strikeOut = bytes[kItalicAt + 2] != 0;
    font.charset = bytes[kCharsetAt];
    const auto* face = reinterpret_cast<const char*>(bytes.data() + kFaceAt);
    font.face.assign(face, strnlen(face, kFaceLength));
    return font;
}

CharFormat charFormatFor(const LogFont& font) {
    CharFormat format;
    if (!font.face.empty())
        format.face = font.face;
    format.charset = font.charset;
    // Half points from pixels at 96 dpi: pt = px · 72 / 96.
    const std::int64_t pixels =
        std::clamp<std::int64_t>(std::llabs(font.height), 1, kMaxPixelHeight);
    format.halfPoints = static_cast<int>(pixels * 2 * 72 / 96);
    format.bold = font.weight >= kBoldWeight;
    format.italic = font.italic;
    format.underline = font.underline;
    format.strikeOut = font.strikeOut;
    return format;
}

}  // namespace lumenreel
