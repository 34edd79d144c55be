#include <algorithm>
#include <cstring>

#include "images/Blend.h"
#include "images/ImageExt.h"

namespace {

// Pixel copies between a 24- or 32-bit area and a 32-bit one of the same size.
void copyPixels(const PixelView& from, const PixelView& to) {
    for (int y = 0; y < from.height; ++y) {
        const std::uint8_t* in = from.row(y);
        std::uint8_t* out = to.row(y);
        if (from.bytesPerPixel == to.bytesPerPixel) {
            std::memcpy(out, in, static_cast<std::size_t>(from.width) * from.bytesPerPixel);
            continue;
        }
        for (int x = 0; x < from.width; ++x) {
            std::memcpy(out + x * to.bytesPerPixel, in + x * from.bytesPerPixel, 3);
            if (to.bytesPerPixel == 4)
                out[x * 4 + 3] = 0xFF;
        }
    }
}

PixelView subView(const PixelView& view, int left, int top, int width, int height) {
    return PixelView{view.row(top) + static_cast<std::ptrdiff_t>(left) * view.bytesPerPixel, width,
                     height, view.stride, view.bytesPerPixel};
}

}  // namespace

void CImageExt::blendInto(CImageExt& destination, int x, int y, int alpha, std::uint32_t key,
                          bool use32BitKey) const {
    lumenreel::blendPixels(view(), destination.view(), x, y, alpha, key, use32BitKey);
}

void CImageExt::drawBlendedInto(CImageExt& destination, int x, int y, int alpha) const {
    blendInto(destination, x, y, alpha, 0xFFFFFFFFu, false);
}

void CImageExt::blendOnto(const PixelView& target, int x, int y, int alpha, std::uint32_t key,
                          bool use32BitKey) const {
    if (isNull() || target.empty())
        return;
    if (target.bytesPerPixel == 4) {
        lumenreel::blendPixels(view(), target, x, y, alpha, key, use32BitKey);
        return;
    }
    if (target.bytesPerPixel != 3)
        return;
    // Other depths blend through a 32-bit copy of the area the picture covers.
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + m_width, target.width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + m_height, target.height));
    if (left >= right || top >= bottom)
        return;
    const PixelView covered = subView(target, left, top, right - left, bottom - top);
    CImageExt area;
    if (!area.create(covered.width, covered.height, 32))
        return;
    copyPixels(covered, area.view());
    blendInto(area, x - left, y - top, alpha, key, use32BitKey);
    copyPixels(area.view(), covered);
}

void CImageExt::drawBlended(const PixelView& target, int x, int y, int alpha) const {
    blendOnto(target, x, y, alpha, 0xFFFFFFFFu, false);
}
