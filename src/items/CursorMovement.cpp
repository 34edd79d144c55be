#include "items/CursorMovement.h"

#include <algorithm>

#include "images/CursorGlide.h"
#include "items/DrawItemCursor.h"

namespace lumenreel {

CursorMoveInterval cursorMoveInterval(const CursorProperties& properties, float frameDuration) {
    const float duration = std::max(frameDuration, 0.0f);
    if (properties.endTime < properties.startTime)
        return {0.0f, duration};
    const float start = std::max(properties.startTime, 0.0f);
    return {start, std::min(std::max(properties.endTime, start), duration)};
}

Point cursorPointAt(const CursorProperties& from, const CursorProperties* to, float frameDuration,
                    float time) {
    const Point start{from.x, from.y};
    const Point end = to ? Point{to->x, to->y} : start;
    const CursorMoveInterval interval = cursorMoveInterval(from, frameDuration);
    return cursorPositionAt(start, end, from.moveType == kCursorCurved, interval.start,
                            interval.end, time);
}

}  // namespace lumenreel
