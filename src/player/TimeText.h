#pragma once

#include <cstdint>
#include <string>

#include "player/ViewGeometry.h"

class CImageExt;

namespace lumenreel {

// "mm:ss:hh [frame]": minutes, seconds and hundredths of t, each as two digits (the minutes wrap
// at 100), then the one-based frame number.
std::string formatTimeText(float seconds, int currentFrame);

// Plain text drawn with the panel's bold 16-pixel sans font.
struct PanelTextStyle {
    std::uint32_t colour = 0xC8C8C8;  // 0x00BBGGRR
    int pixelHeight = 16;
    bool bold = true;
};

// One line centred both ways in the rectangle of a 32-bit image, clipped to it.
void drawCentredText(CImageExt& target, const Rect& rect, const std::string& text,
                     const PanelTextStyle& style = {});
// One line from its top-left corner, clipped to the image.
void drawTextAt(CImageExt& target, Point topLeft, const std::string& text,
                const PanelTextStyle& style = {});
// The width and height the line takes in that style.
Size measureText(const std::string& text, const PanelTextStyle& style = {});

}  // namespace lumenreel
