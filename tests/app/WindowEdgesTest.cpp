#include <gtest/gtest.h>

#include "app/WindowEdges.h"

namespace lumenreel::test {
namespace {

TEST(WindowEdgesTest, EdgesAndCornersResizeAndTheInsideDoesNot) {
    const Size window{400, 300};
    struct Case {
        Point point;
        WindowEdge edge;
    };
    const Case cases[] = {
        {{200, 150}, WindowEdge::none},        {{200, 0}, WindowEdge::top},
        {{200, 299}, WindowEdge::bottom},      {{0, 150}, WindowEdge::left},
        {{399, 150}, WindowEdge::right},       {{2, 2}, WindowEdge::topLeft},
        {{15, 1}, WindowEdge::topLeft},        {{16, 1}, WindowEdge::top},
        {{398, 1}, WindowEdge::topRight},      {{1, 298}, WindowEdge::bottomLeft},
        {{399, 285}, WindowEdge::bottomRight}, {{385, 299}, WindowEdge::bottomRight},
        {{384, 284}, WindowEdge::bottomRight}, {{383, 290}, WindowEdge::none},
        {{200, 5}, WindowEdge::none},          {{394, 150}, WindowEdge::none},
        {{-1, 150}, WindowEdge::none},         {{400, 150}, WindowEdge::none}};
    for (const Case& c : cases)
        EXPECT_EQ(windowEdgeAt(c.point, window, false), c.edge) << c.point.x << "," << c.point.y;
    for (const Case& c : cases)
        EXPECT_EQ(windowEdgeAt(c.point, window, true), WindowEdge::none);
}

}  // namespace
}  // namespace lumenreel::test
