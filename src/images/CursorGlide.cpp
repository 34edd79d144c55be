#include "images/CursorGlide.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumenreel {

namespace {

constexpr float kCurveMinDistance = 4.0f;

std::int32_t toPixel(double v) {
    // Truncation as stored positions expect; NaN or huge values from a damaged file stay bounded.
    if (!(v > -2e9 && v < 2e9))
        return 0;
    return static_cast<std::int32_t>(v);
}

}  // namespace

Point cursorPositionAt(Point from, Point to, bool curved, float moveStart, float moveEnd,
                       float local) {
    float span = moveEnd - moveStart;
    float d = (local - moveStart) / (span > 0.00001f ? span : 1.0f);
    d = std::clamp(std::isnan(d) ? 0.0f : d, 0.0f, 1.0f);
    double e = d == 1.0f ? 1.0 : (std::sin(d * std::numbers::pi - std::numbers::pi / 2) + 1) / 2;
    if (from == to)
        return from;

    double dx = static_cast<double>(to.x) - from.x;
    double dy = static_cast<double>(to.y) - from.y;
    if (curved && std::sqrt(dx * dx + dy * dy) > kCurveMinDistance) {
        double p1x = from.x + dx * 0.5, p1y = from.y + dy * 0.25;
        double p2x = to.x - dx * 0.25, p2y = to.y - dy * 0.5;
        double u = 1 - e;
        double a = u * u * u, b = 3 * u * u * e, c = 3 * u * e * e, w = e * e * e;
        return {toPixel(a * from.x + b * p1x + c * p2x + w * to.x),
                toPixel(a * from.y + b * p1y + c * p2y + w * to.y)};
    }
    return {toPixel(from.x + dx * e), toPixel(from.y + dy * e)};
}

}  // namespace lumenreel
