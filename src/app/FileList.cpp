#include "app/FileList.h"

#include <algorithm>

#include "app/OverlayBox.h"
#include "images/Canvas.h"
#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "player/TimeText.h"

namespace lumenreel {
namespace {

// In layout pixels.
constexpr int kMargin = 12;
constexpr int kPadding = 10;
constexpr int kRowHeight = 22;
constexpr int kScrollBarWidth = 4;
constexpr std::uint32_t kBackingColour = 0x101010;
constexpr int kBackingAlpha = 235;
constexpr std::uint32_t kSelectedColour = 0xFF2E82F8;
constexpr std::uint32_t kScrollBarColour = 0xFF808080;
constexpr std::uint32_t kDimText = 0xA8A8A8;
const char* const kHint = "Enter opens · Backspace goes up · Escape closes";

// Absolute, without "." or ".." and without a trailing separator, so its parent is the folder
// above.
std::filesystem::path normalFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path result = std::filesystem::absolute(folder, error).lexically_normal();
    if (result.has_relative_path() && result.filename().empty())
        result = result.parent_path();
    return result;
}

bool hasParent(const std::filesystem::path& folder) {
    return folder.parent_path() != folder;
}

std::string rowLabel(const FileList::Row& row) {
    switch (row.kind) {
        case FileList::Row::Kind::Parent:
            return "..";
        case FileList::Row::Kind::Folder:
            return row.name + "/";
        case FileList::Row::Kind::Movie:
            break;
    }
    return row.name;
}

}  // namespace

void FileList::Open(const std::filesystem::path& folder) {
    m_open = true;
    show(listFolder(normalFolder(folder)), {});
}

void FileList::show(FolderListing listing, const std::string& selectName) {
    m_listing = std::move(listing);
    m_rows.clear();
    if (hasParent(m_listing.folder))
        m_rows.push_back({"..", Row::Kind::Parent});
    for (const FolderListing::Entry& entry : m_listing.entries)
        m_rows.push_back({entry.name, entry.folder ? Row::Kind::Folder : Row::Kind::Movie});
    m_selected = 0;
    m_top = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].kind == Row::Kind::Folder && m_rows[i].name == selectName)
            m_selected = i;
    select(static_cast<std::ptrdiff_t>(m_selected));
}

void FileList::select(std::ptrdiff_t row) {
    if (m_rows.empty())
        return;
    m_selected = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(row, 0, static_cast<std::ptrdiff_t>(m_rows.size()) - 1));
    if (m_selected < m_top)
        m_top = m_selected;
    else if (m_selected >= m_top + m_visibleRows)
        m_top = m_selected + 1 - m_visibleRows;
    m_top = std::min(m_top, m_rows.size() - std::min(m_rows.size(), m_visibleRows));
}

