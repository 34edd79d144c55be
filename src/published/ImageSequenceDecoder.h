#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "images/ImageExt.h"
#include "published/LoadLimits.h"

class CFile;

namespace NKWXDecodersEncoders {

// Receives the decoder's trace lines (each ends with "\r\n").
using TraceSink = std::function<void(std::string_view)>;

// One picture, tile or placement of the picture stream.
struct CImageEncWrap {
    std::unique_ptr<CImageExt> ownImage;  // pictures with a bitmap of their own, and tiles
    CImageExt* image = nullptr;           // what the node's pixels are read from
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int sourceX = 0;
    int sourceY = 0;
    int node = -1;  // the picture or tile a placement refers to
    int pictureIndex = -1;
    int id = -1;
};

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

// Loads a picture stream once and composes any of its pictures, in any order of request, from
// full pictures, tiles and the three copy lists.
class CImageSequenceDecoder {
public:
    CImageSequenceDecoder();
    ~CImageSequenceDecoder();

    void SetTraceLog(TraceSink sink) { m_trace = std::move(sink); }
    void setLimits(const lumenreel::LoadLimits& limits) { m_limits = limits; }

    // False on a stream that is truncated or inconsistent; lastError() says why.
    bool Load(CFile& stream);
    bool Load(std::span<const std::uint8_t> stream);
    const std::string& lastError() const { return m_error; }

    int GetPictureCount() const { return m_header.pictureCount; }
    // Composes picture i when needed and copies it into the image (24-bit, the picture's size).
    bool GetPicture(CImageExt& image, int i);
    const CImageEncWrap* FindNode(int id) const;
    const PictureStreamHeader& header() const { return m_header; }

private:
    friend class PictureStreamParser;

    struct PictureEntries {
        std::vector<std::uint32_t> listA, listB, listC, tiles;
        bool empty() const {
            return listA.empty() && listB.empty() && listC.empty() && tiles.empty();
        }
    };

    void trace(std::string_view label, std::int64_t value) const;
    void reset();
    bool hasOwnBitmap(int picture) const;
    void ensureOwnComposed(int picture);
    void composePicture(int picture);
    CImageExt& targetOf(int picture);
    const CImageExt* nodePixels(int node) const;
    void drawEntry(const CImageEncWrap& entry, CImageExt& target, bool fromSource);

    TraceSink m_trace;
    lumenreel::LoadLimits m_limits;
    std::string m_error;
    PictureStreamHeader m_header;
    std::vector<CImageEncWrap> m_pictures;
    std::vector<int> m_fullPictures;
    std::vector<CImageEncWrap> m_tiles;
    std::vector<CImageEncWrap> m_listA, m_listB, m_listC;
    std::vector<PictureEntries> m_entries;  // per picture: indexes into the lists and tiles
    std::vector<bool> m_isFull;
    std::vector<bool> m_composed;                        // for pictures with a bitmap of their own
    std::vector<std::unique_ptr<CImageExt>> m_canvases;  // by position within a key group
    int m_firstTileId = 0;
    int m_lastGroup = -1;
    int m_highestComposed = -1;
};

}  // namespace NKWXDecodersEncoders
