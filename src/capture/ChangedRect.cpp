#include "capture/ChangedRect.h"

#include <cstdint>
#include <cstring>

#include "images/ImageExt.h"

namespace lumenreel {

namespace {

// Compares pixel columns of one row of each picture. Runs of equal pixels are skipped a block
// at a time, since most of a screen is unchanged from one picture to the next.
template <int A, int B>
struct RowCompare {
    static constexpr int kBlock = 32;

    const std::uint8_t* a;
    const std::uint8_t* b;

    bool samePixel(int x) const {
        const std::uint8_t* p = a + static_cast<std::ptrdiff_t>(x) * A;
        const std::uint8_t* q = b + static_cast<std::ptrdiff_t>(x) * B;
        return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
    }

    bool sameBlock(int x) const {
        if constexpr (A == 3 && B == 3) {
            return std::memcmp(a + x * 3, b + x * 3, kBlock * 3) == 0;
        } else if constexpr (A == 4 && B == 4) {
            std::uint32_t differing = 0;
            for (int i = 0; i < kBlock; ++i) {
                std::uint32_t p, q;
                std::memcpy(&p, a + (x + i) * 4, 4);
                std::memcpy(&q, b + (x + i) * 4, 4);
                differing |= (p ^ q) & 0xFFFFFFu;
            }
            return differing == 0;
        } else {
            for (int i = 0; i < kBlock; ++i)
                if (!samePixel(x + i))
                    return false;
            return true;
        }
    }

    // The first differing column in [from, to), or to.
    int first(int from, int to) const {
        if constexpr (A == 3 && B == 3) {
            if (from < to && std::memcmp(a + from * 3, b + from * 3, (to - from) * 3) == 0)
                return to;
        }
        int x = from;
        while (x + kBlock <= to && sameBlock(x))
            x += kBlock;
        while (x < to && samePixel(x))
            ++x;
        return x;
    }

    // The last differing column in [from, to), or from − 1.
    int last(int from, int to) const {
        int x = to;
        while (x - kBlock >= from && sameBlock(x - kBlock))
            x -= kBlock;
        while (x > from && samePixel(x - 1))
            --x;
        return x - 1;
    }
};

template <int A, int B>
std::optional<Rect> scan(const CImageExt& image, const CImageExt& reference, const Rect& area) {
    auto row = [&](int y) {
        return RowCompare<A, B>{
            image.firstRow() + static_cast<std::ptrdiff_t>(y) * image.pitch(),
            reference.firstRow() + static_cast<std::ptrdiff_t>(y) * reference.pitch()};
    };
    int top = area.top;
    while (top < area.bottom && row(top).first(area.left, area.right) == area.right)
        ++top;
    if (top == area.bottom)
        return std::nullopt;
    int bottom = area.bottom - 1;
    while (row(bottom).first(area.left, area.right) == area.right)
        --bottom;
    // Only the columns outside the rectangle found so far can widen it.
    int left = area.right;
    int right = area.left - 1;
    for (int y = top; y <= bottom; ++y) {
        const auto compare = row(y);
        const int first = compare.first(area.left, left);
        if (first < left)
            left = first;
        const int last = compare.last(right + 1, area.right);
        if (last > right)
            right = last;
    }
    return Rect{left, top, right + 1, bottom + 1};
}

}  // namespace

std::optional<Rect> changedRect(const CImageExt& image, const CImageExt& reference,
                                const Rect& area) {
    const bool wide = image.bpp() == 32;
    const bool referenceWide = reference.bpp() == 32;
    if (wide && referenceWide)
        return scan<4, 4>(image, reference, area);
    if (wide)
        return scan<4, 3>(image, reference, area);
    if (referenceWide)
        return scan<3, 4>(image, reference, area);
    return scan<3, 3>(image, reference, area);
}

std::array<Rect, 4> quadrantsOf(int width, int height) {
    const int midX = width / 2;
    const int midY = height / 2;
    return {Rect{0, 0, midX, midY}, Rect{0, midY, midX, height}, Rect{midX, 0, width, midY},
            Rect{midX, midY, width, height}};
}

}  // namespace lumenreel
