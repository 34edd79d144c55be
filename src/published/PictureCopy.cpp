#include "published/PictureCopy.h"

#include <cstring>

#include "images/ImageExt.h"

namespace lumenreel {

void copyAsBgr24(const CImageExt& source, CImageExt& image) {
    image.create(source.width(), source.height(), 24);
    const int step = source.bpp() / 8;
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in =
            source.firstRow() + static_cast<std::ptrdiff_t>(y) * source.pitch();
        std::uint8_t* out = image.firstRow() + static_cast<std::ptrdiff_t>(y) * image.pitch();
        for (int x = 0; x < source.width(); ++x, in += step, out += 3)
            std::memcpy(out, in, 3);
    }
}

void copyBlock24(const CImageExt& from, int sx, int sy, CImageExt& to, int dx, int dy, int w,
                 int h) {
    if (w <= 0 || h <= 0)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in =
            from.firstRow() + static_cast<std::ptrdiff_t>(sy + y) * from.pitch() + sx * 3;
        std::uint8_t* out =
            to.firstRow() + static_cast<std::ptrdiff_t>(dy + y) * to.pitch() + dx * 3;
        std::memmove(out, in, rowBytes);
    }
}

}  // namespace lumenreel
