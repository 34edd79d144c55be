#pragma once

#include <memory>
#include <string>
#include <vector>

#include "items/ItemPlacement.h"

class CSerializeInterface;
struct Guid;

namespace lumenreel {

class CDrawCommonItem;
class ItemDocument;
struct ItemKind;

// One frame's placements in drawing order (first drawn first). A placement with status 0 owns its
// item; the others refer to items owned elsewhere, which the document resolves after reading.
class CDrawCommonItemListManager {
public:
    CDrawCommonItemListManager();
    ~CDrawCommonItemListManager();
    CDrawCommonItemListManager(const CDrawCommonItemListManager&) = delete;
    CDrawCommonItemListManager& operator=(const CDrawCommonItemListManager&) = delete;

    // The "ITEMS_MANAGER" section. Reading empties the list first; a placement or item that
    // cannot be used is left out and its reason joins problems(). False only when the section
    // itself cannot be entered.
    bool serialize(CSerializeInterface& archive, ItemDocument* document = nullptr);
    const std::vector<std::string>& problems() const { return m_problems; }

    int count() const { return static_cast<int>(m_entries.size()); }
    CDrawCommonItem* itemAt(int index) const;
    CDrawItem_link* placementAt(int index) const;
    bool contains(const CDrawCommonItem& item) const;
    CDrawItem_link* placementOf(const CDrawCommonItem& item) const;
    const ItemKind* prototypeFor(const Guid& typeId) const;

    // Places an owned item (status 0) or one owned elsewhere (owned empty, status 1) at the
    // placement's z position, appending when that is outside the list.
    CDrawItem_link& insert(CDrawItem_link placement, std::unique_ptr<CDrawCommonItem> owned);
    void renumber();
    void remove(const CDrawCommonItem& item);
    // Removes the placement at that index (a reference that resolved to nothing has no item to
    // name it by).
    void removeAt(int index);
    void clear();

private:
    struct Entry {
        CDrawItem_link link;
        std::unique_ptr<CDrawCommonItem> owned;
    };
    bool readPlacement(CSerializeInterface& archive, ItemDocument* document, int index);
    void writePlacement(CSerializeInterface& archive, Entry& entry, int index);

    std::vector<std::unique_ptr<Entry>> m_entries;
    std::vector<std::string> m_problems;
};

}  // namespace lumenreel
