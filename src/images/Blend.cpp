#include "images/Blend.h"

#include <algorithm>
#include <cstring>

namespace lumenreel {

namespace {

// Per-channel weights; the kernels compute s[i] and d[i] with exactly the operations that build
// the tables (float product, truncation), which lets the compiler vectorise the rows.
struct Weights {
    float source;
    float destination;
};

Weights weightsFor(int alpha) {
    const float a = static_cast<float>(alpha) / 255.0f;
    return {a, 1.0f - a};
}

inline std::uint32_t mix(std::uint32_t source, std::uint32_t destination, Weights w) {
    return static_cast<std::uint32_t>(
               static_cast<int>(w.source * static_cast<float>(static_cast<int>(source)))) +
           static_cast<std::uint32_t>(
               static_cast<int>(w.destination * static_cast<float>(static_cast<int>(destination))));
}

inline std::uint32_t blendPixel(std::uint32_t source, std::uint32_t destination, Weights w) {
    const std::uint32_t blue = mix(source & 0xFF, destination & 0xFF, w);
    const std::uint32_t green = mix((source >> 8) & 0xFF, (destination >> 8) & 0xFF, w);
    const std::uint32_t red = mix((source >> 16) & 0xFF, (destination >> 16) & 0xFF, w);
    return (destination & 0xFF000000u) | ((red & 0xFF) << 16) | ((green & 0xFF) << 8) |
           (blue & 0xFF);
}

// The key test as a mask and value: a pixel is skipped when (pixel & keyMask) == key. With no
// key in force the mask is 0 and the value 1, which never matches.
struct KeyTest {
    std::uint32_t mask;
    std::uint32_t value;
};

KeyTest keyTestFor(std::uint32_t key, bool use32BitKey) {
    if (use32BitKey)
        return {0xFFFFFFFFu, key};
    if (key > 0xFFFFFF)
        return {0, 1};
    return {0x00FFFFFFu, key};
}

void blendRow32(const std::uint8_t* sourceRow, std::uint8_t* destinationRow, int count, Weights w,
                KeyTest keyTest) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t source;
        std::uint32_t destination;
        std::memcpy(&source, sourceRow + i * 4, 4);
        std::memcpy(&destination, destinationRow + i * 4, 4);
        const std::uint32_t blended = blendPixel(source, destination, w);
        const std::uint32_t result =
            (source & keyTest.mask) == keyTest.value ? destination : blended;
        std::memcpy(destinationRow + i * 4, &result, 4);
    }
}

void blendRow24(const std::uint8_t* sourceRow, std::uint8_t* destinationRow, int count, Weights w,
                KeyTest keyTest) {
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* s = sourceRow + i * 3;
        const std::uint32_t source = s[0] | (s[1] << 8) | (s[2] << 16);
        std::uint32_t destination;
        std::memcpy(&destination, destinationRow + i * 4, 4);
        if ((source & keyTest.mask) == keyTest.value)
            continue;
        const std::uint32_t result = blendPixel(source, destination, w);
        std::memcpy(destinationRow + i * 4, &result, 4);
    }
}

}  // namespace

BlendTables makeBlendTables(int alpha) {
    const Weights w = weightsFor(alpha);
    BlendTables tables;
    for (int i = 0; i < 256; ++i) {
        tables.source[i] =
            static_cast<std::uint8_t>(static_cast<int>(w.source * static_cast<float>(i)));
        tables.destination[i] =
            static_cast<std::uint8_t>(static_cast<int>(w.destination * static_cast<float>(i)));
    }
    return tables;
}

void blendPixels(const PixelView& source, const PixelView& destination, int x, int y, int alpha,
                 std::uint32_t key, bool use32BitKey) {
    if (source.empty() || destination.empty() || destination.bytesPerPixel != 4)
        return;
    if (source.bytesPerPixel != 3 && source.bytesPerPixel != 4)
        return;
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + source.width, destination.width));
    const int bottom = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{y} + source.height, destination.height));
    if (left >= right || top >= bottom)
        return;

    const Weights w = weightsFor(alpha);
    const KeyTest keyTest = keyTestFor(key, use32BitKey);
    const int count = right - left;
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* sourceRow =
            source.row(row - y) + static_cast<std::ptrdiff_t>(left - x) * source.bytesPerPixel;
        std::uint8_t* destinationRow = destination.row(row) + static_cast<std::ptrdiff_t>(left) * 4;
        if (source.bytesPerPixel == 4)
            blendRow32(sourceRow, destinationRow, count, w, keyTest);
        else
            blendRow24(sourceRow, destinationRow, count, w, keyTest);
    }
}

}  // namespace lumenreel
