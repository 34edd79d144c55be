#pragma once

#include <cstdint>

#include "images/ImageExt.h"

namespace lumenreel {

// How a highlight rectangle is drawn; colours are 0x00BBGGRR.
struct HighlightStyle {
    float penWidth = 1.0f;
    std::uint32_t penColour = 0;
    std::uint32_t fillColour = 0;
    bool filled = true;
};

// A keyed highlight picture of width × height: the fill (keyed white when not filled) framed by
// the pen, with stored white drawn just off white so it stays visible. Null when the size is out
// of bounds.
CImageExt makeHighlightPicture(std::int64_t width, std::int64_t height,
                               const HighlightStyle& style);

}  // namespace lumenreel
