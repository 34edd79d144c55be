#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "player/ViewGeometry.h"

class CImageExt;

namespace lumenreel {

// A small pop-up menu drawn into the window: a column of items, the one under the mouse lit, a
// check before those that are on and the key that does the same at the right. Coordinates are
// the window's.
class ContextMenu {
public:
    struct Item {
        int command = 0;
        std::string label;
        std::string key;  // shown at the right, may be empty
        bool checked = false;
    };

    static constexpr int kItemHeight = 24;  // in layout pixels

    // Drawn at this many device pixels a layout pixel; set before Open.
    void SetScale(int scale) { m_scale = std::max(scale, 1); }

    // Opens with its top-left corner at the point, moved as far as needed to stay in bounds.
    void Open(std::vector<Item> items, Point at, const Rect& bounds);
    void Close() { m_items.clear(); }
    bool IsOpen() const { return !m_items.empty(); }
    const std::vector<Item>& Items() const { return m_items; }
    Rect Bounds() const { return m_bounds; }
    // True when which item is lit changed.
    bool MouseMove(Point point);
    // A press closes the menu; it gives the command of the item pressed, if any.
    std::optional<int> Press(Point point);
    // The keyboard's way: lights the next item down (+1) or up (-1), round the ends.
    void MoveLit(int step);
    // Closes the menu; gives the lit item's command, if one is lit.
    std::optional<int> ChooseLit();
    void Draw(CImageExt& target) const;

private:
    std::optional<int> itemAt(Point point) const;
    int scaled(int length) const { return length * m_scale; }

    std::vector<Item> m_items;
    Rect m_bounds;
    int m_labelWidth = 0;
    std::optional<int> m_lit;
    int m_scale = 1;
};

}  // namespace lumenreel
