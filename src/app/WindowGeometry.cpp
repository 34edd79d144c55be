#include "app/WindowGeometry.h"

#include <algorithm>

namespace lumenreel {
namespace {

// Room the dialog's sizing border takes around the view.
constexpr int kBorderWidth = 4;
constexpr int kBorderHeight = 10;

}  // namespace

WindowPlacement fitWindowToMovie(Size preferredSize, const Rect& area, Size minimumSize,
                                 int scale) {
    const int screenW = area.width();
    const int screenH = area.height();
    int w = preferredSize.width + kBorderWidth * scale;
    int h = preferredSize.height + kBorderHeight * scale;
    WindowPlacement placement;
    placement.tooBig = w > screenW || h > screenH;
    w = std::min(w, screenW);
    h = std::min(h, screenH);
    w = std::max(w, std::min(minimumSize.width, screenW));
    h = std::max(h, std::min(minimumSize.height, screenH));
    const int x = area.left + (screenW - w) / 2;
    const int y = area.top + (screenH - h) / 2;
    placement.rect = {x, y, x + w, y + h};
    return placement;
}

}  // namespace lumenreel
