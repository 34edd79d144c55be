// Reading a picture stream: every count, id and rectangle is checked against the data and the
// pictures before it is used, so composing never has to.
#include "published/PictureStreamParser.h"

#include <array>
#include <string>

#include "base/ByteReader.h"
#include "images/ImageDecoder.h"
#include "images/ImageLimits.h"
#include "images/PixelBlit.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace NKWXDecodersEncoders {

using lumenreel::ByteReader;

namespace {

// Pictures past this cannot be named by a group's 16-bit picture index.
constexpr int kMaxPictures = 65536;
// A picture whose placements would draw more than this many times its area is not a real one
// (real pictures are drawn about once); the cap bounds the work of composing hostile streams.
constexpr std::int64_t kMaxDrawnAreaPerPicture = 16;
// A stream damaged throughout gets one line per skipped entry only up to here.
constexpr std::size_t kMaxSkippedNotes = 20;

class PictureStreamParser {
public:
    PictureStreamParser(const lumenreel::LoadLimits& limits, const TraceSink& trace,
                        std::string& error)
        : m_limits(limits), m_trace(trace), m_error(error) {}

    std::optional<PictureStreamContent> parse(std::span<const std::uint8_t> stream) {
        ByteReader in(stream);
        if (!readHeader(in))
            return std::nullopt;
        std::string reason;
        auto packed = in.take(in.remaining());
        trace("gzip section size: ", static_cast<std::int64_t>(packed.size()));
        auto inflated = lumenreel::zcd::inflatePacked(packed, m_limits.maxInflatedBytes, reason);
        if (!inflated) {
            fail("picture stream: " + reason);
            return std::nullopt;
        }
        trace("after decode size: ", static_cast<std::int64_t>(inflated->size()));
        ByteReader body(*inflated);
        if (!(readPalette(body) && readFullPictures(body) && readTiles(body) && readLists(body) &&
              readTilePixels(body)))
            return std::nullopt;
        skipUnreadableEntries();
        if (!checkWork())
            return std::nullopt;
        return std::move(c);
    }

private:
    void trace(std::string_view label, std::int64_t value) const {
        if (m_trace)
            m_trace(std::string(label) + std::to_string(value) + "\r\n");
    }
    bool fail(std::string reason) {
        m_error = std::move(reason);
        return false;
    }
    bool truncated(const char* what) {
        return fail(std::string("picture stream: truncated ") + what);
    }

    bool readHeader(ByteReader& in) {
        auto& h = c.header;
        auto name = lumenreel::zcd::readString(in);
        h.version = in.i32();
        h.bitsPerPixel = in.u8();
        h.keyInterval = in.i32();
        h.pictureCount = in.i32();
        h.allNodes = in.i32();
        h.width = in.i32();
        h.height = in.i32();
        if (!name || !in.ok())
            return truncated("header");
        h.codecName = *name;
        trace("version: ", h.version);
        trace("bpp: ", h.bitsPerPixel);
        trace("keyframe interval: ", h.keyInterval);
        trace("num_all_images: ", h.pictureCount);
        trace("all nodes: ", h.allNodes);
        trace("resx: ", h.width);
        trace("resy: ", h.height);
        if (h.bitsPerPixel != 24 && (h.bitsPerPixel < 1 || h.bitsPerPixel > 8))
            return fail("picture stream: unsupported bits per pixel " +
                        std::to_string(h.bitsPerPixel));
        if (h.keyInterval < 1)
            return fail("picture stream: key interval below 1");
        if (h.pictureCount < 0 || h.pictureCount > kMaxPictures)
            return fail("picture stream: bad picture count " + std::to_string(h.pictureCount));
        const bool noPictures = h.pictureCount == 0 && h.width == 0 && h.height == 0;
        if (!noPictures && !lumenreel::imageSizeAllowed(h.width, h.height))
            return fail("picture stream: bad picture size");
        c.pictures.resize(static_cast<std::size_t>(h.pictureCount));
        for (int i = 0; i < h.pictureCount; ++i) {
            c.pictures[i].id = i;
            c.pictures[i].pictureIndex = i;
        }
        for (auto* list : {&c.listA, &c.listB, &c.listC})
            list->setPictureCount(h.pictureCount);
        c.tiles.setPictureCount(h.pictureCount);
        m_nextId = h.pictureCount + 1;
        return true;
    }

    bool palettePictures() const { return c.header.bitsPerPixel <= 8; }
    std::int64_t pictureBytes() const {
        return std::int64_t{CImageExt::rowBytes(c.header.width, 24)} * c.header.height;
    }

