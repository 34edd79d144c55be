#include "app/ContextMenu.h"

#include <algorithm>

#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {

// In layout pixels.
constexpr int kPaddingX = 10;
constexpr int kCheckWidth = 18;  // room for the check before every label
constexpr int kKeyGap = 24;      // between the longest label and the keys
constexpr int kBorder = 1;
constexpr std::uint32_t kBorderColour = 0xFF5A5F66;
constexpr std::uint32_t kFillColour = 0xFF24272C;
constexpr std::uint32_t kLitColour = 0xFF2E82F8;

PanelTextStyle labelStyle(int scale) {
    return {0xF0F0F0, 15 * scale, false};
}

PanelTextStyle keyStyle(int scale) {
    return {0xA8A8A8, 14 * scale, false};
}

}  // namespace

void ContextMenu::Open(std::vector<Item> items, Point at, const Rect& bounds) {
    m_items = std::move(items);
    m_lit.reset();
    m_labelWidth = 0;
    int keyWidth = 0;
    for (const Item& item : m_items) {
        m_labelWidth = std::max(m_labelWidth, measureText(item.label, labelStyle(m_scale)).width);
        keyWidth = std::max(keyWidth, measureText(item.key, keyStyle(m_scale)).width);
    }
    const int width =
        scaled(2 * kBorder + 2 * kPaddingX + kCheckWidth + kKeyGap) + m_labelWidth + keyWidth;
    const int height = scaled(2 * kBorder + kItemHeight * static_cast<int>(m_items.size()));
    const int left = std::max(bounds.left, std::min(at.x, bounds.right - width));
    const int top = std::max(bounds.top, std::min(at.y, bounds.bottom - height));
    m_bounds = {left, top, left + width, top + height};
}

std::optional<int> ContextMenu::itemAt(Point point) const {
    if (!IsOpen() || !m_bounds.contains(point))
        return std::nullopt;
    const int index = (point.y - m_bounds.top - scaled(kBorder)) / scaled(kItemHeight);
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
    const int border = scaled(kBorder);
    const int itemHeight = scaled(kItemHeight);
    const int paddingX = scaled(kPaddingX);
    const int checkWidth = scaled(kCheckWidth);
    const PanelTextStyle label = labelStyle(m_scale);
    const PanelTextStyle key = keyStyle(m_scale);
    fillPixels(target.view(), b.left, b.top, width, static_cast<int>(b.height()), kBorderColour);
    fillPixels(target.view(), b.left + border, b.top + border, width - 2 * border,
               static_cast<int>(b.height()) - 2 * border, kFillColour);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const int top = b.top + border + static_cast<int>(i) * itemHeight;
        if (m_lit == static_cast<int>(i))
            fillPixels(target.view(), b.left + border, top, width - 2 * border, itemHeight,
                       kLitColour);
        const int textLeft = b.left + border + paddingX;
        const Rect row{textLeft, top, textLeft + checkWidth, top + itemHeight};
        if (item.checked)
            drawCentredText(target, row, "\u2713", label);
        const int labelLeft = textLeft + checkWidth;
        drawCentredText(
            target,
            {labelLeft, top, labelLeft + measureText(item.label, label).width, top + itemHeight},
            item.label, label);
        const int keyRight = b.right - border - paddingX;
        drawCentredText(
            target, {keyRight - measureText(item.key, key).width, top, keyRight, top + itemHeight},
            item.key, key);
    }
}

}  // namespace lumenreel
