#include "published/PictureStreamEncoder.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace lumenreel::zcd {

namespace {

constexpr int kMaxPictures = 65536;
// A row piece found more often than this in the reference says nothing about a shift.
constexpr std::size_t kMaxVotingRepeats = 8;
// Above this share of changed area a picture is cheaper stored whole.
constexpr double kFullPictureShare = 0.75;

struct Block {
    int x, y, w, h;
};

struct TileRef {
    bool small = false;
    int ordinal = 0;
};

struct Tile {
    int picture = 0;
    Block rect{};
    std::vector<std::uint8_t> pixels;  // stream form: BGR or palette indexes
};

struct Entry {
    int picture = 0;
    int node = -1;  // a picture; -1 when the entry places a tile
    TileRef tile;
    Block rect{};
    int sourceX = 0;
    int sourceY = 0;
};

enum class BlockState : std::uint8_t { unchanged, changed, moved };

class PictureStreamEncoder {
public:
    PictureStreamEncoder(std::span<const CImageExt* const> pictures,
                         const PictureStreamOptions& options)
        : m_options(options), m_pictures(pictures.begin(), pictures.end()) {}

    std::optional<std::vector<std::uint8_t>> encode(std::string& error, PictureStreamStats* stats) {
        if (!prepare(error))
            return std::nullopt;
        for (int p = 0; p < count(); ++p)
            encodePicture(p);
        auto stream = serialize();
        if (stats) {
            *stats = {m_bitsPerPixel,
                      static_cast<int>(m_full.size()),
                      static_cast<int>(m_tiles[1].size()),
                      static_cast<int>(m_tiles[0].size()),
                      static_cast<int>(m_listA.size()),
                      static_cast<int>(m_listB.size()),
                      static_cast<int>(m_listC.size())};
        }
        return stream;
    }

private:
    int count() const { return static_cast<int>(m_pictures.size()); }

    bool prepare(std::string& error) {
        if (m_options.keyInterval < 1 || m_options.blockSize < 1 || m_options.blockSize > 255) {
            error = "bad key interval or block size";
            return false;
        }
        if (count() > kMaxPictures) {
            error = "more than " + std::to_string(kMaxPictures) + " pictures";
            return false;
        }
        for (auto& picture : m_pictures) {
            if (!picture || picture->isNull()) {
                error = "empty picture";
                return false;
            }
            if (picture->bpp() != 24) {
                auto converted = std::make_unique<CImageExt>();
                copyAsBgr24(*picture, *converted);
                picture = converted.get();
                m_converted.push_back(std::move(converted));
            }
        }
        if (count() > 0) {
            m_width = m_pictures[0]->width();
            m_height = m_pictures[0]->height();
        }
        for (const auto* picture : m_pictures) {
            if (picture->width() != m_width || picture->height() != m_height) {
                error = "pictures of different sizes";
                return false;
            }
        }
        return choosePixelForm(error);
    }

    static std::uint32_t colourAt(const std::uint8_t* bgr) {
        return bgr[0] | (std::uint32_t{bgr[1]} << 8) | (std::uint32_t{bgr[2]} << 16);
    }

    const std::uint8_t* pixel(int p, int x, int y) const {
        const CImageExt& image = *m_pictures[p];
        return image.firstRow() + static_cast<std::ptrdiff_t>(y) * image.pitch() + x * 3;
    }

    bool choosePixelForm(std::string& error) {
        using Form = PictureStreamOptions::PixelForm;
        m_bitsPerPixel = 24;
        if (m_options.pixelForm == Form::bgr24)
            return true;
        // Screens are runs of one colour: only a change of colour needs the map.
        std::uint32_t last = 0xFFFFFFFF;
        for (int p = 0; p < count() && m_colours.size() <= 256; ++p)
            for (int y = 0; y < m_height && m_colours.size() <= 256; ++y)
                for (int x = 0; x < m_width; ++x) {
                    std::uint32_t colour = colourAt(pixel(p, x, y));
                    if (colour != last)
                        m_colours.emplace(colour, 0);
                    last = colour;
                }
        if (m_colours.size() > 256) {
            m_colours.clear();
            if (m_options.pixelForm == Form::palette) {
                error = "pictures use more than 256 colours";
                return false;
            }
            return true;
        }
        m_bitsPerPixel = 1;
        while ((std::size_t{1} << m_bitsPerPixel) < m_colours.size())
            m_bitsPerPixel *= 2;
        int index = 0;
        for (auto& [colour, slot] : m_colours)
            slot = static_cast<std::uint8_t>(index++);
        return true;
    }

