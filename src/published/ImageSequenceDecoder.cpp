#include "published/ImageSequenceDecoder.h"

#include <algorithm>

#include "published/PictureCopy.h"

namespace NKWXDecodersEncoders {

CImageSequenceDecoder::CImageSequenceDecoder() = default;
CImageSequenceDecoder::~CImageSequenceDecoder() = default;

void CImageSequenceDecoder::reset() {
    m_error.clear();
    m_header = {};
    m_pictures.clear();
    m_fullPictures.clear();
    m_tiles.clear();
    m_listA.clear();
    m_listB.clear();
    m_listC.clear();
    m_entries.clear();
    m_isFull.clear();
    m_composed.clear();
    m_canvases.clear();
    m_firstTileId = 0;
    m_lastGroup = -1;
    m_highestComposed = -1;
}

void CImageSequenceDecoder::trace(std::string_view label, std::int64_t value) const {
    if (m_trace)
        m_trace(std::string(label) + std::to_string(value) + "\r\n");
}

bool CImageSequenceDecoder::hasOwnBitmap(int picture) const {
    return picture % m_header.keyInterval == 0 || m_isFull[picture];
}

CImageExt& CImageSequenceDecoder::targetOf(int picture) {
    auto& record = m_pictures[picture];
    if (hasOwnBitmap(picture)) {
        if (!record.ownImage) {
            record.ownImage = std::make_unique<CImageExt>();
            record.ownImage->create(m_header.width, m_header.height, 24);
        }
        record.image = record.ownImage.get();
    } else {
        auto& canvas = m_canvases[picture % m_header.keyInterval];
        if (!canvas) {
            canvas = std::make_unique<CImageExt>();
            canvas->create(m_header.width, m_header.height, 24);
        }
        record.image = canvas.get();
    }
    return *record.image;
}

const CImageExt* CImageSequenceDecoder::nodePixels(int node) const {
    const CImageEncWrap* found = FindNode(node);
    return found ? found->image : nullptr;
}

void CImageSequenceDecoder::drawEntry(const CImageEncWrap& entry, CImageExt& target,
                                      bool fromSource) {
    const CImageExt* source = nodePixels(entry.node);
    if (!source)
        return;
    const bool fromPicture = entry.node < m_header.pictureCount;
    int sx = fromSource ? entry.sourceX : fromPicture ? entry.x : 0;
    int sy = fromSource ? entry.sourceY : fromPicture ? entry.y : 0;
    lumenreel::copyBlock24(*source, sx, sy, target, entry.x, entry.y, entry.width, entry.height);
}

void CImageSequenceDecoder::composePicture(int picture) {
    CImageExt& target = targetOf(picture);
    const auto& entries = m_entries[picture];
    for (auto i : entries.listB)
        drawEntry(m_listB[i], target, false);
    for (auto i : entries.listA)
        drawEntry(m_listA[i], target, false);
    for (auto i : entries.listC)
        drawEntry(m_listC[i], target, true);
    for (auto i : entries.tiles) {
        const auto& tile = m_tiles[i];
        if (tile.image)
            lumenreel::copyBlock24(*tile.image, 0, 0, target, tile.x, tile.y, tile.width,
                                   tile.height);
    }
    if (hasOwnBitmap(picture))
        m_composed[picture] = true;
}

void CImageSequenceDecoder::ensureOwnComposed(int picture) {
    if (!m_composed[picture])
        composePicture(picture);
}

// Every picture a placement reads from was built earlier in this walk or has a bitmap of its own
// (the loader refuses other references), so any request order gives the same pixels.
bool CImageSequenceDecoder::GetPicture(CImageExt& image, int i) {
    if (i < 0 || i >= m_header.pictureCount)
        return false;
    const int k = m_header.keyInterval;
    const int position = i % k;
    const int group = i - position;
    if (group != m_lastGroup)
        m_highestComposed = -1;
    for (int first = 0; first < group; first += k)
        ensureOwnComposed(first);
    for (int p = group + m_highestComposed + 1; p <= i; ++p) {
        if (hasOwnBitmap(p)) {
            ensureOwnComposed(p);
        } else {
            composePicture(p);
        }
    }
    m_lastGroup = group;
    m_highestComposed = std::max(m_highestComposed, position);

    const CImageExt& result = *m_pictures[i].image;
    if (image.width() != result.width() || image.height() != result.height() || image.bpp() != 24)
        image.create(result.width(), result.height(), 24);
    lumenreel::copyBlock24(result, 0, 0, image, 0, 0, result.width(), result.height());
    return true;
}

const CImageEncWrap* CImageSequenceDecoder::FindNode(int id) const {
    if (id < 0)
        return nullptr;
    if (id < m_header.pictureCount)
        return &m_pictures[id];
    std::int64_t tile = std::int64_t{id} - m_firstTileId;
    if (tile < 0 || tile >= static_cast<std::int64_t>(m_tiles.size()))
        return nullptr;
    return &m_tiles[static_cast<std::size_t>(tile)];
}

}  // namespace NKWXDecodersEncoders
