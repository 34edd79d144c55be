#include "app/OverlayBox.h"

#include <algorithm>
#include <sstream>

#include "images/Canvas.h"
#include "images/ImageExt.h"

namespace lumenreel {
namespace {

// In layout pixels.
constexpr int kMargin = 12;   // between the box and the area's edge
constexpr int kPadding = 10;  // between the box's edge and its text
constexpr int kLineGap = 4;
constexpr std::uint32_t kBackingColour = 0x101010;
constexpr int kBackingAlpha = 225;

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

}  // namespace

PanelTextStyle overlayTextStyle(int scale) {
    PanelTextStyle style;
    style.colour = 0xF0F0F0;
    style.pixelHeight = 16 * scale;
    style.bold = false;
    return style;
}

std::vector<std::string> wrapLines(const std::vector<std::string>& lines, int maxWidth,
                                   const PanelTextStyle& style) {
    std::vector<std::string> wrapped;
    for (const std::string& line : lines) {
        if (measureText(line, style).width <= maxWidth) {
            wrapped.push_back(line);
            continue;
        }
        std::string current;
        for (const std::string& word : words(line)) {
            const std::string longer = current.empty() ? word : current + " " + word;
            if (!current.empty() && measureText(longer, style).width > maxWidth) {
                wrapped.push_back(current);
                current = word;
            } else {
                current = longer;
            }
        }
        wrapped.push_back(current);
    }
    return wrapped;
}

std::string elidedText(const std::string& line, int maxWidth, const PanelTextStyle& style) {
    if (measureText(line, style).width <= maxWidth)
        return line;
    std::string kept = line;
    while (!kept.empty()) {
        // Whole UTF-8 characters go: continuation bytes first, then the byte they follow.
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0) == 0x80)
            kept.pop_back();
        if (!kept.empty())
            kept.pop_back();
        if (measureText(kept + "…", style).width <= maxWidth)
            break;
    }
    return kept + "…";
}

Rect drawOverlayBox(CImageExt& target, const Rect& area, const OverlayBox& box) {
    if (box.lines.empty() || target.isNull())
        return {};
    const int scale = std::max(box.scale, 1);
    const int margin = kMargin * scale;
    const int padding = kPadding * scale;
    const int lineGap = kLineGap * scale;
    const PanelTextStyle style = overlayTextStyle(scale);
    const int textWidth = std::max(1, static_cast<int>(area.width()) - 2 * (margin + padding));
    const std::vector<std::string> lines = wrapLines(box.lines, textWidth, style);
    const int lineHeight = measureText("Ag", style).height + lineGap;
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, measureText(line, style).width);
    const int width = std::min(widest, textWidth) + 2 * padding;
    const int height = static_cast<int>(lines.size()) * lineHeight - lineGap + 2 * padding;
    const Point topLeft =
        box.place == OverlayBox::Place::TopLeft
            ? Point{area.left + margin, area.top + margin}
            : Point{static_cast<int>(area.left + (area.width() - width) / 2),
                    area.top + std::max(margin, static_cast<int>(area.height() - height) / 2)};
    const Rect rect{topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + height};
    {
        Canvas& canvas = target.beginDraw();
        canvas.fillRectangle(rect, kBackingColour, kBackingAlpha);
        target.endDraw();
    }
    int top = rect.top + padding;
    for (const std::string& line : lines) {
        if (box.centredLines)
            drawCentredText(target, {rect.left, top, rect.right, top + lineHeight}, line, style);
        else
            drawTextAt(target, {rect.left + padding, top}, line, style);
        top += lineHeight;
    }
    return rect;
}

}  // namespace lumenreel
