#include "images/HighlightPicture.h"

#include <algorithm>
#include <cmath>

#include "images/Canvas.h"
#include "images/ImageLimits.h"
#include "images/WhiteKey.h"

namespace lumenreel {

namespace {

// Wider pens than this cover any picture the limits allow; a damaged width is kept in range.
constexpr float kMaxPenWidth = 4096.0f;

}  // namespace

CImageExt makeHighlightPicture(std::int64_t width, std::int64_t height,
                               const HighlightStyle& style) {
    CImageExt picture;
    if (!imageSizeAllowed(width, height) ||
        !picture.create(static_cast<int>(width), static_cast<int>(height), 32))
        return picture;
    std::uint32_t fill = style.filled ? visibleColour(style.fillColour) : kKeyWhite;
    float penWidth =
        std::isnan(style.penWidth) ? 0.0f : std::clamp(style.penWidth, 0.0f, kMaxPenWidth);
    // A zero-width pen still draws the one-pixel line a cosmetic pen would.
    int pen = std::max(1, static_cast<int>(penWidth));
    Canvas& canvas = picture.beginDraw();
    Rect all{0, 0, picture.width(), picture.height()};
    canvas.fillRectangle(all, fill);
    canvas.drawRectangle(all, pen, visibleColour(style.penColour));
    picture.endDraw();
    keyWhite(picture);
    return picture;
}

}  // namespace lumenreel