    bool readPalette(ByteReader& in) {
        if (!palettePictures())
            return true;
        int entries = 1 << c.header.bitsPerPixel;
        for (int i = 0; i < entries; ++i) {
            auto bgrx = in.take(4);
            if (!in.ok())
                return truncated("palette");
            m_palette[i] = {bgrx[0], bgrx[1], bgrx[2]};
        }
        return true;
    }

    // Full pictures and group-first pictures keep a bitmap each, the other positions share one
    // canvas per position: the worst case must fit the budget before anything is decoded.
    bool checkPictureBudget(std::uint32_t fullCount) const {
        const auto& h = c.header;
        std::uint64_t groups = (static_cast<std::uint64_t>(h.pictureCount) + h.keyInterval - 1) /
                               static_cast<std::uint64_t>(h.keyInterval);
        std::uint64_t canvases =
            static_cast<std::uint64_t>(std::min(h.keyInterval, h.pictureCount));
        std::uint64_t bitmaps = groups + canvases + fullCount;
        return bitmaps <= m_limits.maxPictureBytes /
                              static_cast<std::uint64_t>(std::max<std::int64_t>(pictureBytes(), 1));
    }

    bool readFullPictures(ByteReader& in) {
        auto count = lumenreel::zcd::readCount(in, 4);
        if (!count)
            return truncated("full picture count");
        trace("num full images: ", *count);
        if (!checkPictureBudget(*count))
            return fail("picture stream: pictures need more memory than allowed");
        for (std::uint32_t n = 0; n < *count; ++n) {
            std::int32_t index = in.i32();
            if (!in.ok())
                return truncated("full picture");
            if (index < 0 || index >= c.header.pictureCount || c.pictures[index].full)
                return fail("picture stream: bad full picture index " + std::to_string(index));
            ++m_nextId;  // full-picture records use up an id that nothing names
            auto bitmap = palettePictures() ? readIndexedPicture(in) : readImageFile(in, index);
            if (!bitmap)
                return false;
            auto& picture = c.pictures[index];
            picture.ownImage = std::move(bitmap);
            picture.image = picture.ownImage.get();
            picture.full = true;
        }
        return true;
    }

    std::unique_ptr<CImageExt> readImageFile(ByteReader& in, int index) {
        auto file = lumenreel::zcd::readBlob(in);
        if (!file) {
            truncated("full picture file");
            return nullptr;
        }
        CImageExt decoded;
        std::string reason;
        if (!lumenreel::decodeImage(*file, decoded, reason)) {
            fail("picture stream: full picture " + std::to_string(index) + ": " + reason);
            return nullptr;
        }
        if (decoded.width() != c.header.width || decoded.height() != c.header.height) {
            fail("picture stream: full picture of the wrong size");
            return nullptr;
        }
        if (decoded.bpp() == 24)
            return std::make_unique<CImageExt>(std::move(decoded));
        auto bitmap = std::make_unique<CImageExt>();
        lumenreel::copyAsBgr24(decoded, *bitmap);
        return bitmap;
    }

    std::unique_ptr<CImageExt> readIndexedPicture(ByteReader& in) {
        const auto& h = c.header;
        auto indexes = in.take(static_cast<std::size_t>(h.width) * h.height);
        if (!in.ok()) {
            truncated("full picture indexes");
            return nullptr;
        }
        auto bitmap = std::make_unique<CImageExt>();
        bitmap->create(h.width, h.height, 24);
        const std::uint8_t* from = indexes.data();
        for (int y = 0; y < h.height; ++y)
            from = expandIndexes(from, *bitmap, 0, y, h.width);
        return bitmap;
    }

    const std::uint8_t* expandIndexes(const std::uint8_t* from, CImageExt& to, int x, int y,
                                      int count) const {
        std::uint8_t* out = to.firstRow() + static_cast<std::ptrdiff_t>(y) * to.pitch() + x * 3;
        for (int i = 0; i < count; ++i, out += 3) {
            const auto& bgr = m_palette[from[i]];
            out[0] = bgr[0];
            out[1] = bgr[1];
            out[2] = bgr[2];
        }
        return from + count;
    }

    // Reads groups of entries until their counts reach total; each group names its picture.
    template <class ReadEntry>
    bool readGroups(ByteReader& in, std::uint32_t total, std::size_t entryBytes, const char* what,
                    ReadEntry readEntry) {
        std::uint64_t seen = 0;
        while (seen < total) {
            int picture = in.u16();
            std::int32_t count = in.i32();
            if (!in.ok())
                return truncated(what);
            if (picture >= c.header.pictureCount)
                return fail(std::string("picture stream: ") + what + " names picture " +
                            std::to_string(picture) + " past the last");
            if (count < 0 || seen + static_cast<std::uint64_t>(count) > total)
                return fail(std::string("picture stream: ") + what + " groups exceed their total");
            if (!in.canHold(static_cast<std::uint64_t>(count), entryBytes))
                return truncated(what);
            for (std::int32_t i = 0; i < count; ++i)
                if (!readEntry(in, picture))
                    return false;
            seen += static_cast<std::uint64_t>(count);
        }
        return true;
    }