    bool palette() const { return m_bitsPerPixel <= 8; }

    // The block's pixels as the stream stores them.
    std::vector<std::uint8_t> streamPixels(int p, const Block& b) const {
        std::vector<std::uint8_t> out;
        out.reserve(static_cast<std::size_t>(b.w) * b.h * (palette() ? 1 : 3));
        for (int y = b.y; y < b.y + b.h; ++y) {
            const std::uint8_t* row = pixel(p, b.x, y);
            if (!palette()) {
                out.insert(out.end(), row, row + b.w * 3);
                continue;
            }
            std::uint32_t last = colourAt(row);
            std::uint8_t index = m_colours.at(last);
            for (int x = 0; x < b.w; ++x) {
                std::uint32_t colour = colourAt(row + x * 3);
                if (colour != last)
                    index = m_colours.at(colour), last = colour;
                out.push_back(index);
            }
        }
        return out;
    }

    bool blockEquals(int p, int q, const Block& b, int dy) const {
        for (int y = b.y; y < b.y + b.h; ++y)
            if (std::memcmp(pixel(p, b.x, y), pixel(q, b.x, y + dy), b.w * 3) != 0)
                return false;
        return true;
    }

    std::vector<Block> blocks() const {
        std::vector<Block> grid;
        const int size = m_options.blockSize;
        for (int y = 0; y < m_height; y += size)
            for (int x = 0; x < m_width; x += size)
                grid.push_back({x, y, std::min(size, m_width - x), std::min(size, m_height - y)});
        return grid;
    }

    int blocksAcross() const { return (m_width + m_options.blockSize - 1) / m_options.blockSize; }

    void addFull(int p) { m_full.push_back(p); }

    void encodePicture(int p) {
        if (p == 0)
            return addFull(0);
        const int k = m_options.keyInterval;
        const int ref = p % k == 0 ? p - k : p - 1;
        auto grid = blocks();
        std::vector<BlockState> state(grid.size(), BlockState::unchanged);
        std::vector<int> shift(grid.size(), 0);
        for (std::size_t i = 0; i < grid.size(); ++i)
            if (!blockEquals(p, ref, grid[i], 0))
                state[i] = BlockState::changed;
        if (m_options.detectScrolling)
            findMovedBlocks(p, ref, grid, state, shift);

        std::int64_t changedArea = 0;
        for (std::size_t i = 0; i < grid.size(); ++i)
            if (state[i] == BlockState::changed)
                changedArea += std::int64_t{grid[i].w} * grid[i].h;
        if (changedArea >= kFullPictureShare * m_width * m_height)
            return addFull(p);

        addCopies(p, ref, grid, state, shift);
        for (std::size_t i = 0; i < grid.size(); ++i)
            if (state[i] == BlockState::changed)
                addTile(p, grid[i]);
    }

    // Unchanged blocks become list-B rectangles: runs along each block row, stacked while the
    // rows below repeat the same run. Moved blocks become list-C runs of one shift.
    void addCopies(int p, int ref, const std::vector<Block>& grid,
                   const std::vector<BlockState>& state, const std::vector<int>& shift) {
        const int across = blocksAcross();
        std::map<std::pair<int, int>, std::size_t> open;  // run (first, last) → index in list B
        for (std::size_t row = 0; row * across < grid.size(); ++row) {
            std::map<std::pair<int, int>, std::size_t> next;
            for (int col = 0; col < across;) {
                std::size_t i = row * across + col;
                int last = col;
                while (last + 1 < across && state[i + (last + 1 - col)] == state[i] &&
                       shift[i + (last + 1 - col)] == shift[i])
                    ++last;
                const Block& first = grid[i];
                const Block& end = grid[row * across + last];
                Block run{first.x, first.y, end.x + end.w - first.x, first.h};
                if (state[i] == BlockState::unchanged) {
                    auto above = open.find({col, last});
                    if (above != open.end()) {
                        m_listB[above->second].rect.h += run.h;
                        next[{col, last}] = above->second;
                    } else {
                        next[{col, last}] = m_listB.size();
                        m_listB.push_back({p, ref, {}, run, run.x, run.y});
                    }
                } else if (state[i] == BlockState::moved) {
                    m_listC.push_back({p, ref, {}, run, run.x, run.y + shift[i]});
                }
                col = last + 1;
            }
            open = std::move(next);
        }
    }

