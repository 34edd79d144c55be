#include "published/ImageSequenceDecoder.h"

#include <algorithm>

#include "base/File.h"
#include "images/PixelBlit.h"
#include "published/PictureStreamParser.h"

namespace NKWXDecodersEncoders {

CImageSequenceDecoder::CImageSequenceDecoder() = default;
CImageSequenceDecoder::~CImageSequenceDecoder() = default;

bool CImageSequenceDecoder::Load(std::span<const std::uint8_t> stream) {
    m_error.clear();
    m_content = {};
    m_state = {};
    auto content = parsePictureStream(stream, m_limits, m_trace, m_error);
    if (!content)
        return false;
    m_content = std::move(*content);
    const auto& h = m_content.header;
    m_state.composed.assign(m_content.pictures.size(), false);
    m_state.canvases.resize(static_cast<std::size_t>(std::min(h.keyInterval, h.pictureCount)));
    return true;
}

bool CImageSequenceDecoder::Load(CFile& stream) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.RemainingBytes()));
    if (!stream.ReadExact(bytes.data(), bytes.size())) {
        m_error = "picture stream: unreadable";
        return false;
    }
    return Load(bytes);
}

bool CImageSequenceDecoder::hasOwnBitmap(int picture) const {
    return picture % m_content.header.keyInterval == 0 || m_content.pictures[picture].full;
}

CImageExt& CImageSequenceDecoder::targetOf(int picture) {
    const auto& h = m_content.header;
    auto& record = m_content.pictures[picture];
    if (hasOwnBitmap(picture)) {
        if (!record.ownImage) {
            record.ownImage = std::make_unique<CImageExt>();
            record.ownImage->create(h.width, h.height, 24);
        }
        record.image = record.ownImage.get();
    } else {
        auto& canvas = m_state.canvases[picture % h.keyInterval];
        if (!canvas) {
            canvas = std::make_unique<CImageExt>();
            canvas->create(h.width, h.height, 24);
        }
        record.image = canvas.get();
    }
    return *record.image;
}

const CImageExt* CImageSequenceDecoder::nodePixels(int node) const {
    const PictureNode* found = FindNode(node);
    return found ? found->image : nullptr;
}

void CImageSequenceDecoder::drawPlacement(const StreamPlacement& placement, CImageExt& target,
                                          bool fromSource) {
    const CImageExt* source = nodePixels(placement.node);
    if (!source)
        return;
    const bool fromPicture = placement.node < m_content.header.pictureCount;
    int sx = fromSource ? placement.sourceX : fromPicture ? placement.x : 0;
    int sy = fromSource ? placement.sourceY : fromPicture ? placement.y : 0;
    lumenreel::copyPixels(
        lumenreel::subView(source->view(), sx, sy, placement.width, placement.height),
        target.view(), placement.x, placement.y, placement.width, placement.height);
}

void CImageSequenceDecoder::composePicture(int picture) {
    CImageExt& target = targetOf(picture);
    const auto& c = m_content;
    auto copied = [&](const StreamPlacement& p) { drawPlacement(p, target, false); };
    c.listB.forEachOn(picture, copied);
    c.listA.forEachOn(picture, copied);
    c.listC.forEachOn(picture, [&](const StreamPlacement& p) { drawPlacement(p, target, true); });
    c.tiles.forEachOn(picture, [&](const StreamTile& tile) {
        if (tile.image)
            lumenreel::copyPixels(tile.image->view(), target.view(), tile.x, tile.y, tile.width,
                                  tile.height);
    });
    if (hasOwnBitmap(picture))
        m_state.composed[picture] = true;
}

void CImageSequenceDecoder::ensureOwnComposed(int picture) {
    if (!m_state.composed[picture])
        composePicture(picture);
}

// Every picture a placement reads from was built earlier in this walk or has a bitmap of its own
// (the loader refuses other references), so any request order gives the same pixels.
bool CImageSequenceDecoder::GetPicture(CImageExt& image, int i) {
    if (i < 0 || i >= GetPictureCount())
        return false;
    const int k = m_content.header.keyInterval;
    const int position = i % k;
    const int group = i - position;
    if (group != m_state.lastGroup)
        m_state.highestComposed = -1;
    for (int first = 0; first < group; first += k)
        ensureOwnComposed(first);
    for (int p = group + m_state.highestComposed + 1; p <= i; ++p) {
        if (hasOwnBitmap(p)) {
            ensureOwnComposed(p);
        } else {
            composePicture(p);
        }
    }
    m_state.lastGroup = group;
    m_state.highestComposed = std::max(m_state.highestComposed, position);

    const CImageExt& result = *m_content.pictures[i].image;
    if (image.width() != result.width() || image.height() != result.height() || image.bpp() != 24)
        image.createForOverwrite(result.width(), result.height(), 24);
    lumenreel::copyPixels(result.view(), image.view(), 0, 0, result.width(), result.height());
    return true;
}

const PictureNode* CImageSequenceDecoder::FindNode(int id) const {
    if (id < 0)
        return nullptr;
    if (id < GetPictureCount())
        return &m_content.pictures[id];
    const auto& tiles = m_content.tiles.items();
    std::int64_t tile = std::int64_t{id} - m_content.firstTileId;
    if (tile < 0 || tile >= static_cast<std::int64_t>(tiles.size()))
        return nullptr;
    return &tiles[static_cast<std::size_t>(tile)];
}

}  // namespace NKWXDecodersEncoders
