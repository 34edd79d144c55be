// Placements across frames: references resolved by serial number, the spans items show in, and
// the item serial counter that follows from them.
#include <algorithm>
#include <set>

#include "document/ZephyrcastBaseDocument.h"
#include "items/DrawCommonItem.h"
#include "items/ItemCounters.h"

namespace lumenreel {

namespace {

CDrawCommonItem* ownedBySerial(const CDrawCommonItemListManager& list, std::int32_t serial) {
    for (int i = 0; i < list.count(); ++i) {
        const CDrawItem_link* link = list.placementAt(i);
        if (link->status == 0 && link->item && link->item->serialNumber() == serial)
            return link->item;
    }
    return nullptr;
}

void refreshOwned(CDrawCommonItemListManager& list) {
    for (int i = 0; i < list.count(); ++i)
        if (CDrawItem_link* link = list.placementAt(i); link->status == 0 && link->item)
            link->uniqueId = link->item->serialNumber();
}

}  // namespace

CDrawCommonItem* CZephyrcastBaseDocument::findItemBySerial(std::int32_t serial) const {
    if (CDrawCommonItem* item = ownedBySerial(*m_documentItems, serial))
        return item;
    if (CDrawCommonItem* item = ownedBySerial(m_master->itemList(), serial))
        return item;
    for (const CZephyrcastFrameElement* frame : m_order) {
        if (!frame)
            continue;
        if (frame->cursor().serialNumber() == serial)
            return const_cast<CDrawItem_zcCursor*>(&frame->cursor());
        if (CDrawCommonItem* item = ownedBySerial(frame->itemList(), serial))
            return item;
    }
    return nullptr;
}

void CZephyrcastBaseDocument::linkCursors() {
    for (CZephyrcastFrameElement* frame : m_order) {
        if (!frame)
            continue;
        const CZephyrcastFrameElement* next = nextVisibleFrame(*frame);
        frame->setNextCursor(next ? &next->cursor() : nullptr);
    }
}

void CZephyrcastBaseDocument::resolveList(CDrawCommonItemListManager& list,
                                          const std::string& where) {
    for (int i = list.count() - 1; i >= 0; --i) {
        CDrawItem_link* link = list.placementAt(i);
        if (link->status == 0)
            continue;
        if (CDrawCommonItem* found = findItemBySerial(link->uniqueId)) {
            link->item = found;
            link->status = 1;
        } else {
            m_skipped.push_back(where + ": reference to missing item " +
                                std::to_string(link->uniqueId));
            list.removeAt(i);
        }
    }
}

void CZephyrcastBaseDocument::resolvePlacements(CZephyrcastFrameElement* frame) {
    if (frame) {
        resolveList(frame->itemList(), "frame " + std::to_string(frame->frameInfo().index));
        refreshOwned(frame->itemList());
        return;
    }
    resolveList(m_master->itemList(), "master frame");
    for (std::size_t i = 0; i < m_pool.size(); ++i)
        resolveList(m_pool[i]->itemList(), "frame " + std::to_string(i));
    for (const auto& each : m_pool)
        refreshOwned(each->itemList());
}

void CZephyrcastBaseDocument::refreshPlacements() {
    refreshOwned(*m_documentItems);
    refreshOwned(m_master->itemList());
    for (const auto& frame : m_pool)
        refreshOwned(frame->itemList());
}

void CZephyrcastBaseDocument::reportDuplicateSerials() {
    std::set<std::int32_t> seen;
    auto note = [&](const CDrawCommonItemListManager& list) {
        for (int i = 0; i < list.count(); ++i) {
            const CDrawItem_link* link = list.placementAt(i);
            if (link->status == 0 && link->item && !seen.insert(link->item->serialNumber()).second)
                m_skipped.push_back("item serial " + std::to_string(link->item->serialNumber()) +
                                    " owned twice: references find the first");
        }
    };
    note(*m_documentItems);
    note(m_master->itemList());
    for (const auto& frame : m_pool)
        note(frame->itemList());
}

void CZephyrcastBaseDocument::buildSpanTables() {
    m_itemSpans.clear();
    m_frameTimes.clear();
    m_visibleLength = 0.0f;
    float running = 0.0f;
    auto visit = [&](CZephyrcastFrameElement& frame, int position, float start) {
        const bool visible = frame.frameInfo().visibility;
        const bool counts = visible || frame.isMaster();
        if (visible && !frame.isMaster())
            m_visibleLength += frame.frameInfo().duration;
        m_frameTimes[frame.serialNumber()] = {&frame, start};
        const CDrawCommonItemListManager& list = frame.itemList();
        for (int i = 0; i < list.count(); ++i) {
            const CDrawItem_link* link = list.placementAt(i);
            if (!link->item)
                continue;
            SItemSpan& span = m_itemSpans[link->item->serialNumber()];
            span.item = link->item;
            if (counts || !span.set) {
                if (!span.first || position < *span.first) {
                    span.first = position;
                    span.start = link->visStart + start;
                }
                if (!span.last || position > *span.last) {
                    span.last = position;
                    span.end = link->visEnd + start;
                }
            }
            if (counts)
                span.set = true;
        }
    };
    for (int p = 0; p < frameCount(); ++p) {
        CZephyrcastFrameElement* frame = frameAtChecked(p);
        if (!frame)
            continue;
        visit(*frame, p, running);
        if (frame->frameInfo().visibility)
            running += frame->frameInfo().duration;
    }
    visit(*m_master, -1, 0.0f);
    m_master->frameInfo().duration = m_visibleLength;
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::spanEndFrame(const CZephyrcastFrameElement& frame,
                                                               const CDrawItem_link& placement,
                                                               bool forward) const {
    if (!placement.item || !frame.itemList().contains(*placement.item))
        return nullptr;
    auto* last = const_cast<CZephyrcastFrameElement*>(&frame);
    const int step = forward ? 1 : -1;
    for (int p = frame.frameInfo().index + step; p >= 0 && p < frameCount(); p += step) {
        CZephyrcastFrameElement* at = frameAtChecked(p);
        if (!at)
            break;
        if (!at->frameInfo().visibility)
            continue;
        if (!at->itemList().contains(*placement.item))
            break;
        last = at;
    }
    return last;
}

void CZephyrcastBaseDocument::recomputeItemSerialCounter() {
    std::int32_t largest = 0;
    auto scan = [&](const CDrawCommonItemListManager& list) {
        for (int i = 0; i < list.count(); ++i)
            if (const CDrawCommonItem* item = list.itemAt(i))
                largest = std::max(largest, item->serialNumber());
    };
    scan(*m_documentItems);
    scan(m_master->itemList());
    for (const auto& frame : m_pool) {
        scan(frame->itemList());
        largest = std::max(largest, frame->cursor().serialNumber());
    }
    // Serial numbers come from a file: the largest one may not be followed.
    itemCounters().nextSerial = largest == INT32_MAX ? largest : std::max(largest + 1, 1);
}

}  // namespace lumenreel
