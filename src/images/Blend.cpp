#include "images/Blend.h"

#include "images/BlendKernel.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace lumenreel {

namespace {

// A 16-bit multiplier m with (i × m) >> 16 == table[i] for every i, found once per blend: rows
// then blend with vector multiplies whose results are the tables' bit for bit. Only the identity
// table (alpha 255 for the source, 0 for the destination) has none; those alphas have their own
// paths.
std::optional<std::uint32_t> multiplierFor(const std::array<std::uint8_t, 256>& table) {
    std::uint64_t low = 0;
    std::uint64_t high = 0xFFFF;
    for (std::uint64_t i = 1; i < 256; ++i) {
        low = std::max(low, (table[i] * std::uint64_t{65536} + i - 1) / i);
        high = std::min(high, ((table[i] + std::uint64_t{1}) * 65536 - 1) / i);
    }
    if (table[0] != 0 || low > high)
        return std::nullopt;
    return static_cast<std::uint32_t>(low);
}

using detail::KeyTest;

KeyTest keyTestFor(std::uint32_t key, bool use32BitKey) {
    if (use32BitKey)
        return {0xFFFFFFFFu, key};
    if (key > 0xFFFFFF)
        return {0, 1};
    return {0x00FFFFFFu, key};
}

std::uint32_t load32(const std::uint8_t* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}

void blendRowByTables(const std::uint8_t* source, int sourceBytes, std::uint8_t* destination,
                      int count, const BlendTables& tables, KeyTest keyTest) {
    for (int i = 0; i < count; ++i, source += sourceBytes, destination += 4) {
        const std::uint32_t s =
            sourceBytes == 4 ? load32(source) : (source[0] | (source[1] << 8) | (source[2] << 16));
        if ((s & keyTest.mask) == keyTest.value)
            continue;
        for (int c = 0; c < 3; ++c) {
            destination[c] = static_cast<std::uint8_t>(tables.source[source[c]] +
                                                       tables.destination[destination[c]]);
        }
    }
}

}  // namespace

BlendTables makeBlendTables(int alpha) {
    const float a = static_cast<float>(alpha) / 255.0f;
    const float b = 1.0f - a;
    BlendTables tables;
    for (int i = 0; i < 256; ++i) {
        tables.source[i] = static_cast<std::uint8_t>(static_cast<int>(a * static_cast<float>(i)));
        tables.destination[i] =
            static_cast<std::uint8_t>(static_cast<int>(b * static_cast<float>(i)));
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

    // Callers pass opacities taken modulo 256, as a byte would hold them; at 0 nothing changes.
    alpha &= 0xFF;
    if (alpha == 0)
        return;
    const BlendTables tables = makeBlendTables(alpha);
    const KeyTest keyTest = keyTestFor(key, use32BitKey);
    const auto sourceMultiplier = multiplierFor(tables.source);
    const auto destinationMultiplier = multiplierFor(tables.destination);
    const bool fast = source.bytesPerPixel == 4 && sourceMultiplier && destinationMultiplier;
    // At full opacity s[i] = i and d[i] = 0: the colour bytes are copied.
    const bool copy = source.bytesPerPixel == 4 && alpha == 255;
    const int count = right - left;
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* sourceRow =
            source.row(row - y) + static_cast<std::ptrdiff_t>(left - x) * source.bytesPerPixel;
        std::uint8_t* destinationRow = destination.row(row) + static_cast<std::ptrdiff_t>(left) * 4;
        if (copy) {
            detail::copyRow32(sourceRow, destinationRow, count, keyTest);
        } else if (fast) {
            detail::blendRow32(sourceRow, destinationRow, count,
                               static_cast<std::uint16_t>(*sourceMultiplier),
                               static_cast<std::uint16_t>(*destinationMultiplier), keyTest);
        } else {
            blendRowByTables(sourceRow, source.bytesPerPixel, destinationRow, count, tables,
                             keyTest);
        }
    }
}

}  // namespace lumenreel
