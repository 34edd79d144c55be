#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/FolderListing.h"
#include "player/ViewGeometry.h"

class CImageExt;

namespace lumenreel {

// The player's own file-open list, for desktops without a chooser program: the folders and
// movies of one folder drawn over the movie, walked with the keys or the mouse. Coordinates are
// the window's.
class FileList {
public:
    enum class Action { Up, Down, PageUp, PageDown, Home, End, Open, Parent, Close };
    struct Row {
        std::string name;
        enum class Kind { Parent, Folder, Movie } kind = Kind::Movie;
    };

    void Open(const std::filesystem::path& folder);
    void Close() { m_open = false; }
    bool IsOpen() const { return m_open; }
    const FolderListing& Listing() const { return m_listing; }
    // ".." first where the folder has a parent, then the listing's entries.
    const std::vector<Row>& Rows() const { return m_rows; }
    std::size_t Selected() const { return m_selected; }
    // The first row shown.
    std::size_t Top() const { return m_top; }

    // Moves, opens a folder, goes up or closes; the movie chosen, which closes the list.
    std::optional<std::filesystem::path> Act(Action action);
    // Selects the row under the point; a double click then opens it as Open does.
    std::optional<std::filesystem::path> Click(Point point, bool doubleClick);
    // Where the list was last drawn.
    Rect Bounds() const { return m_bounds; }
    // Fills the area but for a margin, scrolled so the selection shows.
    void Draw(CImageExt& target, const Rect& area);
    // Drawn at this many device pixels a layout pixel.
    void SetScale(int scale) { m_scale = std::max(scale, 1); }

private:
    void show(FolderListing listing, const std::string& selectName);
    void select(std::ptrdiff_t row);
    void layout(const Rect& area);
    std::optional<std::filesystem::path> openSelected();
    int scaled(int length) const { return length * m_scale; }

    bool m_open = false;
    FolderListing m_listing;
    std::vector<Row> m_rows;
    std::size_t m_selected = 0;
    std::size_t m_top = 0;
    // From the last drawing: the box, its rows' area, and how many rows fit.
    Rect m_bounds;
    Rect m_rowArea;
    std::size_t m_visibleRows = 10;
    int m_scale = 1;
};

}  // namespace lumenreel
