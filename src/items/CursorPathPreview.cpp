#include <cmath>

#include "images/Canvas.h"
#include "images/ImageExt.h"
#include "items/DrawItemCursor.h"

namespace lumenreel {

namespace {

constexpr double kPi = 3.141592;
constexpr double kTipGap = 8.0;
constexpr double kShortestPath = 16.0;
constexpr double kShortestArrow = 25.0;
constexpr double kArrowStroke = 15.0;
constexpr double kControlShare = 0.2;
constexpr int kAlpha = 180;
constexpr std::uint32_t kStartColour = 0x28C800;  // green
constexpr std::uint32_t kEndColour = 0x0000FF;    // red

CanvasPoint tip(const CDrawItem_zcCursor& cursor) {
    return {cursor.position().x + cursor.image()->hotspotX() + 0.5,
            cursor.position().y + cursor.image()->hotspotY() + 0.5};
}

}  // namespace

void CDrawItem_zcCursor::drawPathPreview(CImageExt& target, const CDrawItem_zcCursor& to,
                                         float scale) const {
    if (!m_image || !to.image())
        return;
    const double dx = static_cast<double>(to.position().x) - position().x;
    const double dy = static_cast<double>(to.position().y) - position().y;
    const double length = std::hypot(dx, dy);
    const double a = std::atan2(dy, dx);
    const CanvasPoint from = tip(*this), end = tip(to);
    const CanvasPoint start{from.x + kTipGap * std::cos(a), from.y + kTipGap * std::sin(a)};
    const CanvasPoint stop{end.x + kTipGap * std::cos(a + kPi),
                           end.y + kTipGap * std::sin(a + kPi)};
    CanvasPen pen;
    pen.width = 4.0 * scale;
    pen.gradient = LinearGradient{start, kStartColour, kAlpha, stop, kEndColour, kAlpha};
    const bool curved = cursorProperties().moveType != 0;
    Canvas canvas(target.view());
    if (length > kShortestPath) {
        if (curved) {
            const bool apart = length > 0.1;
            const CanvasPoint c1 =
                apart ? CanvasPoint{start.x + kControlShare * dx, start.y} : start;
            const CanvasPoint c2 = apart ? CanvasPoint{stop.x, stop.y - kControlShare * dy} : stop;
            canvas.drawBezier(start, c1, c2, stop, pen);
        } else {
            canvas.drawLine(start, stop, pen);
        }
    }
    if (length > kShortestArrow) {
        const double m = curved ? 2.0 * std::fmod(std::fmod(kPi - a + 4 * kPi, 2 * kPi), kPi) : 0.0;
        const double s = 0.5 * std::sin(m);
        for (double angle : {a - 0.5 - s, a + 0.5 - s})
            canvas.drawLine(
                stop,
                {stop.x - kArrowStroke * std::cos(angle), stop.y - kArrowStroke * std::sin(angle)},
                pen);
    }
}

}  // namespace lumenreel
