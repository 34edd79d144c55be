#include "player/PublishedMomentComposer.h"

#include <cstring>
#include <vector>

#include "images/CursorGlide.h"
#include "images/CursorImage.h"
#include "images/ImageLimits.h"
#include "images/PixelBlit.h"
#include "player/OverlayPictures.h"
#include "themes/BalloonPicture.h"

namespace lumenreel {

using namespace NKWXDecodersEncoders;

namespace {

// Overlay pictures kept between moments; past this they are made again as needed.
constexpr std::size_t kMaxOverlayCacheBytes = std::size_t{256} << 20;
// Keyed overlays skip the pixels keying cleared; image objects blend every pixel.
constexpr std::uint32_t kTransparentPixel = 0;
constexpr std::uint32_t kNoKey = 0xFFFFFFFF;

std::size_t bytesOf(const CImageExt& image) {
    return static_cast<std::size_t>(image.pitch()) * static_cast<std::size_t>(image.height());
}

}  // namespace

PublishedMomentComposer::PublishedMomentComposer(CExternalFormatReader& reader)
    : m_reader(reader) {}

bool PublishedMomentComposer::render(int index, float local, float movieTime, CImageExt& target) {
    if (target.bpp() != 32)
        return false;
    const zcd::Size display = m_reader.GetSize();
    const bool displaySized = target.width() == display.width && target.height() == display.height;
    if (displaySized || !imageSizeAllowed(display.width, display.height))
        return compose(index, local, movieTime, target);
    // Overlays and the cursor are placed in display pixels, so a frame image of another size
    // receives the whole moment composed at the display size, not a corner of it.
    if (m_displayMoment.width() != display.width || m_displayMoment.height() != display.height)
        m_displayMoment.create(display.width, display.height, 32);
    if (!compose(index, local, movieTime, m_displayMoment))
        return false;
    resample(m_displayMoment.view(), target.view(), CImageExt::kHighQualityBicubic);
    return true;
}

bool PublishedMomentComposer::compose(int index, float local, float movieTime, CImageExt& target) {
    const CReaderObject_frame* frame = index >= 0 ? m_reader.GetFrameByIndex(index) : nullptr;
    if (!frame)
        return false;
    copyBackground(index, *frame, target);
    if (const CReaderObject_frame* master = m_reader.GetMasterFrame())
        drawPlacements(*master, movieTime, target);
    drawPlacements(*frame, local, target);
    drawFrameCursor(index, *frame, local, target);
    return true;
}

void PublishedMomentComposer::copyBackground(int index, const CReaderObject_frame& frame,
                                             CImageExt& target) {
    bool sameSize =
        m_background.width() == target.width() && m_background.height() == target.height();
    if (m_backgroundFrame != index || !sameSize) {
        m_backgroundFrame = index;
        // Filled or covered whole below.
        if (!sameSize)
            m_background.createForOverwrite(target.width(), target.height(), 32);
        zcd::Size display = m_reader.GetSize();
        const CImageExt* picture = m_reader.GetFramePicture(&frame);
        const bool covered = display.width == target.width() && display.height == target.height() &&
                             picture && !picture->isNull();
        if (!covered)
            fillPixels(m_background.view(), 0, 0, target.width(), target.height(), 0xFF000000);
        if (picture && !picture->isNull() && imageSizeAllowed(display.width, display.height)) {
            if (picture->width() == display.width && picture->height() == display.height) {
                copyPixels(picture->view(), m_background.view(), 0, 0, display.width,
                           display.height);
            } else {
                CImageExt stretched;
                stretched.create(display.width, display.height, picture->bpp());
                resample(picture->view(), stretched.view(), CImageExt::kHighQualityBicubic);
                copyPixels(stretched.view(), m_background.view(), 0, 0, display.width,
                           display.height);
            }
        }
    }
    std::memcpy(target.firstRow(), m_background.firstRow(), bytesOf(target));
}

void PublishedMomentComposer::drawPlacements(const CReaderObject_frame& frame, float local,
                                             CImageExt& target) {
    // Order n draws the first placement that has order n, for n below the count, lowest first.
    int count = frame.GetPlacementCount();
    std::vector<const CReaderLink*> byOrder(static_cast<std::size_t>(count), nullptr);
    for (int i = 0; i < count; ++i) {
        const CReaderLink* link = frame.GetPlacement(i);
        if (link->order >= 0 && link->order < count && !byOrder[link->order])
            byOrder[link->order] = link;
    }
    for (const CReaderLink* link : byOrder) {
        if (!link)
            continue;
        int alpha = link->GetOpacity(local);
        if (alpha == 0)
            continue;
        const CImageExt* picture = overlayPicture(*link);
        if (!picture)
            continue;
        const Rect* rect = nullptr;
        bool keyed = true;
        switch (link->placementType()) {
            case kCaptionPlacement:
                rect = &static_cast<const CReaderLink_caption&>(*link).object->rect;
                break;
            case kImagePlacement:
                rect = &static_cast<const CReaderLink_image&>(*link).object->rect;
                keyed = false;
                break;
            case kHighlightPlacement:
                rect = &static_cast<const CReaderLink_highlight&>(*link).object->rect;
                break;
            default:
                continue;
        }
        picture->blendInto(target, rect->left, rect->top, alpha, keyed ? kTransparentPixel : kNoKey,
                           keyed);
    }
}

const CImageExt* PublishedMomentComposer::overlayPicture(const CReaderLink& link) {
    const void* object = nullptr;
    switch (link.placementType()) {
        case kCaptionPlacement:
            object = static_cast<const CReaderLink_caption&>(link).object;
            break;
        case kImagePlacement:
            object = static_cast<const CReaderLink_image&>(link).object;
            break;
        case kHighlightPlacement:
            object = static_cast<const CReaderLink_highlight&>(link).object;
            break;
    }
    if (!object)
        return nullptr;
    auto found = m_overlays.find(object);
    if (found == m_overlays.end()) {
        CImageExt picture = makeOverlayPicture(link);
        if (m_overlayBytes + bytesOf(picture) > kMaxOverlayCacheBytes) {
            m_overlays.clear();
            m_overlayBytes = 0;
        }
        m_overlayBytes += bytesOf(picture);
        found = m_overlays.emplace(object, std::move(picture)).first;
    }
    return found->second.isNull() ? nullptr : &found->second;
}

CImageExt PublishedMomentComposer::makeOverlayPicture(const CReaderLink& link) {
    switch (link.placementType()) {
        case kCaptionPlacement: {
            const CReaderObject_caption& caption =
                *static_cast<const CReaderLink_caption&>(link).object;
            if (!caption.captionsAreImages) {
                if (!m_textControl)
                    m_textControl = std::make_unique<CAutoRichEditCtrl>();
                const CReaderObject_captionTemplate* captionTemplate = caption.GetTemplate();
                BalloonShape shape;
                shape.width = caption.rect.width();
                shape.height = caption.rect.height();
                if (captionTemplate) {
                    shape.balloonTemplate = m_reader.GetPoolPicture(captionTemplate->id);
                    shape.split = captionTemplate->point;
                }
                shape.textArea = caption.textRect;
                shape.richText = caption.richText;
                return makeBalloonPicture(shape, *m_textControl);
            }
            int index =
                static_cast<int>(std::min<std::uint32_t>(caption.templateIndex, 0x7fffffff));
            return makeCaptionImagePicture(m_reader.GetCaptionImage(index));
        }
        case kImagePlacement: {
            const CReaderObject_image& image = *static_cast<const CReaderLink_image&>(link).object;
            return makeImageObjectPicture(image, m_reader.GetPoolPicture(image.poolIndex));
        }
        case kHighlightPlacement:
            return makeHighlightPicture(*static_cast<const CReaderLink_highlight&>(link).object);
    }
    return {};
}

void PublishedMomentComposer::drawFrameCursor(int index, const CReaderObject_frame& frame,
                                              float local, CImageExt& target) {
    const CReaderLink_cursor* placement = frame.GetCursorPlacement();
    if (!placement)
        return;
    const CReaderObject_cursor* cursor = m_reader.GetCursor(placement->cursorIndex);
    if (!cursor)
        return;
    Point from{placement->x, placement->y};
    Point to = from;
    if (const CReaderObject_frame* next = m_reader.GetFrameByIndex(index + 1))
        if (const CReaderLink_cursor* nextPlacement = next->GetCursorPlacement())
            to = {nextPlacement->x, nextPlacement->y};
    auto [moveStart, moveEnd] = frame.GetCursorMoveInterval();
    Point at = cursorPositionAt(from, to, placement->curvedPath, moveStart, moveEnd, local);
    cursor->image.draw(target.view(), at.x, at.y);
}

}  // namespace lumenreel
