#include "app/ContextMenu.h"

#include <algorithm>

#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {

constexpr int kPaddingX = 10;
constexpr int kCheckWidth = 18;  // room for the check before every label
constexpr int kKeyGap = 24;      // between the longest label and the keys
constexpr int kBorder = 1;
constexpr std::uint32_t kBorderColour = 0xFF5A5F66;
constexpr std::uint32_t kFillColour = 0xFF24272C;
constexpr std::uint32_t kLitColour = 0xFF2E82F8;
const PanelTextStyle kLabelStyle{0xF0F0F0, 15, false};
const PanelTextStyle kKeyStyle{0xA8A8A8, 14, false};

}  // namespace

void ContextMenu::Open(std::vector<Item> items, Point at, const Rect& bounds) {
    m_items = std::move(items);
    m_lit.reset();
    m_labelWidth = 0;
    int keyWidth = 0;
    for (const Item& item : m_items) {
        m_labelWidth = std::max(m_labelWidth, measureText(item.label, kLabelStyle).width);
        keyWidth = std::max(keyWidth, measureText(item.key, kKeyStyle).width);
    }
    const int width = 2 * kBorder + 2 * kPaddingX + kCheckWidth + m_labelWidth + kKeyGap + keyWidth;
    const int height = 2 * kBorder + kItemHeight * static_cast<int>(m_items.size());
    const int left = std::max(bounds.left, std::min(at.x, bounds.right - width));
    const int top = std::max(bounds.top, std::min(at.y, bounds.bottom - height));
    m_bounds = {left, top, left + width, top + height};
}

std::optional<int> ContextMenu::itemAt(Point point) const {
    if (!IsOpen() || !m_bounds.contains(point))
        return std::nullopt;
    const int index = (point.y - m_bounds.top - kBorder) / kItemHeight;
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return std::nullopt;
    return index;
}

bool ContextMenu::MouseMove(Point point) {
    const std::optional<int> lit = itemAt(point);
    if (lit == m_lit)
        return false;
    m_lit = lit;
    return true;
}

std::optional<int> ContextMenu::Press(Point point) {
    const std::optional<int> index = itemAt(point);
    const std::optional<int> command =
        index ? std::optional<int>(m_items[static_cast<std::size_t>(*index)].command)
              : std::nullopt;
    Close();
    return command;
}

void ContextMenu::MoveLit(int step) {
    if (!IsOpen())
        return;
    const int count = static_cast<int>(m_items.size());
    if (!m_lit)
        m_lit = step > 0 ? 0 : count - 1;
    else
        m_lit = ((*m_lit + step) % count + count) % count;
}

std::optional<int> ContextMenu::ChooseLit() {
    const std::optional<int> command =
        m_lit ? std::optional<int>(m_items[static_cast<std::size_t>(*m_lit)].command)
              : std::nullopt;
    Close();
    return command;
}

void ContextMenu::Draw(CImageExt& target) const {
    if (!IsOpen() || target.isNull())
        return;
    const Rect& b = m_bounds;
    const int width = static_cast<int>(b.width());
    fillPixels(target.view(), b.left, b.top, width, static_cast<int>(b.height()), kBorderColour);
    fillPixels(target.view(), b.left + kBorder, b.top + kBorder, width - 2 * kBorder,
               static_cast<int>(b.height()) - 2 * kBorder, kFillColour);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const int top = b.top + kBorder + static_cast<int>(i) * kItemHeight;
        if (m_lit == static_cast<int>(i))
            fillPixels(target.view(), b.left + kBorder, top, width - 2 * kBorder, kItemHeight,
                       kLitColour);
        const int textLeft = b.left + kBorder + kPaddingX;
        const Rect row{textLeft, top, textLeft + kCheckWidth, top + kItemHeight};
        if (item.checked)
            drawCentredText(target, row, "\u2713", kLabelStyle);
        const int labelLeft = textLeft + kCheckWidth;
        drawCentredText(target,
                        {labelLeft, top, labelLeft + measureText(item.label, kLabelStyle).width,
                         top + kItemHeight},
                        item.label, kLabelStyle);
        const int keyRight = b.right - kBorder - kPaddingX;
        drawCentredText(
            target,
            {keyRight - measureText(item.key, kKeyStyle).width, top, keyRight, top + kItemHeight},
            item.key, kKeyStyle);
    }
}

}  // namespace lumenreel
