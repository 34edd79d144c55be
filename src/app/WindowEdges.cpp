#include "app/WindowEdges.h"

namespace lumenreel {

WindowEdge windowEdgeAt(Point point, Size window, bool fullScreen) {
    if (fullScreen || point.x < 0 || point.y < 0 || point.x >= window.width ||
        point.y >= window.height)
        return WindowEdge::none;
    const bool left = point.x < kResizeBand, right = point.x >= window.width - kResizeBand;
    const bool top = point.y < kResizeBand, bottom = point.y >= window.height - kResizeBand;
    const bool nearLeft = point.x < kResizeCorner,
               nearRight = point.x >= window.width - kResizeCorner;
    const bool nearTop = point.y < kResizeCorner,
               nearBottom = point.y >= window.height - kResizeCorner;
    if ((top && nearLeft) || (left && nearTop))
        return WindowEdge::topLeft;
    if ((top && nearRight) || (right && nearTop))
        return WindowEdge::topRight;
    if ((bottom && nearLeft) || (left && nearBottom))
        return WindowEdge::bottomLeft;
    // The whole corner square: the panel draws its resize grip there, away from the edges.
    if (nearBottom && nearRight)
        return WindowEdge::bottomRight;
    if (top)
        return WindowEdge::top;
    if (bottom)
        return WindowEdge::bottom;
    if (left)
        return WindowEdge::left;
    if (right)
        return WindowEdge::right;
    return WindowEdge::none;
}

}  // namespace lumenreel
