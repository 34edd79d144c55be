#include "images/MaskRaster.h"

#include <algorithm>
#include <cstdint>

namespace lumenreel {

namespace {

template <class Operation>
void combine(const PixelView& source, const PixelView& target, int x, int y, Operation operation) {
    if (source.empty() || target.empty())
        return;
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + source.width, target.width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + source.height, target.height));
    for (int row = top; row < bottom; ++row) {
        const std::uint8_t* in =
            source.row(row - y) + static_cast<std::ptrdiff_t>(left - x) * source.bytesPerPixel;
        std::uint8_t* out =
            target.row(row) + static_cast<std::ptrdiff_t>(left) * target.bytesPerPixel;
        for (int column = left; column < right;
             ++column, in += source.bytesPerPixel, out += target.bytesPerPixel) {
            out[0] = operation(out[0], in[0]);
            out[1] = operation(out[1], in[1]);
            out[2] = operation(out[2], in[2]);
        }
    }
}

}  // namespace

void andPixels(const PixelView& source, const PixelView& target, int x, int y) {
    combine(source, target, x, y,
            [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a & b); });
}

void xorPixels(const PixelView& source, const PixelView& target, int x, int y) {
    combine(source, target, x, y,
            [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a ^ b); });
}

PixelView rowsOf(const PixelView& view, int first, int count) {
    const int from = std::clamp(first, 0, view.height);
    const int to = std::clamp(first + count, from, view.height);
    if (view.empty() || to == from)
        return {};
    return PixelView{view.row(from), view.width, to - from, view.stride, view.bytesPerPixel};
}

}  // namespace lumenreel
