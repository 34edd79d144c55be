#include <cstring>

#include "images/ImageExt.h"

namespace {

// A region lies inside a picture when its rectangle does, and it is not empty.
bool regionInside(const CImageExt& image, int x, int y, int w, int h) {
    return w > 0 && h > 0 && x >= 0 && y >= 0 && std::int64_t{x} + w <= image.width() &&
           std::int64_t{y} + h <= image.height();
}

const std::uint8_t* pixelAddress(const CImageExt& image, int x, int y) {
    return image.firstRow() + static_cast<std::size_t>(y) * image.pitch() +
           static_cast<std::size_t>(x) * (image.bpp() / 8);
}

}  // namespace

bool CImageExt::equals(const CImageExt& image) const {
    if (isNull() || image.isNull())
        return isNull() == image.isNull();
    if (m_width != image.m_width || m_height != image.m_height ||
        m_bitsPerPixel != image.m_bitsPerPixel)
        return false;
    return m_pixels == image.m_pixels;
}

bool CImageExt::regionEquals(const CImageExt& image, int x, int y, int w, int h, int ox,
                             int oy) const {
    if (!regionInside(*this, x, y, w, h) || !regionInside(image, ox, oy, w, h))
        return false;
    const int bytes = m_bitsPerPixel / 8;
    if (bytes == image.bpp() / 8) {
        for (int row = 0; row < h; ++row) {
            if (std::memcmp(pixelAddress(*this, x, y + row), pixelAddress(image, ox, oy + row),
                            static_cast<std::size_t>(w) * bytes) != 0)
                return false;
        }
        return true;
    }
    return countDifferences(image, x, y, w, h, ox, oy) == 0;
}

int CImageExt::countDifferences(const CImageExt& image, int x, int y, int w, int h, int ox,
                                int oy) const {
    if (w <= 0 || h <= 0)
        return 0;
    if (!regionInside(*this, x, y, w, h) || !regionInside(image, ox, oy, w, h))
        return static_cast<int>(std::min<std::int64_t>(std::int64_t{w} * h, INT32_MAX));
    const int bytes = m_bitsPerPixel / 8;
    const int otherBytes = image.bpp() / 8;
    int differences = 0;
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* a = pixelAddress(*this, x, y + row);
        const std::uint8_t* b = pixelAddress(image, ox, oy + row);
        for (int column = 0; column < w; ++column, a += bytes, b += otherBytes) {
            differences += (a[0] != b[0]) | (a[1] != b[1]) | (a[2] != b[2]);
        }
    }
    return differences;
}

double CImageExt::similarity(const CImageExt& image, int x, int y, int w, int h, int ox,
                             int oy) const {
    if (w <= 0 || h <= 0)
        return 1.0;
    return 1.0 - static_cast<double>(countDifferences(image, x, y, w, h, ox, oy)) /
                     (static_cast<double>(w) * h);
}
