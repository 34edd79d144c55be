#include "items/ItemChildren.h"

#include <algorithm>

#include "items/DrawCommonItem.h"
#include "items/DrawCommonItemListManager.h"

namespace lumenreel {

CDrawCommonItem* findChildOwner(const CDrawCommonItemListManager& list, std::int32_t serial) {
    for (int i = 0; i < list.count(); ++i) {
        CDrawCommonItem* item = list.itemAt(i);
        if (item && std::find(item->children().begin(), item->children().end(), serial) !=
                        item->children().end())
            return item;
    }
    return nullptr;
}

void changeSerialNumber(CDrawCommonItem& item, const CDrawCommonItemListManager& list,
                        std::int32_t from, std::int32_t to) {
    // Each replacement removes `from` from one owner, so the walk ends after as many owners.
    for (CDrawCommonItem* owner = findChildOwner(list, from);
         owner && owner->replaceChild(from, to); owner = findChildOwner(list, from)) {
    }
    item.setSerialNumber(to);
}

}  // namespace lumenreel
