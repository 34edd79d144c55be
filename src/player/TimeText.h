#pragma once

#include <cstdint>
#include <string>

#include "player/ViewGeometry.h"

class CImageExt;

namespace lumenreel {

// A moment as a clock shows it: "m:ss", or "h:mm:ss" with hours, whole seconds rounded down.
std::string formatClock(float seconds, bool withHours);

// The panel's time display for a moment of a movie: "0:02 / 1:14", with both clocks showing
// hours once the movie lasts an hour, and the one-based frame of the count, "3/13".
struct PanelTimeText {
    std::string clocks;
    std::string frame;  // empty without frames
};
PanelTimeText panelTimeText(float elapsed, float total, int frame, int frameCount);

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
