#pragma once

#include "base/Geometry.h"

namespace lumenreel {

// Where a frame's cursor is at `local` seconds into the frame: it glides from `from` to `to`
// between moveStart and moveEnd, easing in and out, along a curve when asked and the points are
// more than 4 pixels apart, else straight. Published demos and documents move it alike.
Point cursorPositionAt(Point from, Point to, bool curved, float moveStart, float moveEnd,
                       float local);

}  // namespace lumenreel