std::optional<std::filesystem::path> FileList::Act(Action action) {
    const auto selected = static_cast<std::ptrdiff_t>(m_selected);
    const auto page = static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, m_visibleRows - 1));
    switch (action) {
        case Action::Up:
            select(selected - 1);
            break;
        case Action::Down:
            select(selected + 1);
            break;
        case Action::PageUp:
            select(selected - page);
            break;
        case Action::PageDown:
            select(selected + page);
            break;
        case Action::Home:
            select(0);
            break;
        case Action::End:
            select(static_cast<std::ptrdiff_t>(m_rows.size()) - 1);
            break;
        case Action::Open:
            return openSelected();
        case Action::Parent:
            if (hasParent(m_listing.folder))
                show(listFolder(m_listing.folder.parent_path()),
                     m_listing.folder.filename().string());
            break;
        case Action::Close:
            Close();
            break;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> FileList::openSelected() {
    if (m_selected >= m_rows.size())
        return std::nullopt;
    const Row row = m_rows[m_selected];
    switch (row.kind) {
        case Row::Kind::Parent:
            Act(Action::Parent);
            break;
        case Row::Kind::Folder:
            show(listFolder(m_listing.folder / row.name), {});
            break;
        case Row::Kind::Movie:
            Close();
            return m_listing.folder / row.name;
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> FileList::Click(Point point, bool doubleClick) {
    if (!m_rowArea.contains(point))
        return std::nullopt;
    const std::size_t row =
        m_top + static_cast<std::size_t>((point.y - m_rowArea.top) / scaled(kRowHeight));
    if (row >= m_rows.size() || row >= m_top + m_visibleRows)
        return std::nullopt;
    select(static_cast<std::ptrdiff_t>(row));
    return doubleClick ? openSelected() : std::nullopt;
}

void FileList::layout(const Rect& area) {
    const int margin = scaled(kMargin);
    const int padding = scaled(kPadding);
    const int rowHeight = scaled(kRowHeight);
    m_bounds = {area.left + margin, area.top + margin,
                std::max(area.left + margin, area.right - margin),
                std::max(area.top + margin, area.bottom - margin)};
    // A title row above the rows and a hint row below them.
    const int top = m_bounds.top + padding + rowHeight + padding / 2;
    const int bottom = std::max(top, m_bounds.bottom - padding - rowHeight);
    m_visibleRows = static_cast<std::size_t>(std::max(1, (bottom - top) / rowHeight));
    m_rowArea = {m_bounds.left + padding / 2, top, m_bounds.right - padding / 2,
                 top + static_cast<int>(m_visibleRows) * rowHeight};
    select(static_cast<std::ptrdiff_t>(m_selected));
}

void FileList::Draw(CImageExt& target, const Rect& area) {
    if (!m_open || target.isNull())
        return;
    layout(area);
    {
        Canvas& canvas = target.beginDraw();
        canvas.fillRectangle(m_bounds, kBackingColour, kBackingAlpha);
        target.endDraw();
    }
    const int padding = scaled(kPadding);
    const int rowHeight = scaled(kRowHeight);
    const int scrollBarWidth = scaled(kScrollBarWidth);
    const PanelTextStyle style = overlayTextStyle(m_scale);
    PanelTextStyle dim = style;
    dim.colour = kDimText;
    const int textLeft = m_bounds.left + padding;
    const int textWidth = static_cast<int>(m_bounds.width()) - 2 * padding - scrollBarWidth;
    const int textDrop = (rowHeight - measureText("Ag", style).height) / 2;
    drawTextAt(target, {textLeft, m_bounds.top + padding + textDrop},
               elidedText("Open a movie — " + m_listing.folder.string(), textWidth, style), style);
    drawTextAt(target, {textLeft, m_rowArea.bottom + textDrop}, elidedText(kHint, textWidth, dim),
               dim);

    const std::size_t end = std::min(m_rows.size(), m_top + m_visibleRows);
    for (std::size_t i = m_top; i < end; ++i) {
        const int top = m_rowArea.top + static_cast<int>(i - m_top) * rowHeight;
        if (i == m_selected)
            fillPixels(target.view(), m_rowArea.left, top,
                       static_cast<int>(m_rowArea.width()) - scrollBarWidth, rowHeight,
                       kSelectedColour);
        drawTextAt(target, {textLeft, top + textDrop},
                   elidedText(rowLabel(m_rows[i]), textWidth, style), style);
    }
    // What the folder could not give says so below what there is (the way up).
    const int after = m_rowArea.top + static_cast<int>(end - m_top) * rowHeight;
    const std::string note = !m_listing.error.empty()
                                 ? "Cannot read this folder: " + m_listing.error
                             : m_listing.entries.empty() ? "No folders or movies here"
                                                         : std::string();
    if (!note.empty() && after < m_rowArea.bottom)
        drawTextAt(target, {textLeft, after + textDrop}, elidedText(note, textWidth, dim), dim);

    if (m_rows.size() > m_visibleRows) {
        const auto height = static_cast<std::size_t>(m_rowArea.height());
        const int thumbTop = m_rowArea.top + static_cast<int>(height * m_top / m_rows.size());
        const int thumbHeight =
            std::max(rowHeight / 2, static_cast<int>(height * m_visibleRows / m_rows.size()));
        fillPixels(target.view(), m_rowArea.right - scrollBarWidth, thumbTop, scrollBarWidth,
                   thumbHeight, kScrollBarColour);
    }
}

}  // namespace lumenreel
