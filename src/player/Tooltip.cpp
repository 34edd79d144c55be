#include "player/Tooltip.h"

#include <algorithm>

#include "images/Canvas.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {
constexpr int kPaddingX = 8;
constexpr int kPaddingY = 4;
constexpr int kGap = 4;
const PanelTextStyle kTooltipStyle{0xF2F0EE, 14, false};
}  // namespace

CImageExt renderTooltip(const std::string& text) {
    CImageExt bubble;
    if (text.empty())
        return bubble;
    const Size size = measureText(text, kTooltipStyle);
    if (!bubble.create(size.width + 2 * kPaddingX, size.height + 2 * kPaddingY, 32))
        return bubble;
    cairo_t* cr = bubble.beginDraw().context();
    const double w = bubble.width();
    const double h = bubble.height();
    const double r = 4;
    cairo_new_sub_path(cr);
    cairo_arc(cr, w - r, r, r, -1.5708, 0);
    cairo_arc(cr, w - r, h - r, r, 0, 1.5708);
    cairo_arc(cr, r, h - r, r, 1.5708, 3.14159);
    cairo_arc(cr, r, r, r, 3.14159, 4.71239);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.08, 0.09, 0.10, 0.94);
    cairo_fill(cr);
    bubble.endDraw();
    drawCentredText(bubble, {0, 0, bubble.width(), bubble.height()}, text, kTooltipStyle);
    return bubble;
}

Point placeTooltip(const Rect& anchor, Size bubbleSize, const Rect& bounds) {
    int x = (anchor.left + anchor.right - bubbleSize.width) / 2;
    int y = anchor.top - kGap - bubbleSize.height;
    if (y < bounds.top)
        y = anchor.bottom + kGap;
    x = std::max(bounds.left, std::min(x, bounds.right - bubbleSize.width));
    return {x, y};
}

}  // namespace lumenreel