    std::optional<std::uint32_t> readTotal(ByteReader& in, std::size_t entryBytes) {
        return lumenreel::zcd::readCount(in, entryBytes);
    }

    bool insidePicture(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
        return x >= 0 && y >= 0 && x + w <= c.header.width && y + h <= c.header.height;
    }

    bool addTile(int picture, int x, int y, int w, int h) {
        if (!insidePicture(x, y, w, h))
            return fail("picture stream: tile outside its picture");
        StreamTile tile;
        tile.x = x;
        tile.y = y;
        tile.width = w;
        tile.height = h;
        tile.pictureIndex = picture;
        tile.id = m_nextId++;
        m_tilePixelCount += static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
        c.tiles.add(std::move(tile));
        return true;
    }

    bool readTiles(ByteReader& in) {
        std::int32_t total = in.i32();
        auto small = readTotal(in, 4);
        if (!small)
            return truncated("small tile count");
        trace("Node nr:", total);
        trace("Num all small nodes:", *small);
        c.firstTileId = m_nextId;
        bool ok = readGroups(in, *small, 4, "small tiles", [&](ByteReader& r, int picture) {
            int x = r.u8(), y = r.u8(), w = r.u8(), h = r.u8();
            return r.ok() ? addTile(picture, x, y, w, h) : truncated("small tiles");
        });
        if (!ok)
            return false;
        auto large = readTotal(in, 8);
        if (!large)
            return truncated("large tile count");
        trace("Num all large nodes:", *large);
        return readGroups(in, *large, 8, "large tiles", [&](ByteReader& r, int picture) {
            int x = r.u16(), y = r.u16(), w = r.u16(), h = r.u16();
            return r.ok() ? addTile(picture, x, y, w, h) : truncated("large tiles");
        });
    }

    bool readLists(ByteReader& in) {
        in.i32();  // stored before the short form and never used
        auto shortA = readTotal(in, 6);
        if (!shortA)
            return truncated("list A");
        trace("list A short: ", *shortA);
        bool ok = readGroups(in, *shortA, 6, "list A", [&](ByteReader& r, int picture) {
            int node = r.u16(), x = r.u8(), y = r.u8(), w = r.u8(), h = r.u8();
            return r.ok() ? addPlacement(c.listA, picture, node, x, y, w, h, x, y)
                          : truncated("list A");
        });
        if (!ok)
            return false;
        return readLongList(in, c.listA, "list A") && readLongList(in, c.listB, "list B") &&
               readSourceList(in);
    }

    bool readLongList(ByteReader& in, PerPictureList<StreamPlacement>& list, const char* what) {
        auto total = readTotal(in, 12);
        if (!total)
            return truncated(what);
        trace(std::string(what) + ": ", *total);
        return readGroups(in, *total, 12, what, [&](ByteReader& r, int picture) {
            int node = r.i32(), x = r.u16(), y = r.u16(), w = r.u16(), h = r.u16();
            return r.ok() ? addPlacement(list, picture, node, x, y, w, h, x, y) : truncated(what);
        });
    }

    bool readSourceList(ByteReader& in) {
        auto total = readTotal(in, 16);
        if (!total)
            return truncated("list C");
        trace("list C: ", *total);
        return readGroups(in, *total, 16, "list C", [&](ByteReader& r, int picture) {
            int node = r.i32(), x = r.u16(), y = r.u16(), w = r.u16(), h = r.u16();
            int sx = r.u16(), sy = r.u16();
            return r.ok() ? addPlacement(c.listC, picture, node, x, y, w, h, sx, sy)
                          : truncated("list C");
        });
    }

    // One damaged entry costs the picture that rectangle, not the whole demo.
    void skip(const std::string& what) {
        if (c.skipped.size() < kMaxSkippedNotes)
            c.skipped.push_back("picture stream: " + what);
        else if (c.skipped.size() == kMaxSkippedNotes)
            c.skipped.push_back("picture stream: more entries skipped");
    }

    bool addPlacement(PerPictureList<StreamPlacement>& list, int picture, int node, int x, int y,
                      int w, int h, int sx, int sy) {
        if (!insidePicture(x, y, w, h)) {
            skip("placement outside picture " + std::to_string(picture) + " skipped");
            return true;
        }
        list.add({.node = node,
                  .pictureIndex = picture,
                  .x = x,
                  .y = y,
                  .width = w,
                  .height = h,
                  .sourceX = sx,
                  .sourceY = sy});
        return true;
    }