    // Votes for vertical shifts by matching row pieces of changed blocks with the reference
    // picture, then takes every changed block that the best shifts reproduce exactly.
    void findMovedBlocks(int p, int ref, const std::vector<Block>& grid,
                         std::vector<BlockState>& state, std::vector<int>& shift) const {
        const int across = blocksAcross();
        std::map<int, int> votes;
        for (int col = 0; col < across; ++col) {
            const Block& top = grid[col];
            bool anyChanged = false;
            for (std::size_t i = col; i < grid.size(); i += across)
                anyChanged |= state[i] == BlockState::changed;
            if (!anyChanged)
                continue;
            auto hashAt = [&](int picture, int y) {
                return std::hash<std::string_view>{}(std::string_view(
                    reinterpret_cast<const char*>(pixel(picture, top.x, y)), top.w * 3));
            };
            // Rows of the reference by content; pieces that occur too often (blank rows) do not
            // vote.
            std::unordered_map<std::size_t, std::vector<int>> rowsOf;
            for (int y = 0; y < m_height; ++y) {
                auto& rows = rowsOf[hashAt(ref, y)];
                if (rows.size() <= kMaxVotingRepeats)
                    rows.push_back(y);
            }
            for (std::size_t i = col; i < grid.size(); i += across) {
                if (state[i] != BlockState::changed)
                    continue;
                for (int y = grid[i].y; y < grid[i].y + grid[i].h; ++y) {
                    auto found = rowsOf.find(hashAt(p, y));
                    if (found == rowsOf.end() || found->second.size() > kMaxVotingRepeats)
                        continue;
                    for (int from : found->second)
                        if (from != y)
                            ++votes[from - y];
                }
            }
        }
        std::vector<std::pair<int, int>> ranked;  // (votes, shift)
        for (auto [dy, n] : votes)
            if (n >= m_options.blockSize)
                ranked.push_back({n, dy});
        std::sort(ranked.rbegin(), ranked.rend());
        if (ranked.size() > 4)
            ranked.resize(4);
        for (std::size_t i = 0; i < grid.size(); ++i) {
            if (state[i] != BlockState::changed)
                continue;
            for (auto [n, dy] : ranked) {
                const Block& b = grid[i];
                if (b.y + dy < 0 || b.y + b.h + dy > m_height || !blockEquals(p, ref, b, dy))
                    continue;
                state[i] = BlockState::moved;
                shift[i] = dy;
                break;
            }
        }
    }

    static bool fitsSmall(const Block& b) {
        return b.x <= 255 && b.y <= 255 && b.w <= 255 && b.h <= 255;
    }

