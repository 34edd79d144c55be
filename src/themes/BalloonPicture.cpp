#include "themes/BalloonPicture.h"

#include <algorithm>

#include "images/ImageLimits.h"
#include "images/PixelBlit.h"
#include "images/WhiteKey.h"
#include "richtext/AutoRichEditCtrl.h"

namespace lumenreel {

namespace {

// Copies the w × h block at (x, y) of the template to (toX, toY) of the balloon.
void copyBlock(const CImageExt& from, int x, int y, int w, int h, CImageExt& to, int toX, int toY) {
    if (w <= 0 || h <= 0)
        return;
    copyPixels(subView(from.view(), x, y, w, h), to.view(), toX, toY, w, h);
}

Rect clippedTextArea(const Rect& area, std::int64_t w, std::int64_t h) {
    return {static_cast<int>(std::clamp<std::int64_t>(area.left, 0, w)),
            static_cast<int>(std::clamp<std::int64_t>(area.top, 0, h)),
            static_cast<int>(std::clamp<std::int64_t>(area.right, 0, w)),
            static_cast<int>(std::clamp<std::int64_t>(area.bottom, 0, h))};
}

}  // namespace

void stretchBalloon(const CImageExt& t, Point split, CImageExt& balloon) {
    int tw = t.width(), th = t.height(), w = balloon.width(), h = balloon.height();
    int sx = std::clamp(split.x, 0, tw - 1), sy = std::clamp(split.y, 0, th - 1);
    int right = tw - sx, bottom = th - sy;
    copyBlock(t, 0, 0, sx, sy, balloon, 0, 0);
    copyBlock(t, sx, 0, right, sy, balloon, w - right, 0);
    copyBlock(t, 0, sy, sx, bottom, balloon, 0, h - bottom);
    copyBlock(t, sx, sy, right, bottom, balloon, w - right, h - bottom);
    for (int x = sx; x < w - right; ++x) {
        copyBlock(t, sx, 0, 1, sy, balloon, x, 0);
        copyBlock(t, sx, sy, 1, bottom, balloon, x, h - bottom);
    }
    for (int y = sy; y < h - bottom; ++y) {
        copyBlock(t, 0, sy, sx, 1, balloon, 0, y);
        copyBlock(t, sx, sy, right, 1, balloon, w - right, y);
    }
    fillPixels(balloon.view(), sx, sy, w - right - sx, h - bottom - sy,
               t.pixel(sx, sy) | 0xFF000000);
}

CImageExt makeBalloonPicture(const BalloonShape& shape, CAutoRichEditCtrl& control) {
    CImageExt picture;
    const std::int64_t w = shape.width, h = shape.height;
    if (!imageSizeAllowed(w, h) || !picture.create(static_cast<int>(w), static_cast<int>(h), 32))
        return picture;
    fillPixels(picture.view(), 0, 0, picture.width(), picture.height(), 0xFFFFFFFF);
    if (shape.balloonTemplate && !shape.balloonTemplate->isNull())
        stretchBalloon(*shape.balloonTemplate, shape.split, picture);

    const Rect area = clippedTextArea(shape.textArea, w, h);
    if (area.width() > 0 && area.height() > 0) {
        control.setRichText(shape.richText);
        TextColors colours;
        colours.text = visibleColour(shape.textColour);
        colours.avoidKeyColor = true;  // white text must survive keying
        control.renderInto(picture, area, colours);
    }
    keyWhite(picture);
    return picture;
}

}  // namespace lumenreel
