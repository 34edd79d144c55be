#include "player/OverlayPictures.h"

#include <algorithm>
#include <cmath>

#include "images/Canvas.h"
#include "images/ImageLimits.h"

namespace lumenreel {

namespace {

// Wider pens than this cover any picture the limits allow; a damaged width is kept in range.
constexpr float kMaxPenWidth = 4096.0f;

std::uint32_t visibleColour(std::uint32_t colour) {
    colour &= 0xFFFFFF;
    return colour == kKeyWhite ? kVisibleWhite : colour;
}

}  // namespace

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

CImageExt makeImageObjectPicture(const NKWXDecodersEncoders::CReaderObject_image& object,
                                 const CImageExt* poolPicture) {
    CImageExt picture;
    std::int64_t w = object.rect.width(), h = object.rect.height();
    if (!poolPicture || poolPicture->isNull() || !imageSizeAllowed(w, h))
        return picture;
    poolPicture->copyTo(picture);
    if (!picture.resize(static_cast<int>(w), static_cast<int>(h), CImageExt::kHighQualityBicubic))
        picture.destroy();
    return picture;
}

CImageExt makeHighlightPicture(const NKWXDecodersEncoders::CReaderObject_highlight& object) {
    CImageExt picture;
    std::int64_t w = object.rect.width(), h = object.rect.height();
    if (!imageSizeAllowed(w, h) || !picture.create(static_cast<int>(w), static_cast<int>(h), 32))
        return picture;
    std::uint32_t fill = object.noFill ? kKeyWhite : visibleColour(object.fillColour);
    float width =
        std::isnan(object.frameWidth) ? 0.0f : std::clamp(object.frameWidth, 0.0f, kMaxPenWidth);
    // A zero-width pen still draws the one-pixel line a cosmetic pen would.
    int pen = std::max(1, static_cast<int>(width));
    Canvas& canvas = picture.beginDraw();
    CanvasRect all{0, 0, static_cast<int>(w), static_cast<int>(h)};
    canvas.fillRectangle(all, fill);
    canvas.drawRectangle(all, pen, visibleColour(object.frameColour));
    picture.endDraw();
    keyWhite(picture);
    return picture;
}

CImageExt makeCaptionImagePicture(const CImageExt* captionImage) {
    CImageExt picture;
    if (!captionImage || captionImage->isNull() || !picture.from24(*captionImage, false))
        return picture;
    keyWhite(picture);
    return picture;
}

}  // namespace lumenreel
