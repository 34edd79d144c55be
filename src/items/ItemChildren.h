#pragma once

#include <cstdint>

namespace lumenreel {

class CDrawCommonItem;
class CDrawCommonItemListManager;

// The first item of the list whose children hold the serial, or none.
CDrawCommonItem* findChildOwner(const CDrawCommonItemListManager& list, std::int32_t serial);

// Gives the item a new serial number, and every item of the list that names the old one as a
// child names the new one instead.
void changeSerialNumber(CDrawCommonItem& item, const CDrawCommonItemListManager& list,
                        std::int32_t from, std::int32_t to);

}  // namespace lumenreel
