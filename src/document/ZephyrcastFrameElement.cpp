#include "document/ZephyrcastFrameElement.h"

#include <algorithm>
#include <array>

#include "base/Guid.h"
#include "document/FrameSerial.h"
#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "items/DrawCommonItem.h"
#include "storage/SerializeInterface.h"
#include "storage/TranslateInterface.h"

namespace lumenreel {

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000;

}  // namespace

CZephyrcastFrameElement::CZephyrcastFrameElement()
    : m_cursor(std::make_unique<CDrawItem_zcCursor>()),
      m_items(std::make_unique<CDrawCommonItemListManager>()),
      m_serial(++frameSerialCounter()) {
    m_info.label = defaultLabel(nullptr);
}

CZephyrcastFrameElement::~CZephyrcastFrameElement() = default;

std::string CZephyrcastFrameElement::defaultLabel(const CZephyrcastBaseDocument* document) {
    std::string label = "!Frame";
    if (document && document->translator()) {
        std::string translated = document->translator()->Translate("ID_STRING_DEFAULT_FRAME_NAME");
        if (!translated.empty() && translated != "ID_STRING_DEFAULT_FRAME_NAME")
            label = std::move(translated);
    }
    return label;
}

void CZephyrcastFrameElement::setDocument(CZephyrcastBaseDocument* document) {
    m_document = document;
    m_cursor->setDocument(document);
    for (int i = 0; i < m_items->count(); ++i)
        if (CDrawItem_link* link = m_items->placementAt(i); link->item && link->status == 0)
            link->item->setDocument(document);
    m_background.setEncoder(document ? &document->backgroundStream() : nullptr);
}

void CZephyrcastFrameElement::timing(float& duration, float& moveStart, float& moveEnd) const {
    if (m_master && m_document) {
        duration = m_document->totalDuration();
        moveStart = 0.0f;
        moveEnd = duration;
        return;
    }
    duration = std::max(m_info.duration, 0.0f);
    const CursorMoveInterval interval = cursorMoveInterval(m_cursor->cursorProperties(), duration);
    moveStart = interval.start;
    moveEnd = interval.end;
}

float CZephyrcastFrameElement::frameDuration() const {
    float duration = 0.0f, start = 0.0f, end = 0.0f;
    timing(duration, start, end);
    return duration;
}

float CZephyrcastFrameElement::timingPart(int kind) const {
    float duration = 0.0f, start = 0.0f, end = 0.0f;
    timing(duration, start, end);
    switch (kind) {
        case 1:
            return start;
        case 2:
            return end - start;
        case 3:
            return duration - end;
        default:
            return 0.0f;
    }
}

Point CZephyrcastFrameElement::cursorPositionAt(float t) const {
    const CursorProperties* to = m_nextCursor ? &m_nextCursor->cursorProperties() : nullptr;
    return cursorPointAt(m_cursor->cursorProperties(), to, frameDuration(), t);
}

void CZephyrcastFrameElement::draw(CImageExt& target, float t, const FrameDrawOptions& options) {
    if (!m_master) {
        const bool drawn = options.background && m_document && drawBackground(target);
        if (!drawn) {
            const Size size =
                m_document ? m_document->frameSize() : Size{target.width(), target.height()};
            fillPixels(target.view(), 0, 0, size.width, size.height, kOpaqueBlack);
        }
        t = std::max(t, 0.0f);
        if (options.masterOverlay)
            drawMasterOverlay(target, t, options);
    }
    if (options.items)
        drawItems(target, t, options);
    if (options.cursor && !m_master)
        drawCursor(target, t);
}

bool CZephyrcastFrameElement::drawBackground(CImageExt& target) {
    const int width = target.width(), height = target.height();
    if (m_background.width() != width || m_background.height() != height) {
        CImageExt& picture = m_document->m_backgroundScratch;
        if (!m_background.decodeInto(picture))
            return false;
        copyPixels(picture.view(), target.view(), 0, 0, picture.width(), picture.height());
        return true;
    }
    // Playback draws a background for every moment: one pass straight into the target.
    if (m_background.decodeInto(target) && target.bpp() == 32 && target.width() == width &&
        target.height() == height)
        return true;
    target.create(width, height, 32);
    return false;
}