    bool readTilePixels(ByteReader& in) {
        const std::uint64_t bytesPerPixel = palettePictures() ? 1 : 3;
        if (!in.canHold(m_tilePixelCount, bytesPerPixel))
            return truncated("tile pixels");
        for (auto& tile : c.tiles.items()) {
            if (tile.width == 0 || tile.height == 0)
                continue;
            tile.ownImage = std::make_unique<CImageExt>();
            tile.ownImage->create(tile.width, tile.height, 24);
            tile.image = tile.ownImage.get();
            for (int y = 0; y < tile.height; ++y) {
                if (palettePictures()) {
                    expandIndexes(in.take(tile.width).data(), *tile.image, 0, y, tile.width);
                } else {
                    auto row = in.take(static_cast<std::size_t>(tile.width) * 3);
                    std::copy(row.begin(), row.end(),
                              tile.image->firstRow() + y * tile.image->pitch());
                }
            }
        }
        return true;
    }

    // A placement may read a picture only when composing guarantees that picture is built first
    // and still intact: an earlier picture of the same group, an earlier group-first picture, or
    // an earlier full picture that nothing draws onto.
    bool readableFrom(int node, int picture) const {
        const int k = c.header.keyInterval;
        if (node >= picture)
            return false;
        if (node % k == 0 || node / k == picture / k)
            return true;
        return c.pictures[node].full && !c.drawnOnto(node);
    }

    bool checkPlacement(const StreamPlacement& placement, bool fromSource) const {
        int sx = fromSource ? placement.sourceX : 0;
        int sy = fromSource ? placement.sourceY : 0;
        if (placement.node >= 0 && placement.node < c.header.pictureCount) {
            if (!fromSource)
                sx = placement.x, sy = placement.y;
            return readableFrom(placement.node, placement.pictureIndex) &&
                   insidePicture(sx, sy, placement.width, placement.height);
        }
        const auto& tiles = c.tiles.items();
        std::int64_t tileIndex = std::int64_t{placement.node} - c.firstTileId;
        if (tileIndex < 0 || tileIndex >= static_cast<std::int64_t>(tiles.size()))
            return false;
        const auto& tile = tiles[static_cast<std::size_t>(tileIndex)];
        return std::int64_t{sx} + placement.width <= tile.width &&
               std::int64_t{sy} + placement.height <= tile.height;
    }

    // Entries that name nothing, or a picture not certain to be built before them, are left
    // out, so every picture comes out the same whatever order pictures are asked for in. What
    // is readable is judged on the lists as stored, before any entry goes.
    void skipUnreadableEntries() {
        struct Check {
            PerPictureList<StreamPlacement>& list;
            bool fromSource;
            const char* name;
        };
        std::vector<std::vector<bool>> unreadable;
        const Check checks[] = {
            {c.listA, false, "list A"}, {c.listB, false, "list B"}, {c.listC, true, "list C"}};
        for (const Check& check : checks) {
            std::vector<bool>& marks = unreadable.emplace_back();
            for (const auto& placement : check.list.items()) {
                marks.push_back(!checkPlacement(placement, check.fromSource));
                if (marks.back())
                    skip(std::string(check.name) + " entry of picture " +
                         std::to_string(placement.pictureIndex) + " names nothing; skipped");
            }
        }
        for (std::size_t k = 0; k < std::size(checks); ++k) {
            std::size_t i = 0;
            checks[k].list.removeIf([&](const StreamPlacement&) { return unreadable[k][i++]; });
        }
    }

    bool checkWork() {
        std::vector<std::int64_t> drawn(c.pictures.size(), 0);
        auto add = [&](const auto& list) {
            for (const auto& e : list.items())
                drawn[e.pictureIndex] += std::int64_t{e.width} * e.height;
        };
        add(c.listA);
        add(c.listB);
        add(c.listC);
        add(c.tiles);
        const std::int64_t cap =
            kMaxDrawnAreaPerPicture * std::int64_t{c.header.width} * c.header.height;
        for (auto area : drawn)
            if (area > cap)
                return fail("picture stream: a picture draws far more than its area");
        return true;
    }

    const lumenreel::LoadLimits& m_limits;
    const TraceSink& m_trace;
    std::string& m_error;
    PictureStreamContent c;  // what the load produces, handed over whole when it succeeds
    std::array<std::array<std::uint8_t, 3>, 256> m_palette{};
    std::uint64_t m_tilePixelCount = 0;
    int m_nextId = 0;
};

}  // namespace

std::optional<PictureStreamContent> parsePictureStream(std::span<const std::uint8_t> stream,
                                                       const lumenreel::LoadLimits& limits,
                                                       const TraceSink& trace, std::string& error) {
    return PictureStreamParser(limits, trace, error).parse(stream);
}

}  // namespace NKWXDecodersEncoders
