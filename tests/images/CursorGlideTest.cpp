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

// On a diagonal that is not symmetric the curve's control points show: the first lies half the
// way across and a quarter of the way down, the second a quarter short across and half short
// down. The cubic is evaluated here by repeated halving of the control polygon.
TEST(CursorGlideTest, DiagonalCurvesFollowTheirControlPoints) {
    struct Xy {
        double x, y;
    };
    auto lerp = [](Xy a, Xy b, double e) {
        return Xy{a.x + (b.x - a.x) * e, a.y + (b.y - a.y) * e};
    };
    const Point from{20, 10}, to{220, 90};  // dx 200, dy 80
    const Xy p0{20, 10}, p1{120, 30}, p2{170, 50}, p3{220, 90};
    for (float t : {0.1f, 0.3f, 0.5f, 0.7f, 0.9f}) {
        const double e = eased(t);
        const Xy a = lerp(p0, p1, e), b = lerp(p1, p2, e), c = lerp(p2, p3, e);
        const Xy on = lerp(lerp(a, b, e), lerp(b, c, e), e);
        const Point at = cursorPositionAt(from, to, true, 0.0f, 1.0f, t);
        EXPECT_EQ(at.x, static_cast<int>(on.x)) << t;
        EXPECT_EQ(at.y, static_cast<int>(on.y)) << t;
    }
    // Backwards the same curve is mirrored: the controls are measured from each end.
    const Point back = cursorPositionAt(to, from, true, 0.0f, 1.0f, 0.5f);
    const Point forth = cursorPositionAt(from, to, true, 0.0f, 1.0f, 0.5f);
    EXPECT_NE(back, forth);
}

// The curve needs the ends more than four pixels apart.
TEST(CursorGlideTest, CurvesStartPastFourPixels) {
    struct Case {
        Point to;
        Point halfway;  // from (0, 0), half the time through
    };
    const Case cases[] = {
        {{0, 4}, {0, 2}},  // four apart: straight (curved would be (0, 1))
        {{4, 0}, {2, 0}},
        {{3, 4}, {1, 1}},  // five apart: curved (straight would be (1, 2))
    };
    for (const Case& c : cases)
        EXPECT_EQ(cursorPositionAt({0, 0}, c.to, true, 0.0f, 1.0f, 0.5f), c.halfway)
            << c.to.x << "," << c.to.y;
    EXPECT_EQ(cursorPositionAt({0, 0}, {3, 4}, false, 0.0f, 1.0f, 0.5f), (Point{1, 2}));
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
