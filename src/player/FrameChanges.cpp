#include "player/FrameChanges.h"

#include <algorithm>
#include <cstring>

namespace lumenreel {

namespace {

// Rows are compared in bands this high: a change's part is then at most this many rows taller
// than the change, and a frame holds few enough parts to resample one by one.
constexpr int kBandRows = 16;

// The first and one past the last pixel where two rows differ, or nothing when they are equal.
bool changedColumns(const std::uint8_t* a, const std::uint8_t* b, int width, int& left,
                    int& right) {
    const auto* x = reinterpret_cast<const std::uint32_t*>(a);
    const auto* y = reinterpret_cast<const std::uint32_t*>(b);
    int first = 0;
    while (first < width && x[first] == y[first])
        ++first;
    if (first == width)
        return false;
    int last = width;
    while (x[last - 1] == y[last - 1])
        --last;
    left = std::min(left, first);
    right = std::max(right, last);
    return true;
}

bool overlaps(const Rect& above, const Rect& below) {
    return above.bottom == below.top && above.left < below.right && below.left < above.right;
}

}  // namespace

std::vector<Rect> FrameChanges::Look(const CImageExt& picture) {
    const PixelView now = picture.view();
    const int width = picture.width(), height = picture.height();
    if (m_seen.width() != width || m_seen.height() != height || m_seen.bpp() != picture.bpp() ||
        picture.bpp() != 32) {
        picture.copyTo(m_seen);
        return {{0, 0, width, height}};
    }
    const PixelView seen = m_seen.view();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<Rect> parts;
    for (int top = 0; top < height; top += kBandRows) {
        const int bottom = std::min(height, top + kBandRows);
        Rect band{width, bottom, 0, top};
        for (int y = top; y < bottom; ++y) {
            if (std::memcmp(now.row(y), seen.row(y), rowBytes) == 0)
                continue;
            changedColumns(now.row(y), seen.row(y), width, band.left, band.right);
            band.top = std::min(band.top, y);
            band.bottom = y + 1;
        }
        if (band.left >= band.right)
            continue;
        for (int y = band.top; y < band.bottom; ++y)
            std::memcpy(seen.row(y) + band.left * 4, now.row(y) + band.left * 4,
                        static_cast<std::size_t>(band.right - band.left) * 4);
        // A band reaching into the next is kept whole with it, so that the rows between them
        // are not resampled twice.
        if (!parts.empty() && overlaps(parts.back(), {band.left, top, band.right, band.bottom}))
            parts.back() = {std::min(parts.back().left, band.left), parts.back().top,
                            std::max(parts.back().right, band.right), band.bottom};
        else
            parts.push_back(band);
    }
    return parts;
}

}  // namespace lumenreel
