#pragma once

#include <string>
#include <vector>

#include "player/TimeText.h"
#include "player/ViewGeometry.h"

class CImageExt;

namespace lumenreel {

// Text laid over the movie on a dark, half-transparent backing, so it reads on any picture.
struct OverlayBox {
    enum class Place { Centre, TopLeft };

    std::vector<std::string> lines;
    Place place = Place::Centre;
    // Centred lines read as a message; left-aligned ones as a table (help, statistics).
    bool centredLines = true;
    // Device pixels a layout pixel: text, margins and padding grow with it.
    int scale = 1;
};

// The lines broken at spaces so that none is wider than maxWidth (a single word wider than that
// stays whole); empty lines stay.
std::vector<std::string> wrapLines(const std::vector<std::string>& lines, int maxWidth,
                                   const PanelTextStyle& style);

// The line cut at a character so that it and an ellipsis after it are no wider than maxWidth;
// a line that fits stays whole.
std::string elidedText(const std::string& line, int maxWidth, const PanelTextStyle& style);

// Draws the box inside the area, its lines wrapped to the area's width; the rectangle drawn.
Rect drawOverlayBox(CImageExt& target, const Rect& area, const OverlayBox& box);

// The style overlay text is drawn in, at that scale.
PanelTextStyle overlayTextStyle(int scale = 1);

}  // namespace lumenreel
