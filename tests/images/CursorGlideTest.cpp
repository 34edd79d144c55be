#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "images/CursorGlide.h"

namespace lumenreel::test {
namespace {

double eased(double d) {
    return (std::sin(d * std::numbers::pi - std::numbers::pi / 2) + 1) / 2;
}

TEST(CursorGlideTest, PointsThreePixelsApartMoveStraightEvenOnACurvedPath) {
    Point from{10, 10}, to{13, 10};
    for (float t : {0.0f, 0.5f, 1.0f, 1.5f, 2.0f}) {
        Point at = cursorPositionAt(from, to, true, 0.0f, 2.0f, t);
        EXPECT_EQ(at.y, 10) << t;
        EXPECT_EQ(at.x, static_cast<int>(10 + 3 * eased(t / 2.0))) << t;
    }
}

TEST(CursorGlideTest, PointsFarApartFollowTheCurveStartingAndEndingSlowly) {
    Point from{0, 0}, to{100, 0};
    // With dy = 0 the curve's controls are (50, 0) and (75, 0): it runs along the x axis.
    auto bezierX = [](double e) {
        double u = 1 - e;
        return 3 * u * u * e * 50 + 3 * u * e * e * 75 + e * e * e * 100;
    };
    for (float t : {0.1f, 0.25f, 0.5f, 0.75f, 0.9f}) {
        Point at = cursorPositionAt(from, to, true, 0.0f, 1.0f, t);
        EXPECT_EQ(at.x, static_cast<int>(bezierX(eased(t)))) << t;
    }
    // Slow at both ends: the first and last tenth cover far less than a tenth of the way.
    EXPECT_LT(cursorPositionAt(from, to, true, 0.0f, 1.0f, 0.1f).x, 5);
    EXPECT_GT(cursorPositionAt(from, to, true, 0.0f, 1.0f, 0.9f).x, 95);
    EXPECT_EQ(cursorPositionAt(from, to, true, 0.0f, 1.0f, 1.0f), to);

    // Diagonally the curve leaves the straight line.
    Point diagonalEnd{100, 100};
    Point curved = cursorPositionAt(from, diagonalEnd, true, 0.0f, 1.0f, 0.5f);
    Point straight = cursorPositionAt(from, diagonalEnd, false, 0.0f, 1.0f, 0.5f);
    EXPECT_EQ(straight, (Point{50, 50}));
    EXPECT_NE(curved, straight);
}

TEST(CursorGlideTest, OutsideTheMoveTheCursorRestsAtItsEnds) {
    Point from{5, 5}, to{200, 90};
    EXPECT_EQ(cursorPositionAt(from, to, false, 1.0f, 2.0f, 0.5f), from);
    EXPECT_EQ(cursorPositionAt(from, to, false, 1.0f, 2.0f, 3.0f), to);
    // An empty interval counts as one second from its start.
    EXPECT_EQ(cursorPositionAt(from, to, false, 1.0f, 1.0f, 1.5f), (Point{102, 47}));
    EXPECT_EQ(cursorPositionAt(from, from, true, 0.0f, 1.0f, 0.5f), from);
}

}  // namespace
}  // namespace lumenreel::test