    void addTile(int p, const Block& b) {
        auto pixels = streamPixels(p, b);
        std::size_t key = std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size()));
        key ^= std::hash<int>{}(b.w * 65536 + b.h);
        if (m_options.reuseTiles) {
            for (const TileRef& known : m_tileIndex[key]) {
                const Tile& tile = m_tiles[known.small][known.ordinal];
                if (tile.rect.w == b.w && tile.rect.h == b.h && tile.pixels == pixels) {
                    m_listA.push_back({p, -1, known, b, 0, 0});
                    return;
                }
            }
        }
        TileRef ref{fitsSmall(b), static_cast<int>(m_tiles[fitsSmall(b)].size())};
        m_tiles[ref.small].push_back({p, b, std::move(pixels)});
        if (m_options.reuseTiles)
            m_tileIndex[key].push_back(ref);
    }

    // Node ids: pictures first, one unused id, one per full picture, then small and large tiles.
    int nodeId(const Entry& entry) const {
        if (entry.node >= 0)
            return entry.node;
        int first = count() + 1 + static_cast<int>(m_full.size());
        return first + (entry.tile.small ? 0 : static_cast<int>(m_tiles[1].size())) +
               entry.tile.ordinal;
    }

    template <class Item, class Write>
    static void writeGroups(ZcdOut& out, const std::vector<const Item*>& items, Write write) {
        out.i32(static_cast<std::int32_t>(items.size()));
        for (std::size_t i = 0; i < items.size();) {
            std::size_t end = i;
            while (end < items.size() && items[end]->picture == items[i]->picture)
                ++end;
            out.u16(static_cast<std::uint16_t>(items[i]->picture));
            out.i32(static_cast<std::int32_t>(end - i));
            for (; i < end; ++i)
                write(*items[i]);
        }
    }

    template <class Item>
    static std::vector<const Item*> all(const std::vector<Item>& items) {
        std::vector<const Item*> pointers;
        for (const auto& item : items)
            pointers.push_back(&item);
        return pointers;
    }

    void writeLong(ZcdOut& out, const Entry& e) const {
        out.i32(nodeId(e));
        out.u16(static_cast<std::uint16_t>(e.rect.x));
        out.u16(static_cast<std::uint16_t>(e.rect.y));
        out.u16(static_cast<std::uint16_t>(e.rect.w));
        out.u16(static_cast<std::uint16_t>(e.rect.h));
    }

    std::vector<std::uint8_t> serialize() const {
        ZcdOut head;
        head.string("ZCE");
        head.i32(0x00010001);
        head.u8(static_cast<std::uint8_t>(m_bitsPerPixel));
        head.i32(m_options.keyInterval);
        head.i32(count());
        head.i32(0);
        head.i32(m_width);
        head.i32(m_height);

        ZcdOut body;
        if (palette()) {
            std::vector<std::uint8_t> table(std::size_t{4} << m_bitsPerPixel, 0);
            for (auto [colour, index] : m_colours) {
                table[index * 4u] = colour & 0xFF;
                table[index * 4u + 1] = (colour >> 8) & 0xFF;
                table[index * 4u + 2] = (colour >> 16) & 0xFF;
            }
            body.bytes(table);
        }
        body.i32(static_cast<std::int32_t>(m_full.size()));
        for (int p : m_full) {
            body.i32(p);
            if (palette()) {
                body.bytes(streamPixels(p, {0, 0, m_width, m_height}));
            } else {
                std::vector<std::uint8_t> png;
                encodePng(*m_pictures[p], png);
                body.blob(png);
            }
        }
        body.i32(static_cast<std::int32_t>(m_tiles[0].size() + m_tiles[1].size()));
        writeGroups(body, all(m_tiles[1]), [&](const Tile& t) {
            for (int v : {t.rect.x, t.rect.y, t.rect.w, t.rect.h})
                body.u8(static_cast<std::uint8_t>(v));
        });
        writeGroups(body, all(m_tiles[0]), [&](const Tile& t) {
            for (int v : {t.rect.x, t.rect.y, t.rect.w, t.rect.h})
                body.u16(static_cast<std::uint16_t>(v));
        });
        std::vector<const Entry*> shortA, longA;
        for (const auto& e : m_listA)
            (nodeId(e) <= 0xFFFF && fitsSmall(e.rect) ? shortA : longA).push_back(&e);
        body.i32(0);
        writeGroups(body, shortA, [&](const Entry& e) {
            body.u16(static_cast<std::uint16_t>(nodeId(e)));
            for (int v : {e.rect.x, e.rect.y, e.rect.w, e.rect.h})
                body.u8(static_cast<std::uint8_t>(v));
        });
        writeGroups(body, longA, [&](const Entry& e) { writeLong(body, e); });
        writeGroups(body, all(m_listB), [&](const Entry& e) { writeLong(body, e); });
        writeGroups(body, all(m_listC), [&](const Entry& e) {
            writeLong(body, e);
            body.u16(static_cast<std::uint16_t>(e.sourceX));
            body.u16(static_cast<std::uint16_t>(e.sourceY));
        });
        for (const auto* pool : {&m_tiles[1], &m_tiles[0]})
            for (const auto& tile : *pool)
                body.bytes(tile.pixels);

        auto stream = head.take();
        auto packed = deflatePacked(body.data());
        stream.insert(stream.end(), packed.begin(), packed.end());
        return stream;
    }

    PictureStreamOptions m_options;
    std::vector<const CImageExt*> m_pictures;
    std::vector<std::unique_ptr<CImageExt>> m_converted;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 24;
    std::map<std::uint32_t, std::uint8_t> m_colours;  // colour → palette index
    std::vector<int> m_full;
    std::vector<Tile> m_tiles[2];  // [0] large, [1] small
    std::unordered_map<std::size_t, std::vector<TileRef>> m_tileIndex;
    std::vector<Entry> m_listA, m_listB, m_listC;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> encodePictureStream(
    std::span<const CImageExt* const> pictures, const PictureStreamOptions& options,
    std::string& error, PictureStreamStats* stats) {
    return PictureStreamEncoder(pictures, options).encode(error, stats);
}

}  // namespace lumenreel::zcd
