#pragma once

#include <memory>
#include <span>

#include "base/Guid.h"

namespace lumenreel {

class CDrawCommonItem;

// One kind of item the loader can make.
struct ItemKind {
    Guid typeId;
    const char* name;
    std::unique_ptr<CDrawCommonItem> (*make)();
};

// Every known kind, in the order lists make their prototypes.
std::span<const ItemKind> itemKinds();
const ItemKind* itemKindFor(const Guid& typeId);

// A blank item of the kind; an unknown type id gives an opaque item that keeps what it reads.
std::unique_ptr<CDrawCommonItem> createItem(const Guid& typeId);

}  // namespace lumenreel