void CZephyrcastFrameElement::drawMasterOverlay(CImageExt& target, float t,
                                                const FrameDrawOptions& options) {
    if (!m_document)
        return;
    CZephyrcastFrameElement& master = m_document->masterFrame();
    if (!master.m_info.visibility)
        return;
    master.m_info.duration = m_document->totalDuration();
    FrameDrawOptions itemsOnly = options;
    itemsOnly.background = false;
    itemsOnly.cursor = false;
    master.drawItems(target, t + m_document->startTimeOf(m_info.index), itemsOnly);
}

void CZephyrcastFrameElement::drawItems(CImageExt& target, float t,
                                        const FrameDrawOptions& options) {
    ItemDrawContext context;
    context.time = t;
    timing(context.frameDuration, context.moveStart, context.moveEnd);
    context.frameIndex = m_info.index;
    context.opacity = m_info.transparency;
    context.labelOpacity = options.labelOpacity;
    for (int i = 0; i < m_items->count(); ++i) {
        const CDrawItem_link* placement = m_items->placementAt(i);
        // A reference whose owner went away since it was resolved is left out.
        CDrawCommonItem* item =
            placement->status == 0
                ? placement->item
                : (m_document ? m_document->findItemBySerial(placement->uniqueId) : nullptr);
        if (!item)
            continue;
        context.placement = placement;
        context.placementStatus = placement->status;
        item->draw(target, context);
    }
}

void CZephyrcastFrameElement::drawCursor(CImageExt& target, float t) {
    ItemDrawContext context;
    timing(context.frameDuration, context.moveStart, context.moveEnd);
    context.time = -1.0f;
    context.frameIndex = m_info.index;
    const Point stored = m_cursor->position();
    const Point moving = cursorPositionAt(t);
    m_cursor->setPosition(moving.x, moving.y);
    m_cursor->draw(target, context);
    m_cursor->setPosition(stored.x, stored.y);
}

bool CZephyrcastFrameElement::serialize(CSerializeInterface& archive, DocumentForm form,
                                        bool withBackground) {
    m_error.clear();
    if (!archive.EnterSection("FRAMES_POOL")) {
        m_error = "no FRAMES_POOL section";
        return false;
    }
    archive.SetKey("unique_id");
    const bool hasSerial = archive.Exchange(m_serial);
    if (!m_info.serialize(archive)) {
        archive.LeaveSection();
        m_error = "no FRAME_INFO_SECTION";
        return false;
    }
    // The older form keeps a frame GUID here; the current writer leaves it out and a reader
    // ignores it.
    if (form == DocumentForm::older || !archive.IsStoring()) {
        std::array<std::uint8_t, 16> guid{};
        archive.SetKey("guid");
        archive.ExchangeBytes(guid.data(), guid.size());
    }
    // The frame's own cursor has no type id in the older form, and a reader never reads it.
    const bool cursorTypeId = form == DocumentForm::current;
    if (!m_cursor->serialize(archive, cursorTypeId)) {
        archive.LeaveSection();
        m_error = "cursor: " + m_cursor->lastError();
        return false;
    }
    std::uint8_t backgroundStat = withBackground ? 1 : 0;
    archive.SetKey("background_stat");
    archive.Exchange(backgroundStat);
    if (backgroundStat != 0 && !m_background.serialize(archive, true)) {
        archive.LeaveSection();
        m_error = "damaged background picture";
        return false;
    }
    const bool listRead = m_items->serialize(archive, m_document);
    archive.LeaveSection();
    if (!listRead) {
        m_error = "no ITEMS_MANAGER section";
        return false;
    }
    if (form == DocumentForm::older && !archive.IsStoring() &&
        (!hasSerial || !archive.GetStatus())) {
        m_error = "the stream ends inside the frame";
        return false;
    }
    return true;
}

}  // namespace lumenreel
