#include "images/Blend.h"

#include "images/BlendKernel.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Assert.h"

namespace lumenreel {

namespace {

// A 16-bit multiplier m with (i × m) >> 16 == table[i] for every i: rows then blend with vector
// multiplies whose results are the tables' bit for bit. Only the identity table (alpha 255 for the
// source) has none; that alpha copies instead.
std::uint16_t multiplierFor(const std::array<std::uint8_t, 256>& table) {
    std::uint64_t low = 0;
    std::uint64_t high = 0xFFFF;
    for (std::uint64_t i = 1; i < 256; ++i) {
        low = std::max(low, (table[i] * std::uint64_t{65536} + i - 1) / i);
        high = std::min(high, ((table[i] + std::uint64_t{1}) * 65536 - 1) / i);
    }
    LR_ASSERT(table[0] == 0 && low <= high);
    return static_cast<std::uint16_t>(low);
}

struct Multipliers {
    std::uint16_t source = 0;
    std::uint16_t destination = 0;
};

// Found once for every alpha that blends (1 to 254), not on every blend.
const Multipliers& multipliersFor(int alpha) {
    static const std::array<Multipliers, 256> all = [] {
        std::array<Multipliers, 256> table{};
        for (int a = 1; a < 255; ++a) {
            const BlendTables tables = makeBlendTables(a);
            table[a] = {multiplierFor(tables.source), multiplierFor(tables.destination)};
        }
        return table;
    }();
    return all[alpha];
}

using detail::KeyTest;

KeyTest keyTestFor(std::uint32_t key, bool use32BitKey) {
    if (use32BitKey)
        return {0xFFFFFFFFu, key};
    if (key > 0xFFFFFF)
        return {0, 1};
    return {0x00FFFFFFu, key};
}

// A 24-bit row widened to 32 bits with 0 as the fourth byte, which is what the key rules compare.
void widenRow(const std::uint8_t* source, int count, std::uint8_t* wide) {
    for (int i = 0; i < count; ++i, source += 3, wide += 4) {
        wide[0] = source[0];
        wide[1] = source[1];
        wide[2] = source[2];
        wide[3] = 0;
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
    const KeyTest keyTest = keyTestFor(key, use32BitKey);
    const Multipliers& multipliers = multipliersFor(alpha);
    const int count = right - left;
    std::vector<std::uint8_t> wideRow(source.bytesPerPixel == 3 ? static_cast<size_t>(count) * 4
                                                                : 0);
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* sourceRow =
            source.row(row - y) + static_cast<std::ptrdiff_t>(left - x) * source.bytesPerPixel;
        if (source.bytesPerPixel == 3) {
            widenRow(sourceRow, count, wideRow.data());
            sourceRow = wideRow.data();
        }
        std::uint8_t* destinationRow = destination.row(row) + static_cast<std::ptrdiff_t>(left) * 4;
        // At full opacity s[i] = i and d[i] = 0: the colour bytes are copied.
        if (alpha == 255) {
            detail::copyRow32(sourceRow, destinationRow, count, keyTest);
        } else {
            detail::blendRow32(sourceRow, destinationRow, count, multipliers.source,
                               multipliers.destination, keyTest);
        }
    }
}

}  // namespace lumenreel
