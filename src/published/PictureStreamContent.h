#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/ImageExt.h"

namespace NKWXDecodersEncoders {

struct PictureStreamHeader {
    std::string codecName;
    std::int32_t version = 0;
    int bitsPerPixel = 0;
    int keyInterval = 0;
    int pictureCount = 0;
    std::int32_t allNodes = 0;
    int width = 0;
    int height = 0;
};

// What a placement can copy from: a picture of the stream or one of its tiles.
struct PictureNode {
    std::unique_ptr<CImageExt> ownImage;  // full and group-first pictures, and tiles
    CImageExt* image = nullptr;           // where the node's pixels are read from
    int pictureIndex = -1;                // the picture itself, or the one a tile is drawn on
    int id = -1;
};

// Its pixels are a bitmap of its own or the canvas its position in the group shares.
struct StreamPicture : PictureNode {
    bool full = false;  // stored whole in the stream
};

// Stored pixels drawn at one place of one picture.
struct StreamTile : PictureNode {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A rectangle of a picture or tile copied onto one picture.
struct StreamPlacement {
    int node = -1;
    int pictureIndex = -1;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int sourceX = 0;  // where the rectangle is read from, for placements that say so
    int sourceY = 0;
};

// Items of one kind in stored order, and for each picture the items drawn onto it.
template <class Item>
class PerPictureList {
public:
    void setPictureCount(int count) { m_byPicture.resize(static_cast<std::size_t>(count)); }
    void add(Item item) {
        m_byPicture[item.pictureIndex].push_back(static_cast<std::uint32_t>(m_items.size()));
        m_items.push_back(std::move(item));
    }
    // Drops the items `drop` says so of, keeping the stored order of the others.
    template <class Drop>
    void removeIf(Drop drop) {
        std::vector<Item> kept;
        for (Item& item : m_items)
            if (!drop(item))
                kept.push_back(std::move(item));
        const std::size_t pictures = m_byPicture.size();
        m_items.clear();
        m_byPicture.assign(pictures, {});
        for (Item& item : kept)
            add(std::move(item));
    }
    std::vector<Item>& items() { return m_items; }
    const std::vector<Item>& items() const { return m_items; }
    bool drawsOn(int picture) const { return !m_byPicture[picture].empty(); }
    template <class Visit>
    void forEachOn(int picture, Visit visit) const {
        for (auto i : m_byPicture[picture])
            visit(m_items[i]);
    }

private:
    std::vector<Item> m_items;
    std::vector<std::vector<std::uint32_t>> m_byPicture;
};

// Everything loading a picture stream produces.
struct PictureStreamContent {
    PictureStreamHeader header;
    std::vector<StreamPicture> pictures;
    PerPictureList<StreamTile> tiles;
    PerPictureList<StreamPlacement> listA, listB, listC;
    int firstTileId = 0;
    // Entries left out because they could not be drawn, one line each.
    std::vector<std::string> skipped;

    bool drawnOnto(int picture) const {
        return tiles.drawsOn(picture) || listA.drawsOn(picture) || listB.drawsOn(picture) ||
               listC.drawsOn(picture);
    }
};

}  // namespace NKWXDecodersEncoders
