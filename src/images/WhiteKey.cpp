#include "images/WhiteKey.h"

#include "images/ImageExt.h"

namespace lumenreel {

void keyWhite(CImageExt& picture) {
    if (picture.bpp() != 32)
        return;
    PixelView view = picture.view();
    for (int y = 0; y < view.height; ++y) {
        std::uint8_t* p = view.row(y);
        for (int x = 0; x < view.width; ++x, p += 4) {
            bool white = p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;
            p[3] = white ? 0 : 0xFF;
            if (white)
                p[0] = p[1] = p[2] = 0;
        }
    }
}

}  // namespace lumenreel
