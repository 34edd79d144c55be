#pragma once

#include <string>

#include "images/ImageExt.h"
#include "player/ViewGeometry.h"

namespace lumenreel {

// A tooltip bubble: the text on a dark rounded box, 32-bit with alpha outside the corners.
// Null for empty text.
CImageExt renderTooltip(const std::string& text);

// Where a bubble of that size goes for a control's rectangle: centred above it, kept within
// the bounds (all in the same coordinates).
Point placeTooltip(const Rect& anchor, Size bubbleSize, const Rect& bounds);

}  // namespace lumenreel
