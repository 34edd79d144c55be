#pragma once

#include "base/Geometry.h"

namespace lumenreel {

// Where the borderless window can be grabbed to resize it: a band along each edge, wider at the
// corners, the whole bottom-right corner square (where the panel's grip is), and none in full
// screen.
enum class WindowEdge {
    none,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight
};

inline constexpr int kResizeBand = 5;
inline constexpr int kResizeCorner = 16;

WindowEdge windowEdgeAt(Point point, Size window, bool fullScreen);

}  // namespace lumenreel
