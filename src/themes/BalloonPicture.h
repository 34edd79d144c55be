#pragma once

#include <cstdint>
#include <string_view>

#include "base/Geometry.h"
#include "images/ImageExt.h"

class CAutoRichEditCtrl;

namespace lumenreel {

// What a balloon caption is drawn from: its size, the template picture and split point it grows
// from (no template: a plain white balloon), and its rich text with the text area it fills,
// relative to the balloon's top-left corner.
struct BalloonShape {
    std::int64_t width = 0;
    std::int64_t height = 0;
    const CImageExt* balloonTemplate = nullptr;
    Point split;
    Rect textArea;
    std::string_view richText;
    // Colour of text whose format names none, 0x00BBGGRR; white is drawn just off white.
    std::uint32_t textColour = 0;
};

// Widens the template around its split point to the balloon's size: the template's quadrants in
// the corners, its split column and row repeated over the extra width and height, the middle
// filled with the colour at the split point. Corners and tail keep their shape.
void stretchBalloon(const CImageExt& balloonTemplate, Point split, CImageExt& balloon);

// The keyed balloon picture: the stretched template with the text drawn into its text area. A
// damaged text area is clipped to the balloon, so text never leaves it. Null when the size is out
// of bounds.
CImageExt makeBalloonPicture(const BalloonShape& shape, CAutoRichEditCtrl& control);

}  // namespace lumenreel
