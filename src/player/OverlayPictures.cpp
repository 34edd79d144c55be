#include "player/OverlayPictures.h"

#include "images/HighlightPicture.h"
#include "images/ImageLimits.h"
#include "images/WhiteKey.h"

namespace lumenreel {

CImageExt makeImageObjectPicture(const NKWXDecodersEncoders::CReaderObject_image& object,
                                 const CImageExt* poolPicture) {
    CImageExt picture;
    std::int64_t w = object.rect.width(), h = object.rect.height();
    if (!poolPicture || poolPicture->isNull() || !imageSizeAllowed(w, h))
        return picture;
    poolPicture->copyTo(picture);
    // Kept at 32 bits: the frame image is, and rows of equal depth blend fastest.
    if (!picture.resize(static_cast<int>(w), static_cast<int>(h), CImageExt::kHighQualityBicubic) ||
        (picture.bpp() != 32 && !picture.from24(picture, false)))
        picture.destroy();
    return picture;
}

CImageExt makeHighlightPicture(const NKWXDecodersEncoders::CReaderObject_highlight& object) {
    return makeHighlightPicture(
        object.rect.width(), object.rect.height(),
        {object.frameWidth, object.frameColour, object.fillColour, !object.noFill});
}

CImageExt makeCaptionImagePicture(const CImageExt* captionImage) {
    CImageExt picture;
    if (!captionImage || captionImage->isNull() || !picture.from24(*captionImage, false))
        return picture;
    keyWhite(picture);
    return picture;
}

}  // namespace lumenreel
