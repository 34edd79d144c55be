#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/ImageEncoderCache.h"
#include "document/DocumentForm.h"
#include "document/FrameDrawOptions.h"
#include "document/FrameInfo.h"
#include "items/CursorMovement.h"
#include "items/DrawCommonItemListManager.h"
#include "items/DrawItemCursor.h"

class CImageExt;
class CSerializeInterface;

namespace lumenreel {

class CZephyrcastBaseDocument;

// One step of the movie: a captured picture shown for a duration, its own cursor moving over it
// towards the next visible frame's, and the items placed on it.
class CZephyrcastFrameElement {
public:
    CZephyrcastFrameElement();
    ~CZephyrcastFrameElement();
    CZephyrcastFrameElement(const CZephyrcastFrameElement&) = delete;
    CZephyrcastFrameElement& operator=(const CZephyrcastFrameElement&) = delete;

    // Draws the frame as it looks t seconds after its start onto a 32-bit target of the
    // document's frame size.
    void draw(CImageExt& target, float t, const FrameDrawOptions& options);
    // The master frame's items over this frame, in movie time.
    void drawMasterOverlay(CImageExt& target, float t, const FrameDrawOptions& options);

    CImageEncoderCache& backgroundReference() { return m_background; }
    const CImageEncoderCache& backgroundReference() const { return m_background; }
    CFrameInfo& frameInfo() { return m_info; }
    const CFrameInfo& frameInfo() const { return m_info; }
    CDrawItem_zcCursor& cursor() { return *m_cursor; }
    const CDrawItem_zcCursor& cursor() const { return *m_cursor; }
    const CDrawItem_zcCursor* nextCursor() const { return m_nextCursor; }
    void setNextCursor(const CDrawItem_zcCursor* cursor) { m_nextCursor = cursor; }
    CDrawCommonItemListManager& itemList() { return *m_items; }
    const CDrawCommonItemListManager& itemList() const { return *m_items; }

    // Duration (the movie's visible length for the master frame) and the cursor's move interval.
    void timing(float& duration, float& moveStart, float& moveEnd) const;
    float frameDuration() const;
    // 1: move start, 2: move length, 3: time after the cursor stops; any other kind 0.
    float timingPart(int kind) const;
    // The cursor's top-left corner at a frame-relative time.
    Point cursorPositionAt(float t) const;

    bool isMaster() const { return m_master; }
    void setMaster(bool master) { m_master = master; }
    std::int32_t serialNumber() const { return m_serial; }
    void setSerialNumber(std::int32_t serial) { m_serial = serial; }

    CZephyrcastBaseDocument* document() const { return m_document; }
    // Gives the frame, its cursor and items the document, and ties the background reference to
    // its background stream.
    void setDocument(CZephyrcastBaseDocument* document);

    // The "FRAMES_POOL" record. Reading: false with lastError() when the record or its parts
    // that a frame cannot do without are damaged; the item list's skipped parts join problems.
    bool serialize(CSerializeInterface& archive, DocumentForm form, bool withBackground = false);
    const std::string& lastError() const { return m_error; }
    const std::vector<std::string>& problems() const { return m_items->problems(); }

    static std::string defaultLabel(const CZephyrcastBaseDocument* document);

private:
    // False (the target left to be filled) when the background cannot be drawn.
    bool drawBackground(CImageExt& target);
    void drawItems(CImageExt& target, float t, const FrameDrawOptions& options);
    void drawCursor(CImageExt& target, float t);

    CZephyrcastBaseDocument* m_document = nullptr;
    CImageEncoderCache m_background;
    CFrameInfo m_info;
    std::unique_ptr<CDrawItem_zcCursor> m_cursor;
    const CDrawItem_zcCursor* m_nextCursor = nullptr;
    std::unique_ptr<CDrawCommonItemListManager> m_items;
    bool m_master = false;
    std::int32_t m_serial = 0;
    std::string m_error;
};

}  // namespace lumenreel
