#pragma once

#include "base/Geometry.h"

namespace lumenreel {

struct CursorProperties;

// When, within a frame of that duration, its cursor moves.
struct CursorMoveInterval {
    float start = 0.0f;
    float end = 0.0f;
};

CursorMoveInterval cursorMoveInterval(const CursorProperties& properties, float frameDuration);

// The pointer's top-left corner at a frame-relative time, gliding from the frame's cursor to the
// next visible frame's (none: it stays).
Point cursorPointAt(const CursorProperties& from, const CursorProperties* to, float frameDuration,
                    float time);

}  // namespace lumenreel
