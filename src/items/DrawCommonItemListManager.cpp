#include "items/DrawCommonItemListManager.h"

#include <algorithm>

#include "items/DrawCommonItem.h"
#include "items/ItemFactory.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

// Far more placements than any frame holds; a damaged count must not make the reader loop for
// billions of missing sections.
constexpr std::int32_t kMaxPlacements = 65536;

std::string placementName(int index) {
    return "Link" + std::to_string(index);
}

}  // namespace

CDrawCommonItemListManager::CDrawCommonItemListManager() = default;
CDrawCommonItemListManager::~CDrawCommonItemListManager() = default;

CDrawCommonItem* CDrawCommonItemListManager::itemAt(int index) const {
    CDrawItem_link* link = placementAt(index);
    return link ? link->item : nullptr;
}

CDrawItem_link* CDrawCommonItemListManager::placementAt(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(index)]->link;
}

bool CDrawCommonItemListManager::contains(const CDrawCommonItem& item) const {
    return placementOf(item) != nullptr;
}

CDrawItem_link* CDrawCommonItemListManager::placementOf(const CDrawCommonItem& item) const {
    for (const auto& entry : m_entries)
        if (entry->link.item == &item)
            return &entry->link;
    return nullptr;
}

const ItemKind* CDrawCommonItemListManager::prototypeFor(const Guid& typeId) const {
    return itemKindFor(typeId);
}

CDrawItem_link& CDrawCommonItemListManager::insert(CDrawItem_link placement,
                                                   std::unique_ptr<CDrawCommonItem> owned) {
    auto entry = std::make_unique<Entry>(Entry{placement, std::move(owned)});
    if (entry->owned) {
        entry->link.item = entry->owned.get();
        entry->link.status = 0;
    }
    Entry& added = *entry;
    const int at = placement.zPosition;
    if (at >= 0 && at < count())
        m_entries.insert(m_entries.begin() + at, std::move(entry));
    else
        m_entries.push_back(std::move(entry));
    renumber();
    return added.link;
}

void CDrawCommonItemListManager::renumber() {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i]->link.zPosition = static_cast<std::int32_t>(i);
}

void CDrawCommonItemListManager::remove(const CDrawCommonItem& item) {
    std::erase_if(m_entries, [&](const auto& entry) { return entry->link.item == &item; });
    renumber();
}

void CDrawCommonItemListManager::removeAt(int index) {
    if (index < 0 || index >= count())
        return;
    m_entries.erase(m_entries.begin() + index);
    renumber();
}

void CDrawCommonItemListManager::clear() {
    m_entries.clear();
}

bool CDrawCommonItemListManager::serialize(CSerializeInterface& archive, ItemDocument* document) {
    if (!archive.EnterSection(kSectionItemsManager))
        return false;
    auto placements = static_cast<std::int32_t>(m_entries.size());
    archive.SetKey(kKeyPlacementCount);
    archive.Exchange(placements);
    if (archive.IsStoring()) {
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            writePlacement(archive, *m_entries[i], static_cast<int>(i));
    } else {
        clear();
        m_problems.clear();
        if (placements < 0 || placements > kMaxPlacements) {
            m_problems.push_back("placement count " + std::to_string(placements) + " out of range");
            placements = 0;
        }
        for (int i = 0; i < placements; ++i)
            if (!readPlacement(archive, document, i))
                break;
    }
    archive.LeaveSection();
    return true;
}

void CDrawCommonItemListManager::writePlacement(CSerializeInterface& archive, Entry& entry,
                                                int index) {
    archive.EnterSection(placementName(index));
    if (entry.link.item)
        entry.link.uniqueId = entry.link.item->serialNumber();
    entry.link.serialize(archive);
    if (entry.link.status == 0 && entry.link.item) {
        archive.EnterSection(kSectionObjectData);
        entry.link.item->serialize(archive, true);
        archive.LeaveSection();
    }
    archive.LeaveSection();
}

// False when the placement's section is missing: later ones cannot be there either.
bool CDrawCommonItemListManager::readPlacement(CSerializeInterface& archive, ItemDocument* document,
                                               int index) {
    const std::string where = "placement " + std::to_string(index) + ": ";
    if (!archive.EnterSection(placementName(index))) {
        m_problems.push_back(where + "missing");
        return false;
    }
    CDrawItem_link link;
    if (!link.serialize(archive)) {
        m_problems.push_back(where + "no LINK_SECTION");
        archive.LeaveSection();
        return true;
    }
    std::unique_ptr<CDrawCommonItem> item;
    if (link.status == 0) {
        if (!archive.EnterSection(kSectionObjectData)) {
            m_problems.push_back(where + "no OBJECT_DATA");
            archive.LeaveSection();
            return true;
        }
        Guid typeId;
        archive.SetKey(kKeyGuid);
        if (!archive.ReadBytes(typeId.bytes.data(), typeId.bytes.size())) {
            m_problems.push_back(where + "no type id");
        } else {
            item = createItem(typeId);
            item->setDocument(document);
            if (!item->serialize(archive, false)) {
                m_problems.push_back(where + item->lastError());
                item.reset();
            }
        }
        archive.LeaveSection();
        if (!item) {
            archive.LeaveSection();
            return true;
        }
        link.uniqueId = item->serialNumber();
    }
    archive.LeaveSection();
    link.zPosition = count();
    insert(link, std::move(item));
    return true;
}

}  // namespace lumenreel
