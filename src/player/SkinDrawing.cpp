#include "player/SkinDrawing.h"

#include <algorithm>

#include "images/ImageExt.h"

namespace lumenreel {

void drawSkinImage(const CImageExt& image, CImageExt& target, int x, int y,
                   std::optional<std::uint32_t> key, int opacity) {
    if (image.isNull() || target.isNull() || target.bpp() != 32)
        return;
    const PixelView source = image.view();
    const PixelView destination = target.view();
    const bool hasAlpha = source.bytesPerPixel == 4;
    const unsigned fade = static_cast<unsigned>(std::clamp(opacity, 0, 255));
    const int firstX = std::max(0, -x);
    const int firstY = std::max(0, -y);
    const int lastX = std::min(source.width, destination.width - x);
    const int lastY = std::min(source.height, destination.height - y);
    for (int sy = firstY; sy < lastY; ++sy) {
        const std::uint8_t* in = source.row(sy) + firstX * source.bytesPerPixel;
        std::uint8_t* out = destination.row(sy + y) + (firstX + x) * 4;
        for (int sx = firstX; sx < lastX; ++sx, in += source.bytesPerPixel, out += 4) {
            const std::uint32_t colour = in[0] | in[1] << 8 | in[2] << 16;
            if (key && colour == *key)
                continue;
            const unsigned alpha = (hasAlpha ? in[3] : 255u) * fade / 255;
            for (int c = 0; c < 3; ++c)
                out[c] =
                    static_cast<std::uint8_t>((in[c] * alpha + out[c] * (255 - alpha) + 127) / 255);
            out[3] = 0xFF;
        }
    }
}

}  // namespace lumenreel
