#pragma once

#include "published/ZcdPrimitives.h"

namespace lumenreel {

// Where a frame's cursor is at `local` seconds into the frame: it glides from `from` to `to`
// between moveStart and moveEnd, easing in and out, along a curve when asked and the points are
// more than 4 pixels apart, else straight.
zcd::Point cursorPositionAt(zcd::Point from, zcd::Point to, bool curved, float moveStart,
                            float moveEnd, float local);

}  // namespace lumenreel
